// "Extract 7Zip Archive" through a CommandContext test double, over the real
// kox.lib and archives 7-Zip made at build time.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "engine/base/error.h"
#include "engine/media/media_commands.h"
#include "engine/media/test_command_context.h"

namespace kox {
namespace {

namespace fs = std::filesystem;
using media::testing::TestCommandContext;

const fs::path kFixtures = KOX_FIXTURES;

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class Extract7ZipCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() /
           ("kox-extract-command-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    fs::remove_all(root);
    // Paths and password come through variable references, as scripts write them.
    context.variables().Put("FIXTURES", kFixtures.string());
    context.variables().Put("TARGET", (root / "out").string());
    context.variables().Put("PASS", "Secret");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  void parameters(const std::string& archive, const std::string& password, const char* keepFolders,
                  const char* replace, const std::string& result = "OUTCOME") {
    context.parameters = {"$FIXTURES$\\" + archive + ".7z", "$TARGET$", result, password, keepFolders, replace};
  }
  fs::path root;
  TestCommandContext context;
};

TEST_F(Extract7ZipCommand, IsTheMediaFamilysCommand) {
  auto commands = mediaCommands();
  ASSERT_EQ(commands.size(), 1u);
  EXPECT_STREQ(commands[0].name, "Extract 7Zip Archive");
  EXPECT_EQ(commands[0].handler, &extract7ZipArchive);
}

TEST_F(Extract7ZipCommand, StoresSuccessOrTheErrorText) {
  struct Case {
    const char* archive;
    const char* password;
    const char* outcome;
  } cases[] = {
      {"lzma2", "", "SUCCESS"},
      {"aes", "$PASS$", "SUCCESS"},
      {"aes", "wrong", "#1003"},
      {"aes_header", "wrong", "The archive cannot be opened: unsupported archive or incorrect password"},
      {"none", "", "The archive file was not found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " / " + c.password);
    fs::remove_all(root);
    parameters(c.archive, c.password, "TRUE", "TRUE");
    extract7ZipArchive(context);
    EXPECT_EQ(context.readVariable("OUTCOME"), c.outcome);
    if (std::string(c.outcome) == "SUCCESS") {
      EXPECT_EQ(readText(root / "out" / "sub" / "deeper" / "notes.txt"),
                readText(kFixtures / "tree" / "sub" / "deeper" / "notes.txt"));
    }
    EXPECT_EQ(context.readVariable("ABORTEDONERROR"), "");  // an ordinary failure goes on
  }
  // The result is written with the command's context, under the upper-cased name.
  parameters("copy", "", "TRUE", "TRUE", "fresh");
  extract7ZipArchive(context);
  auto writes = context.writes();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back().name, "FRESH");
  EXPECT_EQ(writes.back().value, "SUCCESS");
  EXPECT_EQ(writes.back().context, "Extract 7Zip Archive Action");
}

TEST_F(Extract7ZipCommand, FolderAndReplaceParameters) {
  fs::create_directories(root / "out");
  std::ofstream(root / "out" / "readme.txt") << "old";
  parameters("copy", "", "FALSE", "FALSE");
  extract7ZipArchive(context);
  EXPECT_EQ(context.readVariable("OUTCOME"), "SUCCESS");
  EXPECT_EQ(readText(root / "out" / "readme.txt"), "old");
  EXPECT_TRUE(fs::exists(root / "out" / "notes.txt"));
  EXPECT_FALSE(fs::exists(root / "out" / "sub"));

  parameters("copy", "", "-1", "true");
  extract7ZipArchive(context);
  EXPECT_EQ(context.readVariable("OUTCOME"), "SUCCESS");
  EXPECT_EQ(readText(root / "out" / "readme.txt"), readText(kFixtures / "tree" / "readme.txt"));
  EXPECT_TRUE(fs::exists(root / "out" / "sub" / "deeper" / "notes.txt"));
}

TEST_F(Extract7ZipCommand, ReportsProgressPerFileUpToOneHundred) {
  parameters("lzma", "", "TRUE", "TRUE", "");
  extract7ZipArchive(context);
  auto progress = context.progress();
  ASSERT_FALSE(progress.empty());
  for (const auto& report : progress) {
    EXPECT_GE(report.position, 1);
    EXPECT_LE(report.position, 100);
    EXPECT_EQ(report.minimum, 0);
    EXPECT_EQ(report.maximum, 100);
    EXPECT_NE(report.text.find(", " + std::to_string(report.position) + "% complete"), std::string::npos);
  }
  EXPECT_EQ(progress.back().position, 100);
  EXPECT_GT(context.waitSteps.load(), 0);  // the wait went through the context's step
  // No result variable: nothing written.
  EXPECT_TRUE(context.writes().empty());
}

// Cancels at the first progress report, as the dialog's cancel button would
// (the flag, then a message for the main thread), and holds the worker until
// the wait has told it to stop, so the cancel always lands in the middle of
// the work.
class CancelAtFirstFile {
 public:
  explicit CancelAtFirstFile(TestCommandContext& context) : mainThread_(GetCurrentThreadId()) {
    context.onProgress = [this, &context](const media::testing::ProgressRecord&) {
      std::unique_lock<std::mutex> lock(mutex_);
      if (cancelled_) return;
      cancelled_ = true;
      lock.unlock();
      context.variables().Put("KELD_IsCancelled", "TRUE");
      PostThreadMessageA(mainThread_, WM_NULL, 0, 0);
      lock.lock();
      stopped_.wait_for(lock, std::chrono::seconds(20), [this] { return told_; });
    };
    context.onWrite = [this](const media::testing::VariableWrite& write) {
      if (write.name != "KELD_LastActiveTick") return;
      std::lock_guard<std::mutex> lock(mutex_);
      told_ = true;
      stopped_.notify_all();
    };
  }

 private:
  DWORD mainThread_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool cancelled_ = false;
  bool told_ = false;
};

TEST_F(Extract7ZipCommand, CancelWithAbortOnErrorEndsTheScript) {
  CancelAtFirstFile cancel(context);
  context.variables().Put("KELD_LastDelegateTick", "4242");
  parameters("copy", "", "TRUE", "TRUE");
  try {
    extract7ZipArchive(context);
    FAIL() << "no error raised";
  } catch (const EngineError& error) {
    EXPECT_STREQ(error.what(), "Setup cancelled");
  }
  EXPECT_EQ(context.readVariable("KELD_LastActiveTick"), "4242");
  EXPECT_EQ(context.readVariable("OUTCOME"), "#1007");
}

TEST_F(Extract7ZipCommand, CancelWithoutAbortOnErrorGoesOn) {
  CancelAtFirstFile cancel(context);
  context.variables().Put("ABORTONERROR", "FALSE");
  context.variables().Put("OUTCOME", "SUCCESS");  // from an earlier run
  parameters("copy", "", "TRUE", "TRUE");
  extract7ZipArchive(context);
  EXPECT_EQ(context.readVariable("ABORTEDONERROR"), "TRUE");
  EXPECT_EQ(context.readVariable("OUTCOME"), "#1007");
  bool abortContext = false;
  for (const auto& write : context.writes())
    if (write.name == "ABORTEDONERROR") abortContext = write.context == "Cancel at Extract-7Zip Time";
  EXPECT_TRUE(abortContext);
  EXPECT_FALSE(fs::exists(root / "out" / "bin" / "tool.exe") && fs::exists(root / "out" / "readme.txt") &&
               fs::exists(root / "out" / "sub" / "deeper" / "notes.txt"));
}

}  // namespace
}  // namespace kox
