#include "engine/script/files/file_commands.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/script/files/file_search.h"
#include "engine/script/files/testing/fake_command_context.h"
#include "engine/script/files/text_file_reader.h"
#include "engine/script/files/win32_directory_source.h"

namespace kox {
namespace {

namespace fs = std::filesystem;
using testing::FakeCommandContext;
using Lines = std::vector<std::string>;

void run(FakeCommandContext& context) {
  for (const CommandEntry& entry : fileCommands()) {
    if (context.commandName() == entry.name) return entry.handler(context);
  }
  FAIL() << "no command " << context.commandName();
}

// Runs a command on a fresh context whose variables start as given.
std::unique_ptr<FakeCommandContext> runCommand(const std::string& name, std::vector<std::string> parameters,
                                               std::vector<std::pair<std::string, std::string>> variables = {}) {
  auto context = std::make_unique<FakeCommandContext>(name, std::move(parameters));
  context->variables().Put("NEWLINE", "\r\n");
  for (const auto& [variable, value] : variables) context->variables().Put(variable, value);
  run(*context);
  return context;
}

std::string ownExecutable() {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

// The entries of a result list, quotes taken off.
Lines parseList(const std::string& list) {
  Lines entries;
  if (list.empty()) return entries;
  std::string entry;
  bool quoted = false;
  for (size_t i = 0; i < list.size(); ++i) {
    char c = list[i];
    if (quoted) {
      if (c == '"' && i + 1 < list.size() && list[i + 1] == '"') {
        entry += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        entry += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == '|') {
      entries.push_back(std::move(entry));
      entry.clear();
    } else {
      entry += c;
    }
  }
  entries.push_back(std::move(entry));
  return entries;
}

class FileCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kox_file_commands_" + std::to_string(GetCurrentProcessId()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    closeScriptReadFile();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string path(const std::string& name) const { return folder_ + "\\" + name; }
  std::string write(const std::string& name, std::string_view content) {
    fs::create_directories(fs::path(path(name)).parent_path());
    std::ofstream(path(name), std::ios::binary) << content;
    return path(name);
  }
  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::string folder_;
};

TEST_F(FileCommands, DoesFileOrFolderExist) {
  std::string file = write("file.txt", "x");
  struct Case {
    std::string path;
    const char* testFile;
    const char* expected;
  };
  const Case cases[] = {
      {file, "TRUE", "TRUE"},           {file, "FALSE", "FALSE"},        {folder_, "TRUE", "FALSE"},
      {folder_, "FALSE", "TRUE"},       {path("missing"), "TRUE", "FALSE"}, {path("missing"), "FALSE", "FALSE"},
  };
  for (const Case& c : cases) {
    auto context = runCommand("Does File/Folder Exist", {"exists", c.path, c.testFile});
    EXPECT_EQ(context->readVariable("EXISTS"), c.expected) << c.path << " " << c.testFile;
    EXPECT_EQ(context->storedName("exists"), "EXISTS");
  }
}

TEST_F(FileCommands, GetFileVersion) {
  std::string text = write("plain.txt", "no version here");
  EXPECT_EQ(runCommand("Get File Version", {ownExecutable(), "$Ver$"})->readVariable("VER"), "1.0.0.1");
  EXPECT_EQ(runCommand("Get File Version", {text, "Ver"})->readVariable("Ver"), "0.0.0.0");
  EXPECT_EQ(runCommand("Get File Version", {path("missing.dll"), "Ver"})->readVariable("Ver"), "0.0.0.0");
}

TEST_F(FileCommands, CheckFileVersionAgainstTextAndFile) {
  const std::string exe = ownExecutable();  // 1.0.0.1
  const std::string text = write("plain.txt", "x");  // 0.0.0.0
  struct Case {
    std::string file;
    const char* compareWithFile;
    std::string other;
    const char* version;
    const char* expected;
  };
  const Case cases[] = {
      {exe, "FALSE", "", "1.0", "TRUE"},
      {exe, "FALSE", "", "1.0.0.1", "FALSE"},  // equal is not newer
      {exe, "FALSE", "", "1.0.0.2", "FALSE"},
      {exe, "FALSE", "", "0.9.9.9", "TRUE"},
      {exe, "FALSE", "", "1.65535", "FALSE"},
      {text, "FALSE", "", "0.0.0.0", "FALSE"},
      {exe, "TRUE", text, "9.9", "TRUE"},  // P5 is not used when comparing with a file
      {text, "TRUE", exe, "", "FALSE"},
      {exe, "TRUE", exe, "", "FALSE"},
  };
  for (const Case& c : cases) {
    auto context = runCommand("Check File Version", {"newer", c.file, c.compareWithFile, c.other, c.version});
    EXPECT_EQ(context->readVariable("NEWER"), c.expected) << c.file << " " << c.other << " " << c.version;
  }
}

TEST_F(FileCommands, ReadTextFileLineByLineThenAgainFromTheTop) {
  std::string file = write("three.txt", "one\r\ntwo\r\nthree\r\n");
  FakeCommandContext context("Read from Text File", {file, "Line", "End"});
  const std::pair<const char*, const char*> expected[] = {
      {"one", "FALSE"}, {"two", "FALSE"}, {"three", "TRUE"}, {"one", "FALSE"}};
  for (const auto& [line, end] : expected) {
    run(context);
    EXPECT_EQ(context.readVariable("Line"), line);
    EXPECT_EQ(context.readVariable("End"), end);
  }
  // The same path in other letters continues the open file.
  auto upper = runCommand("Read from Text File", {toUpperAscii(file), "Line", "End"});
  EXPECT_EQ(upper->readVariable("Line"), "two");
}

TEST_F(FileCommands, ReadAllJoinsTheRest) {
  std::string file = write("all.txt", "a\r\nb\nc");
  auto all = runCommand("Read from Text File", {"#READALL\\" + file, "Text", "End"});
  EXPECT_EQ(all->readVariable("Text"), "a$NEWLINE$b$NEWLINE$c");
  EXPECT_EQ(all->readVariable("End"), "TRUE");

  runCommand("Read from Text File", {file, "Text", ""});
  auto rest = runCommand("Read from Text File", {"#READALL\\" + file, "Text", "End"});
  EXPECT_EQ(rest->readVariable("Text"), "b$NEWLINE$c");
}

TEST_F(FileCommands, ReadMissingOrEmptyFile) {
  auto missing = runCommand("Read from Text File", {path("missing.txt"), "Line", "End"}, {{"Line", "kept"}});
  EXPECT_EQ(missing->readVariable("Line"), "kept");
  EXPECT_EQ(missing->readVariable("End"), "TRUE");

  auto empty = runCommand("Read from Text File", {write("empty.txt", ""), "Line", "End"}, {{"Line", "kept"}});
  EXPECT_EQ(empty->readVariable("Line"), "kept");
  EXPECT_EQ(empty->readVariable("End"), "TRUE");

  // Without an end variable nothing but the line variable is written.
  auto noEnd = runCommand("Read from Text File", {write("one.txt", "only\r\n"), "Line", ""});
  EXPECT_EQ(noEnd->readVariable("Line"), "only");
  EXPECT_EQ(noEnd->variables().Count(), 2u);  // NEWLINE and LINE
}

TEST_F(FileCommands, ReadingAnotherPathClosesTheOpenFile) {
  std::string a = write("a.txt", "a1\r\na2\r\n");
  std::string b = write("b.txt", "b1\r\nb2\r\n");
  EXPECT_EQ(runCommand("Read from Text File", {a, "L", ""})->readVariable("L"), "a1");
  EXPECT_EQ(runCommand("Read from Text File", {b, "L", ""})->readVariable("L"), "b1");
  EXPECT_EQ(runCommand("Read from Text File", {a, "L", ""})->readVariable("L"), "a1");
}

TEST_F(FileCommands, WriteClosesTheOpenReadFileAndAppends) {
  std::string file = write("log.txt", "first\nsecond");
  EXPECT_EQ(runCommand("Read from Text File", {file, "L", "E"})->readVariable("L"), "first");
  runCommand("Write to Text File", {file, "third", "FALSE"});
  EXPECT_EQ(contents(file), "first\r\nsecond\r\nthird\r\n");
  auto again = runCommand("Read from Text File", {toUpperAscii(file), "L", "E"});
  EXPECT_EQ(again->readVariable("L"), "first");
}

TEST_F(FileCommands, WriteInsertAtTopLineBreaksAndNewFile) {
  std::string created = path("new.txt");
  runCommand("Write to Text File", {created, "only line", "TRUE"});
  EXPECT_EQ(contents(created), "only line\r\n");

  std::string file = write("top.txt", "old\r\n");
  runCommand("Write to Text File", {file, "x$NEWLINE$y", "TRUE"});
  EXPECT_EQ(contents(file), "x\r\ny\r\nold\r\n");
  runCommand("Write to Text File", {file, "", "FALSE"});
  EXPECT_EQ(contents(file), "x\r\ny\r\nold\r\n\r\n");
}

TEST_F(FileCommands, WriteReadOnlyFileAndUnwritablePath) {
  std::string file = write("readonly.txt", "a\r\n");
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  runCommand("Write to Text File", {file, "b", "FALSE"});
  EXPECT_EQ(contents(file), "a\r\nb\r\n");
  EXPECT_EQ(GetFileAttributesA(file.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);

  auto failed = runCommand("Write to Text File", {path("no\\such\\folder\\x.txt"), "b", "FALSE"},
                           {{"ABORTONERROR", "FALSE"}});
  EXPECT_EQ(failed->failures, 1);
  EXPECT_EQ(failed->readVariable("ABORTEDONERROR"), "TRUE");
  EXPECT_THROW(runCommand("Write to Text File", {path("no\\such\\folder\\x.txt"), "b", "FALSE"}), EngineError);
}

TEST_F(FileCommands, GetIniFileSettings) {
  std::string ini = write("settings.ini", "[Main]\r\nName=Velmora Viewer\r\nEmpty=\r\n[Other]\r\nName=other\r\n");
  struct Case {
    const char *section, *key, *expected;
  };
  const Case cases[] = {
      {"Main", "Name", "Velmora Viewer"}, {"main", "NAME", "Velmora Viewer"}, {"Other", "Name", "other"},
      {"Main", "Missing", ""},            {"Main", "Empty", ""},              {"Main", "", ""},
      {"", "Name", ""},
  };
  for (const Case& c : cases) {
    auto context = runCommand("Get INI File Settings", {"value", ini, c.section, c.key}, {});
    EXPECT_EQ(context->readVariable("VALUE"), c.expected) << c.section << " " << c.key;
    EXPECT_TRUE(context->variables().Exists("VALUE"));
  }
  EXPECT_EQ(runCommand("Get INI File Settings", {"v", path("missing.ini"), "Main", "Name"})->readVariable("v"), "");
}

TEST_F(FileCommands, DeleteFilesRecursive) {
  write("tree\\keep.log", "k");
  write("tree\\a.tmp", "a");
  write("tree\\sub\\b.tmp", "b");
  write("tree\\sub\\deep\\c.tmp", "c");
  write("tree\\logs\\d.log", "d");
  SetFileAttributesA(path("tree\\sub\\b.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
  runCommand("Delete Files Recursive", {path("tree\\*.tmp")});
  EXPECT_TRUE(fs::exists(path("tree\\keep.log")));
  EXPECT_TRUE(fs::exists(path("tree\\logs\\d.log")));
  EXPECT_FALSE(fs::exists(path("tree\\a.tmp")));
  EXPECT_FALSE(fs::exists(path("tree\\sub")));  // emptied folders go as well

  runCommand("Delete Files Recursive", {path("tree\\*.*")});
  EXPECT_TRUE(fs::exists(path("tree")));
  EXPECT_TRUE(fs::is_empty(path("tree")));
}

TEST_F(FileCommands, DeleteFilesRecursiveRefusesAWholeDrive) {
  // A drive letter that is not mapped: harmless even if the refusal failed->
  DWORD drives = GetLogicalDrives();
  char letter = 'Z';
  while (letter > 'D' && (drives & (1u << (letter - 'A')))) --letter;
  for (std::string pattern : {std::string(1, letter) + ":\\*.*", std::string(1, letter) + ":*.*"}) {
    auto context = runCommand("Delete Files Recursive", {pattern}, {{"ABORTONERROR", "FALSE"}});
    EXPECT_EQ(context->failures, 1) << pattern;
  }
  auto unset = runCommand("Delete Files Recursive", {"$UNSET$\\*.*"}, {{"ABORTONERROR", "FALSE"}, {"UNSET", ""}});
  EXPECT_EQ(unset->failures, 1);
}

TEST_F(FileCommands, FindAllFilesQuotesEntriesWithSpaces) {
  write("find\\with space\\a b.txt", "x");
  write("find\\with space\\plain.txt", "x");
  write("find\\top.txt", "x");
  write("find\\skip.log", "x");
  auto context = runCommand("Find All Files", {path("find\\*.txt"), "TRUE", "FALSE", "$Found$"});
  const std::string list = context->readVariable("FOUND");
  EXPECT_NE(list.find("\"" + path("find\\with space\\a b.txt") + "\""), std::string::npos) << list;
  Lines entries = parseList(list);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (Lines{path("find\\top.txt"), path("find\\with space\\a b.txt"),
                            path("find\\with space\\plain.txt")}));

  win::Win32DirectorySource source;
  auto withFolders = runCommand("Find All Files", {path("find\\*.txt"), "TRUE", "TRUE", "Found"});
  EXPECT_EQ(parseList(withFolders->readVariable("Found")), findFiles({path("find\\*.txt"), true, true}, source));

  auto none = runCommand("Find All Files", {path("find\\*.none"), "TRUE", "FALSE", "Found"}, {{"Found", "old"}});
  EXPECT_EQ(none->readVariable("Found"), "");
}

TEST_F(FileCommands, FindAllFilesOverTwentyThousandFilesReportsProgress) {
  constexpr int kFolders = 20, kFilesPerFolder = 1000;
  for (int f = 0; f < kFolders; ++f) {
    std::string folder = path("big\\folder" + std::to_string(f));
    CreateDirectoryA(path("big").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    for (int i = 0; i < kFilesPerFolder; ++i) {
      std::string file = folder + "\\file" + std::to_string(i) + ".dat";
      HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      CloseHandle(h);
    }
  }
  auto context = runCommand("Find All Files", {path("big\\*.*"), "TRUE", "FALSE", "Found"});
  Lines entries = parseList(context->readVariable("Found"));
  EXPECT_EQ(entries.size(), static_cast<size_t>(kFolders * kFilesPerFolder));
  EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()).size(), entries.size());

  size_t folderSteps = 0, fileTexts = 0;
  for (const auto& report : context->reports()) {
    if (report.text == "$IGNORE$") {
      ++folderSteps;
    } else {
      ++fileTexts;
      EXPECT_EQ(report.position, -1);
    }
  }
  EXPECT_EQ(folderSteps, static_cast<size_t>(kFolders + 1));
  EXPECT_EQ(fileTexts, entries.size());
}

TEST_F(FileCommands, FindAllFilesCancelled) {
  write("find\\a.txt", "x");
  auto passedOver = runCommand("Find All Files", {path("find\\*.*"), "TRUE", "FALSE", "Found"},
                               {{"KELD_IsCancelled", "TRUE"}, {"ABORTONERROR", "FALSE"}});
  EXPECT_FALSE(passedOver->variables().Exists("Found"));
  EXPECT_EQ(passedOver->readVariable("ABORTEDONERROR"), "TRUE");
  EXPECT_EQ(passedOver->lastContext("ABORTEDONERROR"), "Cancel at Find-Files Time");

  EXPECT_THROW(runCommand("Find All Files", {path("find\\*.*"), "TRUE", "FALSE", "Found"},
                          {{"KELD_IsCancelled", "TRUE"}, {"ABORTONERROR", "TRUE"}}),
               EngineError);
}

}  // namespace
}  // namespace kox
