#include "engine/script/interpreter/interpreter.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "engine/script/script_builder_test.h"
#include "engine/script/script_store.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

using testing::TestCommand;

// What the test commands did, in order.
std::vector<std::string>& journal() {
  static std::vector<std::string> lines;
  return lines;
}

// "Note" P1: appends the expanded text to the journal.
void note(CommandContext& context) { journal().push_back(context.expanded(1)); }
// "Assign" P1 name, P2 value.
void assign(CommandContext& context) { context.writeResult(context.parameter(1), context.expanded(2)); }
// "Fail" P1 message.
void failCommand(CommandContext& context) {
  context.fail(context.expanded(1));
  journal().push_back("after fail");
}

constexpr CommandEntry kTestCommands[] = {{"Note", note}, {"Assign", assign}, {"Fail", failCommand}};

class RecordingEnvironment : public RunEnvironment {
 public:
  void processMessages() override { ++messagePumps; }
  void waitStep() override { ++waitSteps; }
  uint64_t tickCount() override { return 1000; }
  void trace(const std::string& line) override { traces.push_back(line); }
  void requestRestart() override { ++restarts; }
  void writeResumeEntry(bool allUsers, const std::string& name, const std::string& command) override {
    resume = {allUsers ? "HKLM" : "HKCU", name, command};
  }
  void showRuntimeError(const std::string& text) override { errors.push_back(text); }
  void finishRun() override { ++finishes; }

  int messagePumps = 0;
  int waitSteps = 0;
  int restarts = 0;
  int finishes = 0;
  std::vector<std::string> traces;
  std::vector<std::string> resume;
  std::vector<std::string> errors;
};

// Answers modal dialogs from a queue (Next when it runs dry) and records what it showed.
class ScriptedDialogs : public DialogHost {
 public:
  void prepare(const std::string&) override {}
  DialogOutcome showModal(const std::string& key) override {
    shown.push_back(key);
    if (answers.empty()) return {static_cast<int>(DialogCode::Next), {}};
    DialogOutcome outcome = answers.front();
    answers.pop_front();
    return outcome;
  }
  uintptr_t showModeless(const std::string& key) override {
    shown.push_back(key + " modeless");
    return 4242;
  }
  void hide(const std::string& key) override { hidden.push_back(key); }
  void destroyAll() override { ++destroyed; }

  std::deque<DialogOutcome> answers;
  std::vector<std::string> shown;
  std::vector<std::string> hidden;
  int destroyed = 0;
};

DialogOutcome answer(DialogCode code) { return {static_cast<int>(code), {}}; }

class InterpreterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    journal().clear();
    table.add(kTestCommands);
    store.Put("ABORTONERROR", "TRUE");
  }

  RunEnd run(const std::vector<TestCommand>& commands, RunSettings settings = {}) {
    script = std::make_unique<ScriptStore>(testing::buildScript(commands));
    script->fillLabelTable();
    for (size_t i = 0; i < commands.size(); ++i)
      settings.sourceLineMap.push_back("C:\\Project\\setup.kox*" + std::to_string(100 + i));
    interpreter = std::make_unique<Interpreter>(*script, store, env, dialogs, table, std::move(settings));
    return interpreter->run();
  }

  TVariableManager store;
  RecordingEnvironment env;
  ScriptedDialogs dialogs;
  CommandTable table;
  std::unique_ptr<ScriptStore> script;
  std::unique_ptr<Interpreter> interpreter;
};

TestCommand ifCommand(const char* name, const char* op, const char* value, const char* negate = "FALSE") {
  return {"If", {name, op, value, negate}};
}
TestCommand elseIf(const char* name, const char* op, const char* value) { return {"Else If", {name, op, value, "FALSE"}}; }
TestCommand noteCommand(const char* text) { return {"Note", {text}}; }
// Packages carry every parameter of a command; a short block would let the
// fetch run into the next command's lines.
TestCommand dialog(const char* name, const char* result, const char* modal = "TRUE", const char* conditionVariable = "",
                   const char* conditionValue = "") {
  return {"Display Dialog", {name, result, modal, conditionVariable, "", conditionValue}};
}

// If / Else If / Else with a nested block in a taken branch, for each value of X.
TEST_F(InterpreterTest, IfElseIfElseChainsWithNestedBlocks) {
  const std::vector<TestCommand> script{
      ifCommand("X", "0", "1"),
      noteCommand("one"),
      ifCommand("Y", "0", "inner"),
      noteCommand("one-inner"),
      {"Else"},
      noteCommand("one-inner-else"),
      {"End"},
      elseIf("X", "0", "2"),
      noteCommand("two"),
      elseIf("X", "2", "2"),
      noteCommand("more than two"),
      {"Else"},
      noteCommand("other"),
      {"End"},
      noteCommand("after"),
  };
  struct Case {
    const char* x;
    const char* y;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"1", "inner", {"one", "one-inner", "after"}},
      {"1", "outer", {"one", "one-inner-else", "after"}},
      {"2", "inner", {"two", "after"}},
      {"3", "", {"more than two", "after"}},
      {"0", "", {"other", "after"}},
  };
  for (const Case& c : cases) {
    journal().clear();
    store.Put("X", c.x);
    store.Put("Y", c.y);
    EXPECT_EQ(run(script), RunEnd::ScriptEnded);
    EXPECT_EQ(journal(), c.expected) << "X=" << c.x << " Y=" << c.y;
  }
}

TEST_F(InterpreterTest, FalseIfWithoutElseContinuesAfterItsEndAndLaterChainsWork) {
  store.Put("X", "5");
  run({ifCommand("X", "0", "1"), noteCommand("skipped"), ifCommand("X", "0", "5"), noteCommand("nested skipped"),
       {"End"}, {"End"}, noteCommand("between"), ifCommand("X", "0", "4"), noteCommand("no"), elseIf("X", "0", "5"),
       noteCommand("yes"), {"Else"}, noteCommand("no either"), {"End"}});
  EXPECT_EQ(journal(), (std::vector<std::string>{"between", "yes"}));
}

TEST_F(InterpreterTest, DisabledAndIgnoredLinesNeverCountAsBlockMarkers) {
  store.Put("X", "1");
  run({ifCommand("X", "0", "2"), noteCommand("no"), TestCommand("Else", {}, true), noteCommand("still no"),
       {"Ignore"}, {"Else"}, noteCommand("else"), TestCommand("End", {}, true), {"End"},
       TestCommand("Note", {"disabled last"}, true)});
  EXPECT_EQ(journal(), (std::vector<std::string>{"else"}));
}

TEST_F(InterpreterTest, DefinedOperatorAndNegation) {
  store.Put("THERE", "");
  run({ifCommand("THERE", "5", ""), noteCommand("defined"), {"End"}, ifCommand("GONE", "5", "", "TRUE"),
       noteCommand("not defined"), {"End"}, ifCommand("THERE", "5", "", "TRUE"), noteCommand("wrong"), {"End"}});
  EXPECT_EQ(journal(), (std::vector<std::string>{"defined", "not defined"}));
}

struct WizardCase {
  std::vector<DialogCode> answers;
  std::vector<std::string> shown;
};

class WizardTest : public InterpreterTest, public ::testing::WithParamInterface<WizardCase> {};

TEST_P(WizardTest, WalksForwardAndBack) {
  for (DialogCode code : GetParam().answers) dialogs.answers.push_back(answer(code));
  run({noteCommand("before"), {"Wizard Loop"}, dialog("One", "RESULT"), {"Comment"},
       dialog("Two", "RESULT"), TestCommand("Display Dialog", {"Disabled", "", "TRUE", "", "", ""}, true),
       dialog("Three", "RESULT"), {"End"}, noteCommand("after $RESULT$")});
  EXPECT_EQ(dialogs.shown, GetParam().shown);
  EXPECT_EQ(journal().back().substr(0, 5), "after");
  EXPECT_EQ(journal().front(), "before");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, WizardTest,
    ::testing::Values(
        WizardCase{{DialogCode::Next, DialogCode::Next, DialogCode::Back, DialogCode::Next, DialogCode::Next},
                   {"2", "4", "6", "4", "6"}},
        WizardCase{{DialogCode::Back}, {"2"}},
        WizardCase{{DialogCode::Next, DialogCode::Cancel}, {"2", "4"}},
        WizardCase{{DialogCode::Next, DialogCode::Back, DialogCode::Back}, {"2", "4", "2"}},
        // A result other than Next, Back and Cancel keeps the direction.
        WizardCase{{DialogCode::Next, DialogCode::Back, DialogCode::NotModal, DialogCode::Next}, {"2", "4", "2"}}));

TEST_F(InterpreterTest, WizardResultVariableAndModalState) {
  dialogs.answers = {answer(DialogCode::Next), {static_cast<int>(DialogCode::Text), "Custom"}};
  run({{"Wizard Loop"}, dialog("One", "R1"), dialog("Two", "$R2$"), {"End"}});
  EXPECT_EQ(store.Get("R1"), "NEXT");
  EXPECT_EQ(store.Get("R2"), "CUSTOM");
  // The first dialog is hidden before the second is shown.
  EXPECT_EQ(dialogs.hidden, (std::vector<std::string>{"1"}));
  EXPECT_EQ(store.Get("WINDOWHANDLE"), "0");
}

TEST_F(InterpreterTest, DialogConditionSkipsTheDialog) {
  store.Put("SHOWN", "TRUE");
  run({dialog("One", "R", "TRUE", "SHOWN", "TRUE"),
       dialog("Two", "R", "TRUE", "$SHOWN$", "FALSE")});
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"1"}));
}

TEST_F(InterpreterTest, ModelessDialogShowsProgressUntilHidden) {
  store.Put("PROGRESS", "0");
  run({dialog("Progress", "R", "FALSE"), {"Assign", {"PROGRESSTEXT", "Copying"}},
       {"Assign", {"PROGRESS", "40"}}, {"Comment"}, {"Hide Dialog"}, {"Assign", {"PROGRESS", "90"}}, {"Comment"}});
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"0 modeless"}));
  EXPECT_EQ(store.Get("R"), "NOTMODAL");
  EXPECT_EQ(dialogs.hidden, (std::vector<std::string>{"0"}));
  EXPECT_EQ(store.Get("WINDOWHANDLE"), "0");
  // Progress was pushed for the text and for 40, not for 90 (no dialog by then).
  EXPECT_EQ(store.Get("KELD_thProgress"), "40");
  EXPECT_EQ(store.Get("KELD_thProgressText"), "Copying");
  EXPECT_EQ(env.waitSteps, 2);
}

TEST_F(InterpreterTest, ProgressThatIsNotANumberIsARuntimeError) {
  store.Put("PROGRESS", "lots");
  EXPECT_EQ(run({dialog("Progress", "", "FALSE"), noteCommand("next")}), RunEnd::RuntimeError);
  EXPECT_TRUE(journal().empty());
}

TEST_F(InterpreterTest, GoToIntoABlockStartsWithNoBlockOpen) {
  store.Put("X", "1");
  run({{"GoTo Label", {"inside"}}, ifCommand("X", "0", "2"), noteCommand("never"), {"Label", {"INSIDE"}},
       noteCommand("inside"), {"Else"}, noteCommand("else branch"), {"End"}, noteCommand("after")});
  EXPECT_EQ(journal(), (std::vector<std::string>{"inside", "after"}));
}

TEST_F(InterpreterTest, CountedLoopWithGoTo) {
  store.Put("SEEN", "");
  run({{"Label", {"top"}}, ifCommand("SEEN", "0", "xxx"), {"GoTo Label", {"done"}}, {"End"},
       {"Assign", {"SEEN", "$SEEN$x"}}, {"GoTo Label", {"TOP"}}, {"Label", {"done"}}, noteCommand("$SEEN$")});
  EXPECT_EQ(journal(), (std::vector<std::string>{"xxx"}));
}

TEST_F(InterpreterTest, TerminateWithExitCodeEndsTheScriptWithTheTrace) {
  store.Put("CODE", "1603");
  EXPECT_EQ(run({noteCommand("a"), {"Terminate with Exit Code", {"$CODE$"}}, noteCommand("b")}), RunEnd::ScriptEnded);
  EXPECT_EQ(interpreter->exitCode(), 1603);
  EXPECT_EQ(journal(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(env.traces, (std::vector<std::string>{"    </keld>", "    <ExitScript>", "    </ExitScript>"}));
  EXPECT_EQ(env.finishes, 1);
  EXPECT_EQ(dialogs.destroyed, 1);
}

TEST_F(InterpreterTest, RuntimeErrorNamesSourceFileAndLineAndSkipsTheEndTrace) {
  RunSettings settings;
  settings.runtimeErrorText = "Runtime error in setup script:";
  EXPECT_EQ(run({noteCommand("a"), {"Comment"}, {"Fail", {"Unable to read the key"}}, noteCommand("b")}, settings),
            RunEnd::RuntimeError);
  ASSERT_EQ(env.errors.size(), 1u);
  EXPECT_EQ(env.errors[0],
            "Runtime error in setup script:\r\rSource File: C:\\Project\\setup.kox\rLine Number: 102\r\r"
            "Unable to read the key");
  EXPECT_TRUE(env.traces.empty());
  EXPECT_EQ(env.finishes, 1);
  EXPECT_EQ(interpreter->exitCode(), 0);
  EXPECT_EQ(journal(), (std::vector<std::string>{"a"}));
}

TEST_F(InterpreterTest, SilentRuntimeErrorShowsNoBox) {
  store.Put("SILENT", "TRUE");
  EXPECT_EQ(run({{"Terminate with Exit Code", {"many"}}}), RunEnd::RuntimeError);
  EXPECT_TRUE(env.errors.empty());
  EXPECT_EQ(env.finishes, 1);
}

TEST_F(InterpreterTest, SoftFailureWhenAbortOnErrorIsFalse) {
  store.Put("ABORTONERROR", "FALSE");
  EXPECT_EQ(run({{"Fail", {"soft"}}, noteCommand("went on")}), RunEnd::ScriptEnded);
  EXPECT_EQ(store.Get("ABORTEDONERROR"), "TRUE");
  EXPECT_EQ(store.Get("LASTERROR"), "soft");
  EXPECT_EQ(journal(), (std::vector<std::string>{"after fail", "went on"}));
}

TEST_F(InterpreterTest, RebootAndResumeWritesTheResumeCommand) {
  store.Put("ALLUSERS", "TRUE");
  RunSettings settings;
  settings.productCode = "{11111111-2222-3333-4444-555555555555}";
  settings.executablePath = "C:\\media\\setup.exe";
  settings.outerPackagePath = "C:\\Downloads\\package.exe";
  settings.commandLineTail = "/s";
  run({{"Reboot and Resume"}, noteCommand("never")}, settings);
  EXPECT_EQ(env.resume, (std::vector<std::string>{"HKLM", "11111111", "C:\\Downloads\\package.exe /s"}));
  EXPECT_EQ(env.restarts, 1);
  EXPECT_TRUE(journal().empty());
}

TEST_F(InterpreterTest, RebootAndResumeWithoutOuterPackageUsesTheEngine) {
  store.Put("ALLUSERS", "FALSE");
  RunSettings settings;
  settings.productCode = "{ABCDEF01-2222-3333-4444-555555555555}";
  settings.executablePath = "C:\\media\\setup.exe";
  run({{"Reboot and Resume"}}, settings);
  EXPECT_EQ(env.resume, (std::vector<std::string>{"HKCU", "ABCDEF01", "C:\\media\\setup.exe"}));
}

TEST_F(InterpreterTest, SilentRunKeepsCommandLineVariables) {
  store.Put("SILENT", "TRUE");
  store.Put("TARGETDIR", "D:\\App");
  RunSettings settings;
  settings.protection.commandLineVariables = {"TARGETDIR", "D:\\App"};
  run({{"Assign", {"TARGETDIR", "C:\\Other"}}, dialog("One", "TARGETDIR", "TRUE")}, settings);
  EXPECT_EQ(store.Get("TARGETDIR"), "D:\\App");
}

TEST_F(InterpreterTest, AbortMirrorsTheCancelRequestAndMessagesEvery314Steps) {
  store.Put("KELD_IsCancelled", "TRUE");
  std::vector<TestCommand> commands(700, TestCommand("Comment"));
  run(commands);
  EXPECT_EQ(store.Get("ABORT"), "TRUE");
  EXPECT_EQ(env.messagePumps, 3);  // program counters 0, 314 and 628
}

TEST_F(InterpreterTest, WebMediaBlockBecomesCurrent) {
  RunSettings settings;
  settings.mediaDataFolder = "C:\\setup\\data\\";
  // "pw" stored: hex low-first "0777", XOR with positions.
  settings.webMediaPasswords = {"OFFLINE", std::string{'0', '7' ^ 1, '7' ^ 2, '7' ^ 3}};
  store.Put("HOST", "example.test");
  run({{"Web Media Block", {"Core", "http://$HOST$/a.7zip"}}}, settings);
  EXPECT_EQ(interpreter->webMediaBlock().archivePath, "C:\\setup\\data\\Core.7zip");
  EXPECT_EQ(interpreter->webMediaBlock().urls, "http://example.test/a.7zip");
  EXPECT_EQ(interpreter->webMediaBlock().password, "pw");
}

TEST_F(InterpreterTest, StepCallbackEndsTheRun) {
  script = std::make_unique<ScriptStore>(testing::buildScript({noteCommand("a"), noteCommand("b")}));
  interpreter = std::make_unique<Interpreter>(*script, store, env, dialogs, table, RunSettings{});
  EXPECT_EQ(interpreter->run({}, [](size_t counter) { return counter < 2; }), RunEnd::StoppedByCaller);
  EXPECT_EQ(journal(), (std::vector<std::string>{"a"}));
  EXPECT_EQ(env.finishes, 1);
}

TEST_F(InterpreterTest, UnknownNamesArePassedOver) {
  run({{"Folding Marker"}, {"Set Variable", {"X", "1"}}, noteCommand("end")});
  EXPECT_EQ(journal(), (std::vector<std::string>{"end"}));
}

}  // namespace
}  // namespace kox
