#include "engine/script/values/variable_commands.h"

#include <gtest/gtest.h>

#include "engine/script/values/persistent_variables.h"
#include "engine/script/values/test_command_context.h"

namespace kox {
namespace {

using testing::TestCommandContext;

TEST(ParseSetVariableTarget, SeparatesNameAndPersistence) {
  struct Case {
    const char* p1;
    const char* name;
    bool persistent;
  };
  const Case cases[] = {
      {"TARGET", "TARGET", false},
      {"$TARGET$", "TARGET", false},
      {"TARGET$KELD$KELD$TRUE", "TARGET", true},
      {"TARGET$KELD$KELD$FALSE", "TARGET", false},
      {"TARGET$KELD$KELD$true", "TARGET", false},  // exactly "TRUE"
      {"$TARGET$$KELD$KELD$TRUE", "TARGET", true},
      {"TARGET$KELD$KELD$", "TARGET", false},
      {"$A$B$", "$A$B$", false},  // not a reference form
  };
  for (const Case& c : cases) {
    SetVariableTarget target = ParseSetVariableTarget(c.p1);
    EXPECT_EQ(target.name, c.name) << c.p1;
    EXPECT_EQ(target.persistent, c.persistent) << c.p1;
  }
}

class SetVariableTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPersistentVariables(); }
  void TearDown() override { ClearPersistentVariables(); }
};

TEST_F(SetVariableTest, CreatesUpperCasedVariableWithExpandedValue) {
  TestCommandContext context("Set Variable", {"target", "$ROOT$\\App"});
  context.variables().Put("ROOT", "C:\\Programs");
  SetVariableCommand(context);
  EXPECT_EQ(context.storedName("target"), "TARGET");
  EXPECT_EQ(context.get("TARGET"), "C:\\Programs\\App");
  ASSERT_EQ(context.writes.size(), 1u);
  EXPECT_EQ(context.writes[0].context, "Set Variable Action");
}

TEST_F(SetVariableTest, ExistingVariableKeepsItsSpelling) {
  TestCommandContext context("Set Variable", {"$target$", "x"});
  context.variables().Put("Target", "old");
  SetVariableCommand(context);
  EXPECT_EQ(context.storedName("TARGET"), "Target");
  EXPECT_EQ(context.get("Target"), "x");
}

TEST_F(SetVariableTest, ValueIsTranslatedWhenALanguageIsActive) {
  TestCommandContext context("Set Variable", {"GREETING", "Hello"});
  context.languageActive = true;
  context.translations[{"{TEST-COMMAND}", 1}] = "Hallo $NAME$";
  context.variables().Put("NAME", "Welt");
  SetVariableCommand(context);
  EXPECT_EQ(context.get("GREETING"), "Hallo Welt");
}

TEST_F(SetVariableTest, PersistentNameIsListedOnceAndFalseIsNotListed) {
  TestCommandContext context("Set Variable", {"KEEP$KELD$KELD$TRUE", "1"});
  SetVariableCommand(context);
  SetVariableCommand(context);
  context.setParameters({"OTHER$KELD$KELD$FALSE", "2"});
  SetVariableCommand(context);

  EXPECT_EQ(context.get("KEEP"), "1");
  EXPECT_EQ(context.get("OTHER"), "2");
  EXPECT_FALSE(context.has("KEEP$KELD$KELD$TRUE"));
  EXPECT_EQ(PersistentVariables(), std::vector<std::string>{"KEEP"});
}

TEST_F(SetVariableTest, PersistentListComparesNamesCaseSensitively) {
  TestCommandContext context("Set Variable", {"Keep$KELD$KELD$TRUE", "1"});
  SetVariableCommand(context);
  context.setParameters({"KEEP$KELD$KELD$TRUE", "2"});
  SetVariableCommand(context);
  EXPECT_EQ(PersistentVariables(), (std::vector<std::string>{"Keep", "KEEP"}));
}

TEST_F(SetVariableTest, AbortAlsoSetsTheCancelFlag) {
  TestCommandContext context("Set Variable", {"abort", "TRUE"});
  SetVariableCommand(context);
  EXPECT_EQ(context.get("ABORT"), "TRUE");
  EXPECT_EQ(context.get("KELD_IsCancelled"), "TRUE");
  ASSERT_EQ(context.writes.size(), 2u);
  EXPECT_EQ(context.writes[1].name, "KELD_IsCancelled");
  EXPECT_EQ(context.writes[1].context, "Set Variable Tricke");
}

TEST_F(SetVariableTest, OtherNamesLeaveTheCancelFlagAlone) {
  TestCommandContext context("Set Variable", {"ABORTED", "TRUE"});
  SetVariableCommand(context);
  EXPECT_FALSE(context.has("KELD_IsCancelled"));
  EXPECT_TRUE(context.progress.empty());
}

TEST_F(SetVariableTest, ProgressIsReportedWithTheDelegatedFlagSet) {
  TestCommandContext context("Set Variable", {"progress", "42"});
  context.variables().Put("PROGRESSTEXT", "Copying files");
  SetVariableCommand(context);
  context.setParameters({"ProgressText", "Almost done"});
  SetVariableCommand(context);

  ASSERT_EQ(context.progress.size(), 2u);
  EXPECT_EQ(context.progress[0].text, "Copying files");
  EXPECT_EQ(context.progress[0].minimum, 0);
  EXPECT_EQ(context.progress[0].maximum, 100);
  EXPECT_EQ(context.progress[0].position, 42);
  EXPECT_TRUE(context.progress[0].delegated);
  EXPECT_EQ(context.progress[1].text, "Almost done");
  EXPECT_EQ(context.progress[1].position, 42);
  EXPECT_FALSE(context.delegatedProgress);  // cleared again afterwards
}

TEST_F(SetVariableTest, ProgressThatIsNotANumberIsAnErrorAndClearsTheFlag) {
  TestCommandContext context("Set Variable", {"PROGRESS", "half"});
  EXPECT_THROW(SetVariableCommand(context), EngineError);
  EXPECT_EQ(context.get("PROGRESS"), "half");
  EXPECT_FALSE(context.delegatedProgress);
}

TEST(LocalizationVariable, TranslatesUnderTheVariableKey) {
  TestCommandContext context("Localization Variable", {"$Caption$", "Welcome to $PRODUCT$"});
  context.variables().Put("PRODUCT", "Demo");
  context.languageActive = true;
  context.translations[{"ZOZIVORA$Caption$ZOZIVORA", 1}] = "Willkommen bei $PRODUCT$";
  context.translations[{"{TEST-COMMAND}", 1}] = "wrong key";
  LocalizationVariableCommand(context);
  EXPECT_EQ(context.storedName("caption"), "CAPTION");
  EXPECT_EQ(context.get("CAPTION"), "Willkommen bei Demo");
  ASSERT_FALSE(context.writes.empty());
  EXPECT_EQ(context.writes.back().context, "Localization Variable Action");
}

TEST(LocalizationVariable, WithoutLanguageOnlyExpands) {
  TestCommandContext context("Localization Variable", {"Caption", "Welcome to $PRODUCT$"});
  context.variables().Put("PRODUCT", "Demo");
  context.translations[{"ZOZIVORA$Caption$ZOZIVORA", 1}] = "Willkommen";
  LocalizationVariableCommand(context);
  EXPECT_EQ(context.get("CAPTION"), "Welcome to Demo");
}

TEST(EvaluateExpression, StoresTheTruthOfTheExpandedExpression) {
  struct Case {
    const char* expression;
    const char* result;
  };
  const Case cases[] = {
      {"$A$ = \"y\"", "TRUE"},
      {"$A$ = \"x\"", "FALSE"},
      {"$A$ = \"y\" and $B$ <> \"\"", "TRUE"},
  };
  for (const Case& c : cases) {
    TestCommandContext context("Evaluate Expression", {c.expression, "result"});
    context.variables().Put("A", "y");
    context.variables().Put("B", "b c");
    EvaluateExpressionCommand(context);
    EXPECT_EQ(context.storedName("result"), "RESULT");
    EXPECT_EQ(context.get("RESULT"), c.result) << c.expression;
    EXPECT_EQ(context.writes.back().context, "Evaluate Expression Action");
  }
}

}  // namespace
}  // namespace kox
