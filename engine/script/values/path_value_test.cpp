// The shared conventions: path values, numeric parameters, the platform mode,
// the persistent variable list and result variables.
#include "engine/script/values/path_value.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/script/values/integer_text.h"
#include "engine/script/values/persistent_variables.h"
#include "engine/script/values/platform_mode.h"
#include "engine/script/values/result_variable.h"
#include "engine/script/values/test_command_context.h"
#include "engine/script/values/value_commands.h"

namespace kox {
namespace {

TEST(PathValue, CollapsesDoubledBackslashesAndKeepsANetworkPrefix) {
  struct Case {
    const char* text;
    const char* path;
  };
  const Case cases[] = {
      {"C:\\\\Program Files\\\\App", "C:\\Program Files\\App"},
      {"C:\\Program Files\\App\\", "C:\\Program Files\\App\\"},
      {"C:\\App\\\\\\x", "C:\\App\\\\x"},  // three: one pair collapses, one stays
      {"\\\\server\\share\\\\dir", "\\\\server\\share\\dir"},
      {"\\\\\\\\server", "\\\\server"},
      {"\\\\", "\\\\"},
      {"\\", "\\"},
      {"", ""},
      {"no backslash", "no backslash"},
  };
  for (const Case& c : cases) EXPECT_EQ(PathValue(c.text), c.path) << c.text;
  EXPECT_EQ(CollapseDoubledBackslashes("\\\\server"), "\\server");
}

TEST(IntegerText, DecimalNumbersOnly) {
  EXPECT_EQ(ParseInt64("42"), 42);
  EXPECT_EQ(ParseInt64("  -17"), -17);
  EXPECT_EQ(ParseInt64("+5"), 5);
  EXPECT_EQ(ParseInt64("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseInt64("-9223372036854775808"), INT64_MIN);
  for (const char* bad : {"", " ", "-", "4 2", "42 ", "0x10", "$10", "1e3", "9223372036854775808",
                          "-9223372036854775809", "99999999999999999999"})
    EXPECT_FALSE(ParseInt64(bad).has_value()) << bad;
  EXPECT_THROW(RequireInt64("ten"), EngineError);
  EXPECT_THROW(RequireInt32("2147483648"), EngineError);
  EXPECT_EQ(RequireInt32("-2147483648"), INT32_MIN);
}

TEST(PlatformMode, StartsAsWin32AndResets) {
  EXPECT_EQ(PlatformMode(), "Win32");
  EXPECT_FALSE(PlatformModeIs64Bit());
  SetPlatformMode(kPlatformX64);
  EXPECT_EQ(PlatformMode(), "x64");
  EXPECT_TRUE(PlatformModeIs64Bit());
  ResetPlatformMode();
  EXPECT_EQ(PlatformMode(), "Win32");
}

TEST(PersistentVariables, ListedOnceFromManyThreads) {
  ClearPersistentVariables();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([] {
      for (int i = 0; i < 200; ++i) AddPersistentVariable(i % 2 ? "A" : "B");
    });
  for (auto& thread : threads) thread.join();
  std::vector<std::string> names = PersistentVariables();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(IsPersistentVariable("A"));
  EXPECT_FALSE(IsPersistentVariable("a"));
  ClearPersistentVariables();
  EXPECT_TRUE(PersistentVariables().empty());
}

TEST(ResultVariable, CreatedUpperCasedThenWrittenWithTheGivenContext) {
  testing::TestCommandContext context("Is MSI Setup Installed");
  WriteResultWithContext(context, "installed", "TRUE", "MsiQueryProductState");
  EXPECT_EQ(context.storedName("INSTALLED"), "INSTALLED");
  EXPECT_EQ(context.get("INSTALLED"), "TRUE");
  EXPECT_EQ(context.writes.back().context, "MsiQueryProductState");
  WriteResultWithContext(context, "", "x", "MsiQueryProductState");
  EXPECT_EQ(context.variables().Count(), 1u);
}

TEST(ValueCommands, TableNamesAreUniqueAndHaveHandlers) {
  std::set<std::string> names;
  for (const CommandEntry& entry : valueCommands()) {
    EXPECT_NE(entry.handler, nullptr) << entry.name;
    EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
  }
  for (const char* name : {"Set Variable", "Localization Variable", "Evaluate Expression", "Parse String",
                           "Replace String", "Convert Case", "Extract Path", "Mathematics"})
    EXPECT_EQ(names.count(name), 1u) << name;
  EXPECT_EQ(names.count("Get Environment"), 0u);
}

}  // namespace
}  // namespace kox
