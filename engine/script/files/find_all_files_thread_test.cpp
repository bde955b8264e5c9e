#include "engine/script/files/find_all_files_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "engine/base/error.h"
#include "engine/script/files/long_operation_wait.h"
#include "engine/script/files/testing/fake_command_context.h"
#include "engine/script/files/testing/memory_file_system.h"

namespace kox {
namespace {

using testing::FakeCommandContext;
using testing::MemoryFileSystem;

MemoryFileSystem wideTree(int folders) {
  MemoryFileSystem fs;
  fs.addFolder("R");
  for (int i = 0; i < folders; ++i) {
    std::string folder = "R\\F" + std::to_string(i);
    fs.addFolder(folder);
    fs.addFile(folder + "\\file.txt");
  }
  return fs;
}

// A source whose listings wait until the test opens the gate.
class GatedSource : public DirectorySource {
 public:
  explicit GatedSource(const DirectorySource& inner) : inner_(inner) {}
  char separator() const override { return inner_.separator(); }
  std::vector<DirectoryEntry> list(const std::string& folder, const std::string& mask) const override {
    std::unique_lock lock(mutex_);
    opened_.wait(lock, [this] { return open_; });
    return inner_.list(folder, mask);
  }
  void open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    opened_.notify_all();
  }

 private:
  const DirectorySource& inner_;
  mutable std::mutex mutex_;
  mutable std::condition_variable opened_;
  bool open_ = false;
};

TEST(FindAllFilesThread, FindsWhatTheSearchFindsAndReportsProgress) {
  MemoryFileSystem fs = wideTree(205);
  FakeCommandContext context("Find All Files", {});
  TFindAllFilesThread thread({"R\\*.txt", true, false}, fs,
                             [&](const std::string& text, int64_t minimum, int64_t maximum, int64_t position) {
                               context.reportProgress(text, minimum, maximum, position);
                             });
  thread.start();
  ASSERT_TRUE(thread.waitFinished(std::chrono::seconds(30)));
  EXPECT_EQ(thread.result(), findFiles({"R\\*.txt", true, false}, fs));
  EXPECT_EQ(thread.result().size(), 205u);
  EXPECT_EQ(thread.error(), "");

  std::vector<int64_t> positions;
  std::vector<std::string> texts;
  for (const auto& report : context.reports()) {
    if (report.text == "$IGNORE$") {
      EXPECT_EQ(report.minimum, 0);
      EXPECT_EQ(report.maximum, 100);
      positions.push_back(report.position);
    } else {
      EXPECT_EQ(report.position, -1);
      texts.push_back(report.text);
    }
  }
  EXPECT_EQ(texts, thread.result());
  ASSERT_EQ(positions.size(), 206u);  // R and its 205 folders
  EXPECT_EQ(positions[0], 1);
  EXPECT_EQ(positions[99], 100);
  EXPECT_EQ(positions[100], 0);  // wraps after 100
  EXPECT_EQ(positions.back(), 206 % 101);
}

TEST(FindAllFilesThread, TerminateStopsTheSearch) {
  MemoryFileSystem fs = wideTree(50);
  GatedSource gated(fs);
  TFindAllFilesThread thread({"R\\*.*", true, true}, gated, nullptr);
  thread.start();
  EXPECT_FALSE(thread.waitFinished(std::chrono::milliseconds(20)));
  thread.terminate();
  gated.open();
  ASSERT_TRUE(thread.waitFinished(std::chrono::seconds(30)));
  EXPECT_TRUE(thread.result().empty());
}

TEST(FindAllFilesThread, WorkerScopeWrapsTheWork) {
  MemoryFileSystem fs = wideTree(3);
  int scopes = 0;
  TFindAllFilesThread thread({"R\\*.*", true, false}, fs, nullptr, [&](const std::function<void()>& work) {
    ++scopes;
    work();
  });
  thread.start();
  ASSERT_TRUE(thread.waitFinished(std::chrono::seconds(30)));
  EXPECT_EQ(scopes, 1);
  EXPECT_EQ(thread.result().size(), 3u);
}

TEST(FindAllFilesThread, DestroyingARunningWorkerStopsAndJoinsIt) {
  MemoryFileSystem fs = wideTree(5);
  GatedSource gated(fs);
  {
    TFindAllFilesThread thread({"R\\*.*", true, true}, gated, nullptr);
    thread.start();
    gated.open();
  }
  SUCCEED();
}

TEST(LongOperationWait, CompletesWithoutCancelRunningWaitStepsAndTheWake) {
  MemoryFileSystem fs = wideTree(3);
  GatedSource gated(fs);
  FakeCommandContext context("Find All Files", {});
  TFindAllFilesThread thread({"R\\*.*", true, false}, gated, nullptr);
  std::atomic<int> wakes{0};
  thread.setWake([&] { ++wakes; });
  thread.start();
  std::thread opener([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    gated.open();
  });
  EXPECT_TRUE(waitForWorker(context, thread, "Cancel at Find-Files Time"));
  opener.join();
  EXPECT_EQ(thread.result().size(), 3u);
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_GT(context.waitSteps, 0);  // the interface ran while the worker did
}

TEST(LongOperationWait, CancelStopsTheWorkerAndFollowsAbortOnError) {
  for (bool abortOnError : {false, true}) {
    MemoryFileSystem fs = wideTree(3);
    GatedSource gated(fs);
    FakeCommandContext context("Find All Files", {});
    context.variables().Put("ABORTONERROR", abortOnError ? "TRUE" : "FALSE");
    context.variables().Put("KELD_IsCancelled", "TRUE");
    context.variables().Put("KELD_LastDelegateTick", "12345");
    TFindAllFilesThread thread({"R\\*.*", true, false}, gated, nullptr);
    thread.start();
    std::thread opener([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
      gated.open();
    });
    if (abortOnError) {
      EXPECT_THROW(waitForWorker(context, thread, "Cancel at Find-Files Time"), EngineError);
    } else {
      EXPECT_FALSE(waitForWorker(context, thread, "Cancel at Find-Files Time"));
      EXPECT_EQ(context.readVariable("ABORTEDONERROR"), "TRUE");
      EXPECT_EQ(context.lastContext("ABORTEDONERROR"), "Cancel at Find-Files Time");
    }
    opener.join();
    EXPECT_EQ(context.readVariable("KELD_LastActiveTick"), "12345");
    ASSERT_TRUE(thread.waitFinished(std::chrono::seconds(30)));
    EXPECT_TRUE(thread.result().empty());  // told to stop before its first listing
  }
}

}  // namespace
}  // namespace kox
