#include "engine/script/values/mathematics.h"

#include <gtest/gtest.h>

#include "engine/script/values/test_command_context.h"

namespace kox {
namespace {

using testing::TestCommandContext;

TEST(Calculate, OperationTable) {
  struct Case {
    const char* a;
    const char* b;
    int64_t operation;
    const char* result;
  };
  const Case cases[] = {
      {"40", "2", 0, "42"},
      {"-5", "7", 0, "2"},
      {"9223372036854775807", "1", 0, "-9223372036854775808"},  // wraps
      {"10", "25", 1, "-15"},
      {"4294967296", "4294967296", 2, "0"},  // 2^64 wraps to 0
      {"123456789", "1000", 2, "123456789000"},
      {"7", "2", 3, "3"},
      {"-7", "2", 3, "-3"},  // toward zero
      {"-9223372036854775808", "-1", 3, "-9223372036854775808"},
      {"7", "3", 4, "1"},
      {"-7", "3", 4, "-1"},  // sign of A
      {"7", "-3", 4, "1"},
      {"-9223372036854775808", "-1", 4, "0"},
      {"12", "10", 5, "8"},
      {"12", "10", 6, "14"},
      {"12", "10", 7, "6"},
      {"1", "40", 8, "1099511627776"},
      {"1", "63", 8, "-9223372036854775808"},
      {"1", "64", 8, "0"},
      {"-1", "60", 9, "15"},  // zero fill
      {"-1", "0", 9, "-1"},
      {"256", "-1", 9, "0"},
      {"0", "", 10, "-1"},
      {"5", "ignored", 10, "-6"},  // B is not read
      {"A", "", 11, "65"},
      {"\xE9t\xE9", "", 11, "233"},  // the byte, unsigned
      {"", "", 11, "0"},
      {"65", "", 12, "A"},
      {"321", "", 12, "A"},  // low byte
      {" 12", "+30", 0, "42"},
      {"1", "2", 16, ""},
      {"1", "2", -1, ""},
  };
  for (const Case& c : cases) {
    RandomGeneratorState generator;
    EXPECT_EQ(Calculate(c.a, c.b, c.operation, generator), c.result)
        << c.a << " op " << c.operation << " " << c.b;
  }
}

TEST(Calculate, NumbersAreRequiredWhereRead) {
  RandomGeneratorState generator;
  EXPECT_THROW(Calculate("x", "1", 0, generator), EngineError);
  EXPECT_THROW(Calculate("1", "x", 0, generator), EngineError);
  EXPECT_THROW(Calculate("1", "", 3, generator), EngineError);
  EXPECT_THROW(Calculate("1.5", "1", 0, generator), EngineError);
  EXPECT_THROW(Calculate("9223372036854775808", "1", 0, generator), EngineError);
  EXPECT_THROW(Calculate("x", "", 12, generator), EngineError);
  EXPECT_THROW(Calculate("1", "x", 13, generator), EngineError);
  EXPECT_NO_THROW(Calculate("1", "x", 14, generator));
}

TEST(Calculate, DivisionByZeroIsAnError) {
  RandomGeneratorState generator;
  EXPECT_THROW(Calculate("1", "0", 3, generator), EngineError);
  EXPECT_THROW(Calculate("1", "0", 4, generator), EngineError);
  EXPECT_THROW(Calculate("0", "", 15, generator), EngineError);
  EXPECT_EQ(generator.seed, 0);  // a failed draw leaves the state alone
}

TEST(Calculate, GeneratorBeforeAnySetupYieldsZero) {
  RandomGeneratorState generator;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Calculate("100", "", 15, generator), "0");
}

TEST(Calculate, GeneratorFollowsTheScriptFactors) {
  RandomGeneratorState generator;
  EXPECT_EQ(Calculate("1103515245", "12345", 13, generator), "1103527590");
  EXPECT_EQ(generator.multiplier, 1103515245);
  EXPECT_EQ(generator.increment, 12345);
  EXPECT_EQ(Calculate("4294967297", "", 14, generator), "1");  // low 32 bits
  EXPECT_EQ(generator.seed, 1);

  // Reference: x = m * seed + c in wrapping 32-bit arithmetic, seed = x % 32767.
  int32_t seed = 1;
  for (int i = 0; i < 20; ++i) {
    int32_t x = static_cast<int32_t>(1103515245u * static_cast<uint32_t>(seed) + 12345u);
    seed = static_cast<int32_t>(int64_t{x} % 32767);
    EXPECT_EQ(Calculate("1000", "", 15, generator), std::to_string(int64_t{x} % 1000)) << "draw " << i;
    EXPECT_EQ(generator.seed, seed);
  }
}

TEST(Calculate, NegativeDrawKeepsItsSign) {
  RandomGeneratorState generator;
  Calculate("-1", "-5", 13, generator);  // x = -seed - 5
  Calculate("0", "", 14, generator);
  EXPECT_EQ(Calculate("3", "", 15, generator), "-2");  // -5 % 3
  EXPECT_EQ(generator.seed, -5);
  EXPECT_EQ(Calculate("-2147483648", "", 14, generator), "-2147483648");
}

TEST(MathematicsCommand, StoresOnlyWhenAResultIsNamed) {
  ScriptRandomGenerator() = {};
  TestCommandContext context("Mathematics", {"$A$", "2", "2", "product"});
  context.variables().Put("A", "21");
  MathematicsCommand(context);
  EXPECT_EQ(context.get("PRODUCT"), "42");
  EXPECT_EQ(context.writes.back().context, "Mathematics Action");

  // Without P4 nothing is stored, but the generator still moves.
  context.setParameters({"7", "3", "13", ""});
  MathematicsCommand(context);
  EXPECT_EQ(context.writes.size(), 1u);
  EXPECT_EQ(ScriptRandomGenerator().multiplier, 7);
  EXPECT_EQ(ScriptRandomGenerator().increment, 3);
  ScriptRandomGenerator() = {};
}

TEST(MathematicsCommand, OperationCodeMustBeANumber) {
  TestCommandContext context("Mathematics", {"1", "2", "add", "R"});
  EXPECT_THROW(MathematicsCommand(context), EngineError);
  EXPECT_FALSE(context.has("R"));
}

}  // namespace
}  // namespace kox
