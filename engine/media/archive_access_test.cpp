// Extract and List over the real kox.lib, on archives 7-Zip made at build time.
#include "engine/media/archive_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace kox::media {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = KOX_FIXTURES;

std::string fixture(const std::string& name) { return (kFixtures / (name + ".7z")).string(); }

std::vector<char> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of the fixture tree has the same bytes below `root`.
::testing::AssertionResult holdsTheTree(const fs::path& root) {
  const fs::path tree = kFixtures / "tree";
  size_t files = 0;
  for (const auto& item : fs::recursive_directory_iterator(tree)) {
    fs::path relative = fs::relative(item.path(), tree);
    if (item.is_directory() && !fs::is_directory(root / relative))
      return ::testing::AssertionFailure() << "missing folder " << relative;
    if (item.is_regular_file()) {
      ++files;
      if (readAll(item.path()) != readAll(root / relative))
        return ::testing::AssertionFailure() << "different " << relative;
    }
  }
  return files > 0 ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "empty tree";
}

class ArchiveAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    target = fs::temp_directory_path() / ("kox-media-test-" + std::to_string(counter++));
    fs::remove_all(target);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(target, ignored);
  }
  // The call the engine's start-up makes.
  ExtractRequest startupRequest(const std::string& archive) {
    ExtractRequest request;
    request.archivePath = archive;
    request.targetFolder = target.string() + "\\";
    return request;
  }
  fs::path target;
  std::string error;
};

TEST_F(ArchiveAccess, StartupExtractionListsThenExtractsEverything) {
  error = "stale";
  ASSERT_TRUE(Extract(startupRequest(fixture("copy")), error)) << error;
  EXPECT_EQ(error, "");
  EXPECT_TRUE(holdsTheTree(target));
}

TEST_F(ArchiveAccess, ListGivesEveryEntryInListingOrder) {
  std::vector<std::string> names = {"stale"};
  ASSERT_TRUE(List(fixture("copy"), "", error, names)) << error;
  EXPECT_EQ(names.size(), 10u);
  EXPECT_NE(std::find(names.begin(), names.end(), "sub\\deeper\\notes.txt"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "stale"), names.end());
}

TEST_F(ArchiveAccess, ListingFailuresGiveTheirTexts) {
  std::vector<std::string> names;
  EXPECT_FALSE(List((kFixtures / "none.7z").string(), "", error, names));
  EXPECT_EQ(error, "The archive file was not found");
  EXPECT_FALSE(List((kFixtures / "tree" / "readme.txt").string(), "", error, names));
  EXPECT_EQ(error, "The archive cannot be opened: unsupported archive or incorrect password");
  // Extract reports the listing's text when it had to list first.
  EXPECT_FALSE(Extract(startupRequest((kFixtures / "none.7z").string()), error));
  EXPECT_EQ(error, "The archive file was not found");
  EXPECT_EQ(listingErrorText(5), "General failure opening archive");
  EXPECT_EQ(listingErrorText(1002), "Illegal path used in a wildcard expression");
}

TEST_F(ArchiveAccess, LibraryFailuresBecomeHashAndCode) {
  auto request = startupRequest(fixture("copy"));
  request.names = std::vector<std::string>{"no-such-entry.txt"};
  EXPECT_FALSE(Extract(request, error));
  EXPECT_EQ(error, "#1009");
  request.names = std::vector<std::string>{"readme.txt"};
  request.progressCallback = [](const std::string&, uint64_t, uint64_t) { return false; };
  EXPECT_FALSE(Extract(request, error));
  EXPECT_EQ(error, "#1007");
}

TEST_F(ArchiveAccess, AnExceptionInACallbackBecomesTheErrorText) {
  auto request = startupRequest(fixture("copy"));
  request.progressCallback = [](const std::string&, uint64_t, uint64_t) -> bool {
    throw std::runtime_error("Disk on fire");
  };
  EXPECT_FALSE(Extract(request, error));
  EXPECT_EQ(error, "Disk on fire");
  // The next operation is not affected.
  EXPECT_TRUE(Extract(startupRequest(fixture("copy")), error)) << error;
}

TEST_F(ArchiveAccess, ReplaceFlagAndCallbacksReachTheLibrary) {
  fs::create_directories(target);
  std::ofstream(target / "readme.txt") << "old";
  auto request = startupRequest(fixture("copy"));
  request.replaceExisting = false;
  ASSERT_TRUE(Extract(request, error)) << error;
  EXPECT_EQ(readAll(target / "readme.txt"), (std::vector<char>{'o', 'l', 'd'}));

  std::vector<std::string> progressNames;
  int notifications = 0, replaceQuestions = 0;
  request.progressCallback = [&](const std::string& entry, uint64_t done, uint64_t total) {
    EXPECT_LE(done, total);
    progressNames.push_back(entry);
    return true;
  };
  request.notificationCallback = [&](uint32_t, uint32_t) { return ++notifications, 1; };
  request.replaceCallback = [&]() { return ++replaceQuestions, 4; };
  ASSERT_TRUE(Extract(request, error)) << error;
  EXPECT_TRUE(holdsTheTree(target));
  EXPECT_GT(replaceQuestions, 0);
  EXPECT_EQ(notifications, 5);  // one per file
  EXPECT_NE(std::find(progressNames.begin(), progressNames.end(), "bin\\tool.exe"), progressNames.end());
}

TEST_F(ArchiveAccess, KeepFoldersOffFlattensTheEntries) {
  auto request = startupRequest(fixture("copy"));
  request.keepFolders = false;
  ASSERT_TRUE(Extract(request, error)) << error;
  EXPECT_TRUE(fs::is_regular_file(target / "notes.txt"));
  EXPECT_FALSE(fs::exists(target / "sub"));
}

TEST_F(ArchiveAccess, ThePasswordIsHandedOutOnceAndNeverWhenEmpty) {
  // Encrypted header: the listing needs the password; so does the extraction.
  auto request = startupRequest(fixture("aes_header"));
  request.password = "Secret";
  ASSERT_TRUE(Extract(request, error)) << error;
  EXPECT_TRUE(holdsTheTree(target));
  request.password = "";
  EXPECT_FALSE(Extract(request, error));
  EXPECT_EQ(error, "The archive cannot be opened: unsupported archive or incorrect password");
  // Encrypted data only: listing works, extraction fails with the library's code.
  request = startupRequest(fixture("aes"));
  request.password = "wrong";
  EXPECT_FALSE(Extract(request, error));
  EXPECT_EQ(error, "#1003");
  int asked = 0;
  request.password = "";
  request.passwordCallback = [&]() -> std::optional<std::string> { return ++asked, std::string("Secret"); };
  ASSERT_TRUE(Extract(request, error)) << error;
  EXPECT_EQ(asked, 1);
}

TEST(ProgressPosition, StaysBetweenOneAndOneHundred) {
  struct Case {
    uint64_t done, total;
    int position;
  } cases[] = {{0, 100, 1}, {50, 100, 51}, {99, 100, 100}, {100, 100, 100}, {0, 0, 100},
               {uint64_t(1) << 62, uint64_t(1) << 63, 51}, {7, 3, 100}};
  for (const auto& c : cases) EXPECT_EQ(progressPosition(c.done, c.total), c.position) << c.done << "/" << c.total;
}

}  // namespace
}  // namespace kox::media
