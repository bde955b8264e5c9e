// The two extraction workers over the real kox.lib, on archives 7-Zip made at
// build time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "engine/media/direct_extract_media.h"
#include "engine/media/extract_media.h"
#include "engine/media/media_worker_wait.h"

namespace kox::media {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = KOX_FIXTURES;
const fs::path kMediaFixtures = KOX_MEDIA_FIXTURES;

std::string fixture(const std::string& name) { return (kFixtures / (name + ".7z")).string(); }

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of the fixture tree has the same bytes below root.
::testing::AssertionResult holdsTheTree(const fs::path& root) {
  const fs::path tree = kFixtures / "tree";
  size_t files = 0;
  for (const auto& item : fs::recursive_directory_iterator(tree)) {
    if (!item.is_regular_file()) continue;
    ++files;
    fs::path relative = fs::relative(item.path(), tree);
    if (readText(item.path()) != readText(root / relative))
      return ::testing::AssertionFailure() << "different " << relative;
  }
  return files > 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "empty tree";
}

// Progress reports as the worker made them; callable from its thread.
struct ProgressLog {
  struct Report {
    std::string text;
    int64_t minimum, maximum, position;
  };
  std::mutex mutex;
  std::vector<Report> reports;
  std::function<void()> onReport;

  ProgressReport reporter() {
    return [this](const std::string& text, int64_t minimum, int64_t maximum, int64_t position) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        reports.push_back({text, minimum, maximum, position});
      }
      if (onReport) onReport();
    };
  }
};

class Workers : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() /
           ("kox-workers-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++));
    fs::remove_all(root);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  template <typename Worker>
  void run(Worker& worker) {
    worker.start();
    EXPECT_FALSE(waitForWorker(worker, [] { return false; }));
    ASSERT_TRUE(worker.finished());
  }
  DirectExtractSettings direct(const std::string& archive) {
    DirectExtractSettings settings;
    settings.archivePath = archive;
    settings.targetFolder = (root / "new" / "target").string();
    return settings;
  }
  fs::path root;
  ProgressLog log;
};

TEST_F(Workers, DirectExtractionCreatesTheTargetAndReportsEachFile) {
  TDirectExtractMedia worker(direct(fixture("lzma2")), log.reporter());
  run(worker);
  ASSERT_TRUE(worker.result()) << worker.errorText();
  EXPECT_EQ(worker.errorText(), "");
  EXPECT_TRUE(holdsTheTree(root / "new" / "target"));

  ASSERT_FALSE(log.reports.empty());
  int64_t previous = 0;
  for (const auto& report : log.reports) {
    EXPECT_EQ(report.minimum, 0);
    EXPECT_EQ(report.maximum, 100);
    EXPECT_GE(report.position, 1);
    EXPECT_LE(report.position, 100);
    EXPECT_GE(report.position, previous);
    previous = report.position;
    // "<file name>, <position>% complete": no folder part in the name.
    std::string suffix = ", " + std::to_string(report.position) + "% complete";
    ASSERT_GT(report.text.size(), suffix.size());
    EXPECT_EQ(report.text.substr(report.text.size() - suffix.size()), suffix) << report.text;
    EXPECT_EQ(report.text.find('\\'), std::string::npos) << report.text;
  }
  EXPECT_EQ(log.reports.back().position, 100);
  EXPECT_TRUE(std::any_of(log.reports.begin(), log.reports.end(),
                          [](const auto& r) { return r.text.starts_with("notes.txt, "); }));
}

TEST_F(Workers, DirectExtractionFolderAndReplaceFlags) {
  struct Case {
    bool keepFolders, replace;
    const char* expectedReadme;
  } cases[] = {{true, false, "old"}, {true, true, nullptr}, {false, true, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.keepFolders) + " " + std::to_string(c.replace));
    fs::remove_all(root);
    fs::create_directories(root / "new" / "target");
    std::ofstream(root / "new" / "target" / "readme.txt") << "old";
    auto settings = direct(fixture("copy"));
    settings.keepFolders = c.keepFolders;
    settings.replaceExisting = c.replace;
    TDirectExtractMedia worker(settings, {});
    run(worker);
    ASSERT_TRUE(worker.result()) << worker.errorText();
    fs::path target = root / "new" / "target";
    std::string readme = c.expectedReadme ? c.expectedReadme : readText(kFixtures / "tree" / "readme.txt");
    EXPECT_EQ(readText(target / "readme.txt"), readme);
    EXPECT_EQ(fs::exists(target / "sub" / "deeper" / "notes.txt"), c.keepFolders);
    EXPECT_EQ(fs::exists(target / "notes.txt"), !c.keepFolders);
  }
}

TEST_F(Workers, DirectExtractionPasswords) {
  struct Case {
    const char* archive;
    const char* password;
    bool ok;
    const char* error;
  } cases[] = {
      {"aes", "Secret", true, ""},
      {"aes", "wrong", false, "#1003"},
      {"aes_header", "Secret", true, ""},
      {"aes_header", "", false, "The archive cannot be opened: unsupported archive or incorrect password"},
      {"aes_header", "wrong", false, "The archive cannot be opened: unsupported archive or incorrect password"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " / " + c.password);
    fs::remove_all(root);
    auto settings = direct(fixture(c.archive));
    settings.password = c.password;
    TDirectExtractMedia worker(settings, {});
    run(worker);
    EXPECT_EQ(worker.result(), c.ok);
    EXPECT_EQ(worker.errorText(), c.error);
    if (c.ok) {
      EXPECT_TRUE(holdsTheTree(root / "new" / "target"));
    }
  }
}

TEST_F(Workers, ATerminatedWorkerStopsAtItsNextFile) {
  TDirectExtractMedia worker(direct(fixture("copy")), log.reporter());
  log.onReport = [&worker] { worker.terminate(); };
  run(worker);
  EXPECT_FALSE(worker.result());
  EXPECT_EQ(worker.errorText(), "#1007");
  EXPECT_EQ(log.reports.size(), 1u);
}

// A window of the test thread that counts the null messages it handles.
struct OwnerWindow {
  static std::atomic<int>& nulls() {
    static std::atomic<int> count{0};
    return count;
  }
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NULL) ++nulls();
    return DefWindowProcA(window, message, w, l);
  }
  OwnerWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KoxMediaTestOwner";
    RegisterClassA(&windowClass);
    handle = CreateWindowA("KoxMediaTestOwner", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    nulls() = 0;
  }
  ~OwnerWindow() { DestroyWindow(handle); }
  HWND handle;
};

TEST_F(Workers, NullMessagesReachTheOwnerWhileTheMainThreadWaits) {
  OwnerWindow owner;
  ASSERT_NE(owner.handle, nullptr);
  auto settings = direct(fixture("copy"));
  settings.ownerWindow = owner.handle;
  TDirectExtractMedia worker(settings, log.reporter());
  run(worker);
  ASSERT_TRUE(worker.result()) << worker.errorText();
  // One sent per progress report; the posted wake-up may still be queued.
  EXPECT_GE(owner.nulls().load(), static_cast<int>(log.reports.size()));

  // A worker that is dropped without a wait is stopped and joined.
  settings.targetFolder = (root / "dropped").string();
  auto dropped = std::make_unique<TDirectExtractMedia>(settings, nullptr);
  dropped->start();
  dropped.reset();
}

class MediaWorker : public Workers {
 protected:
  void SetUp() override {
    Workers::SetUp();
    fs::create_directories(root / "download");
    archive = root / "download" / "block.7zip";
    fs::copy_file(kMediaFixtures / "block.7zip", archive);
    environment.tempFolder = (root / "temp").string();
    settings.archivePath = archive.string();
    settings.mediaRoot = (root / "media").string();
    settings.progressPrefix = "Block 1";
  }
  std::string expected(const fs::path& relative) { return readText(kMediaFixtures / "block" / relative); }
  fs::path archive;
  MediaExtractSettings settings;
  MediaExtractEnvironment environment;
};

TEST_F(MediaWorker, PlacesListedFilesAndMovesTheRestToTheMediaRoot) {
  environment.filePlacements = {"block", "readme.txt", "first",          //
                                "block", "readme.txt", "second\\deep",   // the same file again
                                "block", "sub\\notes.txt", "notes",      //
                                "other", "sub\\left.txt", "never"};
  TExtractMedia worker(settings, environment, log.reporter());
  run(worker);
  ASSERT_TRUE(worker.result()) << worker.errorText();
  EXPECT_FALSE(worker.cannotOpen());
  const fs::path media = root / "media";
  EXPECT_EQ(readText(media / "first" / "readme.txt"), expected("readme.txt"));
  EXPECT_EQ(readText(media / "second" / "deep" / "readme.txt"), expected("readme.txt"));
  EXPECT_EQ(readText(media / "notes" / "notes.txt"), expected("sub/notes.txt"));
  // What no triple named goes to media root + archive name, whatever its name.
  EXPECT_EQ(readText(media / "block" / "sub" / "left.txt"), expected("sub/left.txt"));
  EXPECT_EQ(readText(media / "block" / "data" / "top.bin"), expected("data/top.bin"));
  EXPECT_EQ(readText(media / "block" / fs::path(L"\u65e5\u672c.txt")), expected(fs::path(L"\u65e5\u672c.txt")));
  EXPECT_FALSE(fs::exists(media / "block" / "readme.txt"));
  EXPECT_FALSE(fs::exists(media / "never"));
  // The archive is gone and so is the emptied extraction folder.
  EXPECT_FALSE(fs::exists(archive));
  EXPECT_FALSE(fs::exists(root / "temp" / "keld"));

  ASSERT_FALSE(log.reports.empty());
  for (const auto& report : log.reports) {
    EXPECT_TRUE(report.text.starts_with("Block 1\r")) << report.text;
    EXPECT_LE(report.position, 100);
    EXPECT_GE(report.position, 1);
  }
  EXPECT_EQ(log.reports.back().position, 100);
}

TEST_F(MediaWorker, KeepsTheArchiveAndACacheCopyWhenAsked) {
  settings.keepArchive = true;
  environment.copyWebLock = (root / "weblock").string();
  TExtractMedia worker(settings, environment, {});
  run(worker);
  ASSERT_TRUE(worker.result()) << worker.errorText();
  EXPECT_TRUE(fs::exists(archive));
  EXPECT_EQ(readText(root / "weblock" / "block.7zip"), readText(kMediaFixtures / "block.7zip"));
  EXPECT_EQ(readText(root / "media" / "block" / "readme.txt"), expected("readme.txt"));
}

TEST_F(MediaWorker, AnArchiveThatCannotBeOpenedSetsTheFlag) {
  fs::copy_file(fixture("aes_header"), root / "download" / "locked.7zip");
  settings.archivePath = (root / "download" / "locked.7zip").string();
  settings.password = "wrong";
  TExtractMedia worker(settings, environment, {});
  run(worker);
  EXPECT_FALSE(worker.result());
  EXPECT_TRUE(worker.cannotOpen());
  EXPECT_TRUE(fs::exists(settings.archivePath));  // only a good extraction removes it
}

TEST_F(MediaWorker, ATerminatedWorkerKeepsTheArchive) {
  TExtractMedia worker(settings, environment, log.reporter());
  log.onReport = [&worker] { worker.terminate(); };
  run(worker);
  EXPECT_FALSE(worker.result());
  EXPECT_FALSE(worker.cannotOpen());
  EXPECT_EQ(worker.errorText(), "#1007");
  EXPECT_TRUE(fs::exists(archive));
  EXPECT_FALSE(fs::exists(root / "media" / "block"));
}

TEST_F(MediaWorker, AFailedPlacementEndsTheWorkerAndLeavesTheExtractedFiles) {
  environment.filePlacements = {"block", "missing.txt", "one"};
  TExtractMedia worker(settings, environment, {});
  run(worker);
  EXPECT_FALSE(worker.result());
  EXPECT_EQ(readText(root / "temp" / "keld" / "block" / "readme.txt"), expected("readme.txt"));
  EXPECT_FALSE(fs::exists(root / "media" / "block"));

  // The next run extracts over what was left.
  fs::copy_file(kMediaFixtures / "block.7zip", archive, fs::copy_options::overwrite_existing);
  environment.filePlacements.clear();
  TExtractMedia again(settings, environment, {});
  run(again);
  ASSERT_TRUE(again.result()) << again.errorText();
  EXPECT_EQ(readText(root / "media" / "block" / "readme.txt"), expected("readme.txt"));
}

}  // namespace
}  // namespace kox::media
