#include "engine/script/compiler.h"

#include <gtest/gtest.h>

#include "engine/script/script_builder_test.h"

namespace kox {
namespace {

using testing::buildScript;
using testing::TestCommand;

struct Compiled {
  CompileResult result;
  std::vector<std::string> marks;
  std::vector<std::string> labels;
};

Compiled compile(const std::vector<TestCommand>& commands, TVariableManager& variables) {
  ScriptStore script(buildScript(commands));
  Compiled compiled{compileScript(script, variables), script.executionMarks(), script.labels().entries()};
  return compiled;
}

Compiled compile(const std::vector<TestCommand>& commands) {
  TVariableManager variables;
  return compile(commands, variables);
}

TEST(Compiler, EmptyScriptSucceedsAndDeclaresTheReservedVariables) {
  TVariableManager variables;
  variables.Put("LEFTOVER", "x");
  Compiled compiled = compile({}, variables);
  EXPECT_TRUE(compiled.result.succeeded());
  EXPECT_EQ(compiled.result.index, -1);
  EXPECT_EQ(compiled.result.message, "Script compiled successfully");
  EXPECT_EQ(variables.Count(), 60u);
  EXPECT_FALSE(variables.Exists("LEFTOVER"));
  for (const char* name : {"KELD_COMPRESSCACHE", "TARGETDIR", "PROGRESSMODE", "NEWLINE", "SAVEDATA"}) {
    EXPECT_TRUE(variables.Exists(name)) << name;
    EXPECT_EQ(variables.Get(name), "");
  }
}

struct FailureCase {
  const char* title;
  std::vector<TestCommand> commands;
  int64_t index;
  std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.title; }

class CompileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CompileFailure, ReportsIndexAndMessage) {
  const FailureCase& c = GetParam();
  Compiled compiled = compile(c.commands);
  EXPECT_EQ(compiled.result.index, c.index);
  EXPECT_EQ(compiled.result.message, c.message);
}

const std::string kTargetFolderMessage =
    "A target folder must be specified for files that are being installed.\r"
    "The value $TARGETDIR$ represents the destination folder chosen by the user.";

INSTANTIATE_TEST_SUITE_P(
    Scripts, CompileFailure,
    ::testing::Values(
        FailureCase{"LabelInsideIf",
                    {{"Comment"}, {"If", {"A", "=", "1"}}, {"Label", {"L"}}, {"End"}},
                    2, "LABEL statements cannot be nested inside loops/conditionals"},
        FailureCase{"LabelAfterTooManyEnds", {{"End"}, {"Label", {"L"}}}, 1,
                    "LABEL statements cannot be nested inside loops/conditionals"},
        FailureCase{"MissingEnd", {{"If", {"TARGETDIR", "=", "x"}}}, 2147483644, "Insufficient END statements"},
        FailureCase{"OnlyEndDisabled",
                    {{"Wizard Loop"}, {"Display Dialog", {"Welcome", "", "", ""}}, {"End", {}, true}},
                    2147483644, "Insufficient END statements"},
        FailureCase{"ExtraEnd", {{"End"}}, 2147483644, "Too many END statements"},
        FailureCase{"DuplicateLabel",
                    {{"Label", {"Start"}}, {"Comment"}, {"Label", {"START"}}},
                    2, "LABEL re-defined: START"},
        FailureCase{"DuplicateDisabledLabel",
                    {{"Label", {"Again"}, true}, {"Label", {"again"}}},
                    1, "LABEL re-defined: again"},
        FailureCase{"UndefinedLabel", {{"Label", {"A"}}, {"GoTo Label", {"b"}}}, 1, "LABEL undefined: b"},
        FailureCase{"IfUnknownReference",
                    {{"If", {"TARGETDIR", "=", "$NOBODY$"}}, {"End"}},
                    0, "Variable not defined: $NOBODY$"},
        FailureCase{"IfUnknownVariable", {{"If", {"NOBODY", "=", "x"}}, {"End"}}, 0, "Variable not defined: NOBODY"},
        FailureCase{"IfBothUnknownReportsTheLast",
                    {{"If", {"NOBODY", "=", "$NOONE$"}}, {"End"}},
                    0, "Variable not defined: $NOONE$"},
        FailureCase{"IfWithoutVariable", {{"If", {"", "=", "x"}}, {"End"}}, 0, "Variable required"},
        FailureCase{"ElseIfUnknown",
                    {{"If", {"TARGETDIR", "=", "x"}}, {"Else If", {"$NOBODY$", "=", "x"}}, {"End"}},
                    1, "Variable not defined: $NOBODY$"},
        FailureCase{"BadExpression",
                    {{"Evaluate Expression", {"$A$ = x", "RESULT"}}},
                    0,
                    "Syntax error in expression. Please review the help topic \"Evaluate Expression\" for the "
                    "correct syntax."},
        FailureCase{"MsiVariableRequired", {{"Is MSI Setup Installed", {"{CODE}", ""}}}, 0, "Variable required"},
        FailureCase{"FindAllFilesVariableRequired", {{"Find All Files", {"C:\\", "*.*", "TRUE", ""}}}, 0,
                    "Variable required"},
        FailureCase{"DiskSpaceVariableRequired", {{"Check Disk Space", {""}}}, 0, "Variable required"},
        FailureCase{"ReplaceUndefined", {{"Replace String", {"NOBODY", "a", "b"}}}, 0, "Variable not defined: NOBODY"},
        FailureCase{"ConvertCaseUndefinedReference", {{"Convert Case", {"$NOBODY$"}}}, 0,
                    "Variable not defined: $NOBODY$"},
        FailureCase{"DialogWithoutName", {{"Display Dialog", {""}}}, 0, "Dialog name not specified"},
        FailureCase{"DialogUnknownVariable", {{"Display Dialog", {"Welcome", "", "", "$NOBODY$"}}}, 0,
                    "Variable not defined: $NOBODY$"},
        FailureCase{"NoDeleteMode", {{"Delete Files", {"C:\\x", "*.*", "FALSE", "no"}}}, 0,
                    "At least one delete mode must be selected"},
        FailureCase{"NoTargetFolder", {{"Comment"}, {"Install Files", {"block", "files", ""}}}, 1,
                    kTargetFolderMessage},
        FailureCase{"WebMediaIllegalName", {{"Web Media Block", {"web?1", "http://x"}}}, 0,
                    "Web Media Block name must be a legal file name"},
        FailureCase{"WebMediaWithoutUrl", {{"Web Media Block", {"web1", ""}}}, 0,
                    "Web Media Block must have at least one download URL"},
        FailureCase{"OtherCommandInWizardLoop",
                    {{"Wizard Loop"}, {"Display Dialog", {"Welcome", "", "", ""}}, {"Set Variable", {"X", "1"}}, {"End"}},
                    2, "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP"},
        FailureCase{"FirstFailureWins",
                    {{"GoTo Label", {"nowhere"}}, {"Display Dialog", {""}}},
                    0, "LABEL undefined: nowhere"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.title); });

TEST(Compiler, DisabledCommandsThatStillCount) {
  TVariableManager variables;
  Compiled compiled = compile(
      {
          {"Label", {"Retry"}, true},                       // a disabled label is still a target
          {"GoTo Label", {"retry"}},
          {"Set Variable", {"Later$KELD$KELD$TRUE", "1"}, true},  // declared although disabled
          {"Set Variable", {"Unused$KELD$KELD$FALSE", "1"}, true},
          {"If", {"LATER", "=", "$later$"}},
          {"End"},
          {"If", {"Nobody", "=", "x"}, true},               // disabled: not checked, not counted
      },
      variables);
  EXPECT_TRUE(compiled.result.succeeded()) << compiled.result.message;
  EXPECT_EQ(compiled.labels, (std::vector<std::string>{"RETRY"}));
  EXPECT_TRUE(variables.Exists("LATER"));
  EXPECT_FALSE(variables.Exists("UNUSED"));
}

TEST(Compiler, PlainTextConditionOperandPasses) {
  EXPECT_TRUE(compile({{"If", {"TARGETDIR", "=", "NOBODY"}}, {"End"}}).result.succeeded());
  EXPECT_TRUE(compile({{"If", {"$TARGETDIR$", "<>", ""}}, {"End"}}).result.succeeded());
  EXPECT_TRUE(compile({{"Replace String", {"$TARGETDIR$", "a", "b"}}}).result.succeeded());
}

TEST(Compiler, DeclaresTheVariablesCommandsWrite) {
  TVariableManager variables;
  Compiled compiled = compile(
      {
          {"Set Variable", {"Result$KELD$KELD$FALSE", "x"}},
          {"Get Folder Location", {"folder"}},
          {"Get IIS Property", {"", "", "", "", "", "iisprop"}},
          {"Read from Text File", {"file", "line", "eof"}},
          {"Parse String", {"text", "sep", "left", "right"}},
          {"Run Program", {"a.exe", "", "", "", "exitcode"}},
          {"Run Program As", {"a.exe", "", "", "", "", "", "", "asexit"}},
          {"Evaluate Expression", {"$Result$ = \"x\"", "verdict"}},
          {"Mathematics", {"1", "+", "2", "sum"}},
          {"Check Service", {"svc", "", ""}},  // empty: declares nothing
          {"Replace String", {"Result", "x", "y"}},
          {"If", {"$Sum$", "=", "$verdict$"}},
          {"End"},
      },
      variables);
  EXPECT_TRUE(compiled.result.succeeded()) << compiled.result.message;
  for (const char* name : {"RESULT", "FOLDER", "IISPROP", "LINE", "EOF", "LEFT", "RIGHT", "EXITCODE", "ASEXIT",
                           "VERDICT", "SUM"})
    EXPECT_TRUE(variables.Exists(name)) << name;
  std::vector<std::string> list;
  variables.Enumerate(list);
  EXPECT_NE(std::find(list.begin(), list.end(), "RESULT"), list.end());  // declared upper-cased
  EXPECT_EQ(variables.Count(), 60u + 11u);
}

TEST(Compiler, ExecutionMarks) {
  Compiled compiled = compile({
      {"Install Files", {"block", "files", "$TARGETDIR$"}},
      {"Comment"},
      {"Write Registry", {"x"}, true},  // disabled: stays "SKIP"
      {"Delete Files", {"C:\\x", "*.*", "true", "FALSE"}},
      {"Create Shortcut", {"x"}},
      {"Set Variable", {"A", "1"}},
      {"Unknown Command"},
  });
  EXPECT_TRUE(compiled.result.succeeded()) << compiled.result.message;
  EXPECT_EQ(compiled.marks, (std::vector<std::string>{"FALSE", "SKIP", "SKIP", "FALSE", "FALSE", "SKIP", "SKIP"}));
}

TEST(Compiler, WizardLoopAllowsDialogsCommentsAndIgnore) {
  Compiled compiled = compile({{"Wizard Loop"},
                               {"Display Dialog", {"Welcome", "", "", ""}},
                               {"Comment"},
                               {"Ignore"},
                               {"Set Variable", {"X", "1"}, true},
                               {"End"},
                               {"Set Variable", {"X", "1"}}});
  EXPECT_TRUE(compiled.result.succeeded()) << compiled.result.message;
}

TEST(Compiler, RecompilingStartsAfresh) {
  TVariableManager variables;
  ScriptStore script(buildScript({{"Label", {"A"}}, {"Install Files", {"b", "f", "$TARGETDIR$"}}}));
  ASSERT_TRUE(compileScript(script, variables).succeeded());
  ASSERT_TRUE(compileScript(script, variables).succeeded());  // the label is not "re-defined"
  EXPECT_EQ(script.labels().entries(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(script.executionMarks(), (std::vector<std::string>{"SKIP", "FALSE"}));
}

}  // namespace
}  // namespace kox
