#include "engine/script/interpreter/condition.h"

#include <gtest/gtest.h>

#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

struct CompareCase {
  const char* left;
  const char* operation;
  const char* right;
  bool expected;
};

class CompareValuesTest : public ::testing::TestWithParam<CompareCase> {};

TEST_P(CompareValuesTest, FollowsTheOperatorTable) {
  const CompareCase& c = GetParam();
  EXPECT_EQ(compareValues(c.left, c.operation, c.right), c.expected)
      << "'" << c.left << "' " << c.operation << " '" << c.right << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Operators, CompareValuesTest,
    ::testing::Values(
        // Two integers compare as numbers: every code but "2" is equality.
        CompareCase{"15", "1", "5", false}, CompareCase{"15", "0", "015", true}, CompareCase{"10", "2", "9", true},
        CompareCase{"-3", "2", "-4", true}, CompareCase{"7", "3", "7", true}, CompareCase{"7", "4", "8", false},
        // Text.
        CompareCase{"abc", "1", "b", true}, CompareCase{"abc", "1", "B", false}, CompareCase{"abc", "3", "B", true},
        CompareCase{"Abc", "0", "abc", false}, CompareCase{"Abc", "4", "aBC", true},
        CompareCase{"b", "2", "abc", true}, CompareCase{"10", "2", "9x", false},  // text: "1" < "9"
        CompareCase{"\xE9", "2", "z", true},                                     // byte-wise, not signed
        // Versions.
        CompareCase{"1.10", "6", "1.9", true}, CompareCase{"2.0", "6", "2.0.0.0", false},
        CompareCase{"2.0.0.1", "6", "2", true}, CompareCase{"1.x.5", "6", "1.0.4", true},
        CompareCase{"1.2.3.4.9", "6", "1.2.3.4", false},  // a fifth part is not read
        // Unknown codes, and "5" which needs the store.
        CompareCase{"a", "7", "a", false}, CompareCase{"a", "", "a", false}, CompareCase{"a", "00", "a", false},
        CompareCase{"a", "5", "a", false}));

TEST(EvaluateConditionTest, DefinedOperatorTestsTheNameAsWritten) {
  TVariableManager store;
  store.Put("EMPTY", "");
  EXPECT_TRUE(evaluateCondition(store, {"EMPTY", "5", "", "FALSE"}));
  EXPECT_FALSE(evaluateCondition(store, {"EMPTY", "5", "", "TRUE"}));
  EXPECT_TRUE(evaluateCondition(store, {"MISSING", "5", "", "true"}));
  EXPECT_FALSE(evaluateCondition(store, {"MISSING", "5", "", "-1x"}));
}

TEST(EvaluateConditionTest, LeftIsAVariableValueExpandedAndRightIsExpandedText) {
  TVariableManager store;
  store.Put("DIR", "C:\\$SUB$");
  store.Put("SUB", "App");
  store.Put("WANT", "App");
  EXPECT_TRUE(evaluateCondition(store, {"DIR", "0", "C:\\$WANT$", ""}));
  EXPECT_TRUE(evaluateCondition(store, {"$DIR$", "0", "C:\\App", ""}));
  // An undefined variable reads as empty text.
  EXPECT_TRUE(evaluateCondition(store, {"NOPE", "0", "", ""}));
  EXPECT_FALSE(evaluateCondition(store, {"NOPE", "0", "", "TRUE"}));
}

TEST(ParseDecimalTest, AcceptsOnlyWholeIntegers) {
  EXPECT_EQ(parseDecimal("1603"), 1603);
  EXPECT_EQ(parseDecimal("-5"), -5);
  EXPECT_EQ(parseDecimal("+5"), 5);
  for (const char* bad : {"", "-", "1.0", " 1", "1 ", "0x10", "99999999999999999999"})
    EXPECT_FALSE(parseDecimal(bad).has_value()) << bad;
}

}  // namespace
}  // namespace kox
