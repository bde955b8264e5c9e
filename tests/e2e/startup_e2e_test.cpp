// The engine's start-up and shutdown, run for real under Wine: exit codes,
// messages, trace lines, the support folder and the start-up windows.
#include <gtest/gtest.h>

#include "tests/e2e/setup_runner.h"

namespace kox::e2e {
namespace {

const std::string kStub = KOX_STUB_PATH;
const std::string kLibrary = KOX_LIB_PATH;
const std::string kArchive = KOX_FIXTURE_ARCHIVE;  // readme.txt and sub\nested.dat, LZMA2
const std::string kBitmap = KOX_FIXTURE_BITMAP;    // 200 x 100 pixels
const std::string kWork = KOX_WORK_FOLDER;

// A package with the given script; every other section holds a plain value.
struct Package {
  std::vector<std::string> names, ids, parameters, flags;
  std::string title = "Demo Product";

  std::string text() const {
    std::string out;
    auto line = [&](const std::string& l) { out += l + "\r\n"; };
    auto list = [&](const std::vector<std::string>& lines) {
      for (const auto& l : lines) line(l);
      line("$");
    };
    std::vector<std::string> perCommandEmpty(names.size());
    std::vector<std::string> sourceMap;
    for (size_t i = 0; i < names.size(); ++i) sourceMap.push_back("C:\\Project\\setup.kox*" + std::to_string(i));
    list(names);
    list(ids);
    list(parameters);
    list(flags.empty() ? perCommandEmpty : flags);
    line("{11111111-2222-3333-4444-555555555555}");
    line(title);
    list({});
    for (const char* info : {"Demo Company", "", "", "", "", "1.0.0"}) line(info);
    list({});
    list(perCommandEmpty);
    line("0");
    list({"KELD-PREDEF-COMPONENT", "0"});
    line("{66666666-7777-8888-9999-000000000000}");
    list({});
    line("FALSE");
    line("English");
    list({});
    list({});
    line("1252");
    list(sourceMap);
    return out;
  }
};

// A setup folder with the start-up's own extras: archive, database, bitmap.
class StartupSetup : public SetupFolder {
 public:
  explicit StartupSetup(const std::string& name) : SetupFolder(kWork + name, kStub, kLibrary) {}
  void addArchive() { copyIn(kArchive, "setup.res"); }
  void addDatabase(const char* extension = ".msi") { writeFile(std::string("setup") + extension, "not read at start-up"); }
  void addBitmap() { copyIn(kBitmap, "setup.bmp"); }
  // A complete setup: package, archive and database.
  void complete(const Package& package = Package()) {
    writeExecutable(package.text());
    addArchive();
    addDatabase();
  }
};

const std::vector<std::string> kStartLines = {
    "<Velmora>",           "  <SetupSplash>",      "    <StubSize>",     "    </StubSize>",
    "    <StubData>",      "    </StubData>",      "    <GlobalLists>",  "    </GlobalLists>",
};

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Startup, FullSilentRunTracesEveryPhaseAndCleansUp) {
  StartupSetup setup("full");
  setup.complete();
  RunResult result = setup.run("/s /l=" + setup.log());
  ASSERT_FALSE(result.timedOut);
  EXPECT_EQ(result.exitCode, 0u);
  EXPECT_TRUE(result.boxes.empty());
  EXPECT_EQ(readTrace(setup.log()),
            joined(kStartLines, {"    <SupportDir>", "    </SupportDir>", "    <ExtractArchive>", "    </ExtractArchive>",
                                 "    <ExtractResource>", "    </ExtractResource>", "    <ResourcePath>",
                                 "    </ResourcePath>", "    <Dialogs>", "    </Dialogs>", "  </SetupSplash>",
                                 "  <RunScript>", "    <Variables>", "    </Variables>", "    <CompileScript>",
                                 "    </CompileScript>", "    <BootStrap>", "    </BootStrap>", "    <keld>",
                                 "    </keld>", "    <ExitScript>", "    </ExitScript>", "  </RunScript>", "  <Free>", "  </Free>", "  <CachedSupportDir>",
                                 "  </CachedSupportDir>", "</Velmora>"}));
  // Support folder and package copy are gone; nothing else was left in the temporary folder.
  EXPECT_EQ(listFolder(setup.temp()), std::vector<std::string>{});
}

TEST(Startup, MarksItselfAsAHostApplicationFromWindows7On) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExA(&info));
#pragma GCC diagnostic pop
  if (info.dwMajorVersion < 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion < 1))
    GTEST_SKIP() << "this Windows is older than Windows 7";
  StartupSetup setup("hostapp");
  setup.complete();
  RegDeleteKeyA(HKEY_CLASSES_ROOT, "Applications\\setup.exe");
  EXPECT_EQ(setup.run("/s").exitCode, 0u);
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Applications\\setup.exe", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "IsHostApp", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  RegCloseKey(key);
}

struct EarlyEnding {
  const char* name;
  std::function<void(StartupSetup&)> prepare;
  DWORD exitCode;
  const char* message;     // non-silent message text
  const char* title;
  const char* ownerClass;  // owner of the message box
  std::vector<std::string> trace;
};

std::vector<EarlyEnding> earlyEndings() {
  const std::vector<std::string> afterSupport = joined(kStartLines, {"    <SupportDir>", "    </SupportDir>"});
  const std::vector<std::string> cleanUp = {"  <CachedSupportDir>", "  </CachedSupportDir>", "</Velmora>"};
  return {
      {"no-package", [](StartupSetup& s) { s.writeExecutable(""); s.addArchive(); s.addDatabase(); }, 13,
       "For internal use only", "Velmora Wizard", "TSetupInit",
       {"<Velmora>", "  <SetupSplash>", "    <StubSize>"}},
      {"no-archive", [](StartupSetup& s) { s.writeExecutable(Package().text()); s.addDatabase(); }, 14,
       "Setup resource not found", "Demo Product - Velmora Wizard", "TSetupInit",
       joined(afterSupport, {"    <ExtractArchive>"})},
      {"bad-archive", [](StartupSetup& s) { s.writeExecutable(Package().text()); writeText(s.folder() + "setup.res", "not an archive"); s.addDatabase(); },
       15, "Setup resource decompression failure", "Demo Product - Velmora Wizard", "TSetupInit",
       joined(afterSupport, {"    <ExtractArchive>"})},
      {"no-database", [](StartupSetup& s) { s.writeExecutable(Package().text()); s.addArchive(); }, 16,
       "Setup database not found", "Demo Product - Velmora Wizard", "TSetupInit",
       joined(afterSupport, {"    <ExtractArchive>", "    </ExtractArchive>", "    <ExtractResource>"})},
      {"truncated-package", [](StartupSetup& s) { s.writeExecutable("Set Variable\r\nIf\r\n"); s.addArchive(); s.addDatabase(); },
       11, nullptr, "Velmora Wizard", "",
       joined({"<Velmora>", "  <SetupSplash>", "    <StubSize>", "    </StubSize>", "    <StubData>", "    </StubData>", "    <GlobalLists>"}, cleanUp)},
      {"binary-package", [](StartupSetup& s) { s.writeExecutable(std::string("$\r\n$\r\n\0\x01\x02", 7)); s.addArchive(); s.addDatabase(); },
       11, nullptr, "Velmora Wizard", "",
       joined({"<Velmora>", "  <SetupSplash>", "    <StubSize>", "    </StubSize>", "    <StubData>", "    </StubData>", "    <GlobalLists>"}, cleanUp)},
  };
}

TEST(Startup, EarlyEndingsSilent) {
  for (const auto& ending : earlyEndings()) {
    SCOPED_TRACE(ending.name);
    StartupSetup setup(std::string("silent-") + ending.name);
    ending.prepare(setup);
    RunResult result = setup.run("/S /l=" + setup.log());
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, ending.exitCode);
    EXPECT_TRUE(result.boxes.empty()) << "a silent run showed a message";
    EXPECT_EQ(readTrace(setup.log()), ending.trace);
  }
}

TEST(Startup, EarlyEndingsShowTheirMessage) {
  for (const auto& ending : earlyEndings()) {
    SCOPED_TRACE(ending.name);
    StartupSetup setup(std::string("loud-") + ending.name);
    ending.prepare(setup);
    RunResult result = setup.run("");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, ending.exitCode);
    ASSERT_EQ(result.boxes.size(), 1u);
    if (ending.message)
      EXPECT_EQ(result.boxes[0].text, ending.message);
    else
      EXPECT_EQ(result.boxes[0].text.rfind("Runtime error in install: ", 0), 0u) << result.boxes[0].text;
    EXPECT_EQ(result.boxes[0].title, ending.title);
    EXPECT_EQ(result.boxes[0].ownerClass, ending.ownerClass);
  }
}

TEST(Startup, MalformedPackageMessageSaysWhatIsWrong) {
  StartupSetup setup("malformed-message");
  setup.writeExecutable("Set Variable\r\n");
  RunResult result = setup.run("");
  ASSERT_EQ(result.boxes.size(), 1u);
  EXPECT_NE(result.boxes[0].text.find("command names"), std::string::npos) << result.boxes[0].text;
  EXPECT_EQ(result.exitCode, 11u);
}

TEST(Startup, EarlyEndingLeavesTheSupportFolderWithTheExtractedArchive) {
  StartupSetup setup("numbering");
  setup.writeExecutable(Package().text());
  setup.addArchive();  // no database: the run ends with 16 after extracting
  CreateDirectoryA((setup.temp() + "kox1").c_str(), nullptr);
  CreateDirectoryA((setup.temp() + "kox2").c_str(), nullptr);
  RunResult result = setup.run("/s");
  EXPECT_EQ(result.exitCode, 16u);
  const std::string support = setup.temp() + "kox3\\";
  ASSERT_TRUE(folderExists(support));
  EXPECT_EQ(readBytes(support + "readme.txt"), readBytes(std::string(KOX_FIXTURE_FOLDER) + "readme.txt"));
  EXPECT_TRUE(fileExists(support + "sub\\nested.dat"));
  EXPECT_FALSE(fileExists(setup.temp() + "kox.tmp"));
}

TEST(Startup, DatabaseAndPatchAreCopiedIntoTheSupportFolder) {
  // A patch alone is enough; the dialog count step then finds the copy in place.
  StartupSetup setup("patch-only");
  setup.writeExecutable(Package().text());
  setup.addArchive();
  setup.addDatabase(".msp");
  RunResult result = setup.run("/s");
  EXPECT_EQ(result.exitCode, 0u);
}

TEST(Startup, LogPathIsLowerCasedAndEachRunReplacesTheLog) {
  StartupSetup setup("log");
  setup.complete();
  const std::string mixed = setup.folder() + "Trace.LOG";
  RunResult first = setup.run("/s /L=" + mixed);
  EXPECT_EQ(first.exitCode, 0u);
  EXPECT_TRUE(fileExists(setup.folder() + "trace.log"));
  const size_t lines = readTrace(setup.folder() + "trace.log").size();
  setup.run("/s -l=" + setup.folder() + "trace.log");
  EXPECT_EQ(readTrace(setup.folder() + "trace.log").size(), lines);
}

TEST(Startup, NoLogSwitchWritesNoLog) {
  StartupSetup setup("nolog");
  setup.complete();
  EXPECT_EQ(setup.run("/s").exitCode, 0u);
  EXPECT_EQ(listFolder(setup.folder()), (std::vector<std::string>{"kox.lib", "setup.exe", "setup.msi", "setup.res"}));
}

TEST(Startup, LanguageTextBehindTheArchiveLibrary) {
  StartupSetup setup("language");
  setup.writeExecutable(Package().text());  // no archive: message 2
  setup.addDatabase();
  std::string block;
  for (int n = 1; n <= 115; ++n) block += (n == 2 ? std::string("Ressource introuvable") : "line " + std::to_string(n)) + "\r\n";
  std::vector<uint8_t> library = readBytes(setup.folder() + "kox.lib");
  library.insert(library.end(), block.begin(), block.end());
  writeBytes(setup.folder() + "kox.lib", library);
  RunResult result = setup.run("");
  EXPECT_EQ(result.exitCode, 14u);
  ASSERT_EQ(result.boxes.size(), 1u);
  EXPECT_EQ(result.boxes[0].text, "Ressource introuvable");
  EXPECT_FALSE(fileExists(setup.temp() + "lang.loc"));
}

RECT bounds(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

TEST(Startup, ProgressWindowCentredWithoutSplash) {
  StartupSetup setup("windows-centred");
  setup.writeExecutable(Package().text());
  setup.addDatabase();  // no archive: the message box holds the start-up windows open
  bool checked = false;
  setup.run("", [&](HWND, DWORD pid) {
    std::vector<HWND> init = processWindows(pid, "TSetupInit");
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(windowText(init[0]), "Velmora Wizard");
    RECT client{};
    GetClientRect(init[0], &client);
    EXPECT_EQ(client.right, 369);
    EXPECT_EQ(client.bottom, 89);
    RECT r = bounds(init[0]);
    EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
    for (HWND splash : processWindows(pid, "TSetupSplash")) EXPECT_FALSE(IsWindowVisible(splash));
    checked = true;
  });
  EXPECT_TRUE(checked);
}

TEST(Startup, ProgressWindowBesideTheSplash) {
  StartupSetup setup("windows-splash");
  setup.writeExecutable(Package().text());
  setup.addDatabase();
  setup.addBitmap();
  bool checked = false;
  setup.run("", [&](HWND, DWORD pid) {
    std::vector<HWND> splash = processWindows(pid, "TSetupSplash");
    std::vector<HWND> init = processWindows(pid, "TSetupInit");
    ASSERT_EQ(splash.size(), 1u);
    ASSERT_EQ(init.size(), 1u);
    RECT s = bounds(splash[0]);
    EXPECT_EQ(s.right - s.left, 200);
    EXPECT_EQ(s.bottom - s.top, 100);
    EXPECT_EQ(s.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
    RECT p = bounds(init[0]);
    EXPECT_EQ(p.left, s.left + 100 + 50);
    EXPECT_EQ(p.top, s.bottom + 25);
    checked = true;
  });
  EXPECT_TRUE(checked);
}

TEST(Startup, SilentAndUpdateRunsShowNoStartupWindows) {
  for (const char* argument : {"/update", "-UPDATESETUP"}) {
    StartupSetup setup(std::string("nowindows") + (argument[1] == 'u' ? "1" : "2"));
    setup.writeExecutable(Package().text());
    setup.addDatabase();
    setup.addBitmap();
    int windows = -1;
    RunResult result = setup.run(argument, [&](HWND, DWORD pid) {
      windows = static_cast<int>(processWindows(pid, "TSetupInit").size() + processWindows(pid, "TSetupSplash").size());
    });
    EXPECT_EQ(result.exitCode, 14u);
    ASSERT_EQ(result.boxes.size(), 1u) << "an update run still shows messages";
    EXPECT_EQ(result.boxes[0].ownerClass, "");
    EXPECT_EQ(windows, 0);
  }
}

}  // namespace
}  // namespace kox::e2e
