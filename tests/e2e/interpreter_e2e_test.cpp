// The interpreter and its run set-up, run for real under Wine: scripts built
// into setups, their exit codes, trace lines, message boxes and what they
// leave behind (component state files, registry values, marker files).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/e2e/setup_runner.h"

namespace kox::e2e {
namespace {

const std::string kStub = KOX_STUB_PATH;
const std::string kLibrary = KOX_LIB_PATH;
const std::string kArchive = KOX_FIXTURE_ARCHIVE;
const std::string kWork = KOX_WORK_FOLDER;
const std::string kRevision = "{66666666-7777-8888-9999-000000000000}";

struct Command {
  std::string name;
  std::vector<std::string> parameters;
};

// A setup package around a script; every other section holds a plain value.
struct Package {
  Package(std::vector<Command> script, std::vector<std::string> constants = {})
      : commands(std::move(script)), buildConstants(std::move(constants)) {}

  std::vector<Command> commands;
  std::vector<std::string> buildConstants;  // name, value pairs

  std::string text() const {
    std::string out;
    auto line = [&](const std::string& l) { out += l + "\r\n"; };
    auto list = [&](const std::vector<std::string>& lines) {
      for (const auto& l : lines) line(l);
      line("$");
    };
    std::vector<std::string> names, ids, parameters, empty, sourceMap;
    for (size_t i = 0; i < commands.size(); ++i) {
      char id[64];
      snprintf(id, sizeof(id), "{00000000-0000-0000-0000-%012zu}", i);
      names.push_back(commands[i].name);
      ids.push_back(id);
      parameters.push_back(id);
      for (const auto& p : commands[i].parameters) parameters.push_back(p.empty() || p != "$" ? p : "$DOLLAR$");
      empty.emplace_back();
      sourceMap.push_back("C:\\Project\\setup.kox*" + std::to_string(10 + i));
    }
    list(names);
    list(ids);
    list(parameters);
    list(empty);
    line("{11111111-2222-3333-4444-555555555555}");
    line("Interpreter Demo");
    list({});
    for (const char* info : {"Demo Company", "", "", "", "", "1.0.0"}) line(info);
    list({});
    list(empty);
    line("0");
    list({"KELD-PREDEF-COMPONENT", "0"});
    line(kRevision);
    list({});
    line("FALSE");
    line("English");
    list({});
    list(buildConstants);
    line("1252");
    list(sourceMap);
    return out;
  }
};

Command setVariable(const std::string& name, const std::string& value) { return {"Set Variable", {name, value}}; }
Command ifCommand(const std::string& left, const std::string& op, const std::string& right,
                  const std::string& negate = "FALSE") {
  return {"If", {left, op, right, negate}};
}
Command command(const std::string& name, std::vector<std::string> parameters = {}) { return {name, std::move(parameters)}; }
Command exitWith(const std::string& code) { return {"Terminate with Exit Code", {code}}; }

// A setup folder with an archive and a database, ready for scripts.
class ScriptSetup : public SetupFolder {
 public:
  explicit ScriptSetup(const std::string& name) : SetupFolder(kWork + "interp-" + name, kStub, kLibrary) {
    copyIn(kArchive, "setup.res");
    writeFile("setup.msi", "not read by these scripts");
  }
  void write(const Package& package) { writeExecutable(package.text()); }
};

std::vector<std::string> fileLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// If / Else If / Else with a nested block in the first branch: the exit code
// says which branch ran.
TEST(Interpreter, IfElseIfElseChainsWithNestedBlocks) {
  ScriptSetup setup("chains");
  // A and B come from the command line; a silent run keeps them from the
  // script's own defaults (which compilation needs to know the names).
  setup.write({{setVariable("A", ""), setVariable("B", ""), setVariable("CODE", "0"), ifCommand("A", "0", "1"), ifCommand("B", "4", "YES"),
                setVariable("CODE", "11"), command("Else"), setVariable("CODE", "12"), command("End"),
                command("Else If", {"A", "0", "2", "FALSE"}), setVariable("CODE", "20"),
                command("Else If", {"A", "2", "2", "FALSE"}), setVariable("CODE", "30"), command("Else"),
                setVariable("CODE", "40"), command("End"), exitWith("$CODE$")}});
  struct Case {
    const char* arguments;
    DWORD code;
  };
  for (const Case& c : {Case{"A=1 B=yes", 11}, Case{"A=1 B=no", 12}, Case{"A=2", 20}, Case{"A=7", 30},
                        Case{"A=0", 40}, Case{"A=x", 30}}) {
    RunResult result = setup.run(std::string("/s ") + c.arguments);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, c.code) << c.arguments;
  }
}

// Each true condition appends its digit to the exit code.
TEST(Interpreter, OperatorTableIncludingDefinedAndVersion) {
  ScriptSetup setup("operators");
  auto check = [](Command condition, const std::string& digit) {
    return std::vector<Command>{std::move(condition), setVariable("CODE", "$CODE$" + digit), command("End")};
  };
  std::vector<Command> script{setVariable("CODE", "1"), setVariable("VER", "1.10"), setVariable("N", "15"),
                              setVariable("EMPTY", ""), setVariable("NAME", "xAbY")};
  for (auto part : {check(ifCommand("VER", "6", "1.9"), "1"),            // 1.10 > 1.9
                    check(ifCommand("N", "1", "5"), "9"),                // integers: equality, false
                    check(ifCommand("EMPTY", "5", ""), "2"),             // defined, though empty
                    check(ifCommand("EMPTY", "5", "", "TRUE"), "9"),     // negated: false
                    check(ifCommand("NAME", "3", "ab"), "3"),            // contains, case ignored
                    check(ifCommand("NAME", "1", "ab"), "9"),            // contains, case-sensitive
                    check(ifCommand("VER", "6", "1.10.0.0"), "9"),       // equal versions
                    check(ifCommand("N", "2", "9"), "4")})                // 15 > 9 as numbers
    script.insert(script.end(), part.begin(), part.end());
  script.push_back(exitWith("$CODE$"));
  setup.write({script});
  RunResult result = setup.run("/s");
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 11234u);
}

// Runs msiexec with the given arguments and gives its exit code.
DWORD runInstaller(const std::string& arguments) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  RunOptions options;
  options.arguments = arguments;
  options.timeoutMs = 120000;
  return runProgram(std::string(system) + "\\msiexec.exe", options).exitCode;
}

// Bootstrap asks Windows Installer whether the product is installed: a run
// while the setup's product is registered is a maintenance run.
TEST(Interpreter, MaintenanceWhenTheProductIsInstalled) {
  const std::string msi = KOX_FIXTURE_PRODUCT_MSI;
  ScriptSetup setup("maintenance-msi");
  setup.write({{ifCommand("NEEDSUPGRADE", "0", "TRUE"), exitWith("22"), command("End"),
                ifCommand("MAINTENANCE", "0", "TRUE"), exitWith("21"), command("End"),
                ifCommand("MAINTENANCE", "0", "FALSE"), exitWith("20"), command("End"), exitWith("29")}});
  runInstaller("/x \"" + msi + "\" /qn");  // a leftover of an earlier run
  EXPECT_EQ(setup.run("/s").exitCode, 20u) << "not installed: a first installation";
  ASSERT_EQ(runInstaller("/i \"" + msi + "\" /qn"), 0u);
  EXPECT_EQ(setup.run("/s").exitCode, 21u) << "installed: a maintenance run";
  EXPECT_EQ(runInstaller("/x \"" + msi + "\" /qn"), 0u);
  EXPECT_EQ(setup.run("/s").exitCode, 20u) << "removed again";
}

// "Extract 7Zip Archive" dispatched by the engine itself: the setup's own
// archive unpacked a second time, into a folder beside the setup.
TEST(Interpreter, ExtractArchiveCommandRunsInTheEngine) {
  ScriptSetup setup("extract");
  setup.write({{setVariable("RESULT", ""),
                command("Extract 7Zip Archive", {"$EXEDIR$\\setup.res", "$EXEDIR$\\unpacked", "RESULT", "", "TRUE", "TRUE"}),
                ifCommand("RESULT", "0", "SUCCESS"), exitWith("7"), command("End"), exitWith("8")}});
  RunResult result = setup.run("/s");
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 7u);
  EXPECT_TRUE(fileExists(setup.folder() + "unpacked\\readme.txt"));
  EXPECT_TRUE(fileExists(setup.folder() + "unpacked\\sub\\nested.dat"));
}

// A counted loop with "GoTo Label", and a wizard answered Next by the silent
// dialog host.
TEST(Interpreter, GoToLoopAndWizardLoop) {
  ScriptSetup setup("loops");
  setup.write({{setVariable("COUNT", "1"), command("Label", {"again"}), ifCommand("COUNT", "0", "1111"),
                command("GoTo Label", {"DONE"}), command("End"), setVariable("COUNT", "$COUNT$1"),
                command("GoTo Label", {"Again"}), command("Label", {"done"}), command("Wizard Loop"),
                command("Display Dialog", {"Welcome", "PAGE1", "TRUE", "", "", ""}),
                command("Display Dialog", {"Finish", "PAGE2", "TRUE", "", "", ""}), command("End"),
                ifCommand("PAGE2", "0", "NEXT"), exitWith("$COUNT$"), command("End"), exitWith("1")}});
  RunResult result = setup.run("/s");
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 1111u);
}

TEST(Interpreter, TerminateWithExitCodeAfterTheNormalCleanUp) {
  ScriptSetup setup("exitcode");
  setup.write({{command("Comment", {"ends with 1603"}), exitWith("1603"), exitWith("5")}});
  RunResult result = setup.run("/s /l=" + setup.log());
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 1603u);
  EXPECT_TRUE(result.boxes.empty());
  EXPECT_EQ(readTrace(setup.log()),
            (std::vector<std::string>{
                "<Velmora>", "  <SetupSplash>", "    <StubSize>", "    </StubSize>", "    <StubData>",
                "    </StubData>", "    <GlobalLists>", "    </GlobalLists>", "    <SupportDir>", "    </SupportDir>",
                "    <ExtractArchive>", "    </ExtractArchive>", "    <ExtractResource>", "    </ExtractResource>",
                "    <ResourcePath>", "    </ResourcePath>", "    <Dialogs>", "    </Dialogs>", "  </SetupSplash>",
                "  <RunScript>", "    <Variables>", "    </Variables>", "    <CompileScript>", "    </CompileScript>",
                "    <BootStrap>", "    </BootStrap>", "    <keld>", "    </keld>", "    <ExitScript>",
                "    </ExitScript>", "  </RunScript>", "  <Free>", "  </Free>", "  <CachedSupportDir>",
                "  </CachedSupportDir>", "</Velmora>"}));
  EXPECT_EQ(listFolder(setup.temp()), std::vector<std::string>{});
}

TEST(Interpreter, CompileFailureEndsTheProcessWith314) {
  ScriptSetup setup("compile");
  setup.write({{ifCommand("A", "0", "1"), exitWith("5")}});  // no "End"
  RunResult result = setup.run("/s /l=" + setup.log());
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 314u);
  const std::vector<std::string> trace = readTrace(setup.log());
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.back(), "    <CompileScript>");
}

TEST(Interpreter, RuntimeErrorNamesSourceFileAndLine) {
  ScriptSetup setup("runtime");
  setup.write({{setVariable("X", "abc"), command("Comment"), exitWith("$X$"), exitWith("9")}});
  RunResult result = setup.run("/l=" + setup.log());
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
  ASSERT_EQ(result.boxes.size(), 1u);
  const std::string& text = result.boxes[0].text;
  EXPECT_EQ(text.rfind("Runtime error in setup script:", 0), 0u) << text;
  EXPECT_NE(text.find("Source File: C:\\Project\\setup.kox"), std::string::npos) << text;
  EXPECT_NE(text.find("Line Number: 12"), std::string::npos) << text;
  EXPECT_NE(text.find("abc"), std::string::npos) << text;
  EXPECT_EQ(result.boxes[0].title, "Interpreter Demo - Velmora Wizard");
  EXPECT_EQ(result.boxes[0].ownerClass, "");
  const std::vector<std::string> trace = readTrace(setup.log());
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "    </keld>"), 0);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "    <ExitScript>"), 0);
  EXPECT_EQ(trace.back(), "</Velmora>");
}

TEST(Interpreter, SilentRunKeepsTargetDirFromTheCommandLine) {
  ScriptSetup setup("protect");
  const std::string state = setup.folder() + "state.dat";
  setup.write({{setVariable("TARGETDIR", "C:\\Elsewhere\\"),
                command("Display Dialog", {"Destination", "TARGETDIR", "TRUE", "", "", ""}),
                setVariable("SEEN$KELD$KELD$TRUE", "$TARGETDIR$"), command("Save Feature Selections", {"$OUT$"})}});
  RunResult result = setup.run("/s TARGETDIR=D:\\App OUT=" + state);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
  const std::vector<std::string> lines = fileLines(state);
  auto at = std::find(lines.begin(), lines.end(), "SEEN");
  ASSERT_NE(at, lines.end());
  ASSERT_NE(at + 1, lines.end());
  EXPECT_EQ(*(at + 1), "D:\\App");
}

TEST(Interpreter, SingleInstanceMarkerKeepsASecondRunFromStarting) {
  ScriptSetup setup("single");
  setup.write({{exitWith("7")}, {"SINGLEINSTANCE", "TRUE"}});
  const std::string marker = setup.temp() + kRevision + ".kox";
  writeText(marker, "");
  EXPECT_EQ(setup.run("/s").exitCode, 0u);
  EXPECT_TRUE(fileExists(marker));
  DeleteFileA(marker.c_str());
  EXPECT_EQ(setup.run("/s").exitCode, 7u);
  EXPECT_FALSE(fileExists(marker));  // removed when the script finished
}

std::string runOnceValue(const char* name) {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    char data[1024] = {};
    DWORD size = sizeof(data);
    if (RegGetValueA(root, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", name, RRF_RT_REG_SZ, nullptr, data,
                     &size) == ERROR_SUCCESS)
      return data;
  }
  return {};
}

TEST(Interpreter, RebootAndResumeWritesTheResumeCommandAndAsksForARestart) {
  ScriptSetup setup("resume");
  setup.write({{command("Reboot and Resume"), exitWith("3")}});
  const std::string restartLog = setup.folder() + "restart.log";
  SetEnvironmentVariableA("KOX_TEST_RESTART_LOG", restartLog.c_str());
  RunResult result = setup.run("/s");
  SetEnvironmentVariableA("KOX_TEST_RESTART_LOG", nullptr);
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_EQ(runOnceValue("11111111"), setup.exe() + " /s");
  EXPECT_EQ(fileLines(restartLog), std::vector<std::string>{"restart"});

  // The next start removes the resume entry before the script runs.
  setup.write({{exitWith("4")}});
  EXPECT_EQ(setup.run("/s").exitCode, 4u);
  EXPECT_EQ(runOnceValue("11111111"), "");
}

// A first run keeps a persistent variable in the engine cache; the next run
// finds it there and restores it before the script starts.
TEST(Interpreter, SecondRunRestoresPersistentVariablesFromTheEngineCache) {
  ScriptSetup setup("maintenance");
  const std::string cache = freshFolder(kWork + "interp-maintenance-cache");
  freshFolder(cache + kRevision);
  setup.write({{setVariable("SERIAL$KELD$KELD$TRUE", "4321"),
                command("Save Feature Selections", {"$ENGINECACHE$setup.dat"}), exitWith("0")}});
  RunResult first = setup.run("/s OVERRIDECACHE=" + cache);
  ASSERT_FALSE(first.timedOut);
  EXPECT_EQ(first.exitCode, 0u);
  const std::string stateFile = cache + kRevision + "\\setup.dat";
  ASSERT_TRUE(fileExists(stateFile));

  setup.write({{exitWith("$SERIAL$")}});
  RunResult second = setup.run("/s OVERRIDECACHE=" + cache);
  ASSERT_FALSE(second.timedOut);
  EXPECT_EQ(second.exitCode, 4321u);
  removeTree(cache);
}

}  // namespace
}  // namespace kox::e2e
