// Calls the exports of kox.lib the way the engine does, on archives that
// 7-Zip made at build time (archive/testdata/make_fixtures.cmake).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "archive/kox_archive_api.h"

namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = KOX_FIXTURES;

std::string fixture(const std::string& name) { return (kFixtures / (name + ".7z")).string(); }

std::vector<char> readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Empty when `actual` holds the same folders and files as the fixture tree.
std::string compareWithTree(const fs::path& actual) {
  const fs::path expected = kFixtures / "tree";
  auto collect = [](const fs::path& root) {
    std::set<fs::path> names;
    for (const auto& item : fs::recursive_directory_iterator(root)) names.insert(fs::relative(item.path(), root));
    return names;
  };
  auto want = collect(expected), have = collect(actual);
  if (want != have) return "different entries: expected " + std::to_string(want.size()) + ", got " + std::to_string(have.size());
  for (const auto& name : want)
    if (fs::is_regular_file(expected / name) && readAll(expected / name) != readAll(actual / name))
      return "different bytes in " + name.string();
  return "";
}

class TempFolder {
 public:
  TempFolder() {
    static int counter = 0;
    path_ = fs::temp_directory_path() / ("koxlib-test-" + std::to_string(counter++));
    fs::remove_all(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<std::string> listNames(const std::string& archive, const char* password = "") {
  const KoxListEntry* first = nullptr;
  uint32_t count = 0;
  KoxListHandle handle = OpenListArchive(archive.c_str(), 0, nullptr, 0, 0, 0, password, &first, &count);
  EXPECT_NE(handle, 0u) << "error " << GetLastArchiveError(0);
  std::vector<std::string> names;
  for (uint32_t i = 0; i < count; ++i) names.emplace_back(first[i].path);
  CloseListArchive(handle);
  return names;
}

int32_t KOX_ARCHIVE_CALL alwaysReplace(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                       uint32_t, uint32_t) {
  return KOX_REPLACE_YES;
}
int32_t KOX_ARCHIVE_CALL neverReplace(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                      uint32_t, uint32_t) {
  return KOX_REPLACE_NO;
}

// Extracts every listed entry, as the engine does.
int32_t extractAll(const std::string& archive, const fs::path& target, const char* password = "",
                   int32_t folderOption = 0, KoxReplaceCallback replace = alwaysReplace,
                   KoxPasswordCallback passwordCallback = nullptr) {
  auto names = listNames(archive, password);
  std::vector<const char*> pointers;
  for (const auto& name : names) pointers.push_back(name.c_str());
  TSZW_TARGETFILES files{pointers.data(), static_cast<uint32_t>(pointers.size())};
  return ExtractArchive(archive.c_str(), 1, target.string().c_str(), &files, folderOption, password, passwordCallback,
                        nullptr, nullptr, replace);
}

TEST(KoxLib, ListsEveryEntryWithBackslashPaths) {
  auto names = listNames(fixture("copy"));
  std::sort(names.begin(), names.end());
  for (const char* expected : {"readme.txt", "empty.dat", "emptydir", "sub\\deeper\\notes.txt", "bin\\tool.exe"})
    EXPECT_TRUE(std::binary_search(names.begin(), names.end(), expected)) << expected;
  EXPECT_EQ(names.size(), 10u);  // 5 files and 5 folders, the non-ASCII ones included
}

TEST(KoxLib, ListingRecordsCarrySizesFlagsAndTimes) {
  const KoxListEntry* first = nullptr;
  uint32_t count = 0;
  KoxListHandle handle =
      OpenListArchive(fixture("copy").c_str(), 0, nullptr, 0, 0, 0, "", &first, &count);
  ASSERT_NE(handle, 0u);
  bool sawReadme = false, sawFolder = false;
  for (uint32_t i = 0; i < count; ++i) {
    std::string path = first[i].path;
    if (path == "readme.txt") {
      sawReadme = true;
      EXPECT_EQ(first[i].size, fs::file_size(kFixtures / "tree" / "readme.txt"));
      EXPECT_NE(first[i].modified, 0u);
      EXPECT_TRUE(first[i].flags & KOX_ENTRY_HAS_CRC);
    }
    if (path == "emptydir") {
      sawFolder = true;
      EXPECT_TRUE(first[i].flags & KOX_ENTRY_DIRECTORY);
    }
  }
  EXPECT_TRUE(sawReadme && sawFolder);
  CloseListArchive(handle);
  CloseListArchive(handle);  // a stale handle is ignored
}

TEST(KoxLib, ExtractsEveryVariantByteForByte) {
  for (const char* variant : {"copy", "copy_nonsolid", "lzma", "lzma2", "bcj", "bcj2", "deflate"}) {
    TempFolder out;
    EXPECT_EQ(extractAll(fixture(variant), out.path()), 1) << variant << " error " << GetLastArchiveError(0);
    EXPECT_EQ(compareWithTree(out.path()), "") << variant;
  }
  for (const char* variant : {"aes", "aes_header"}) {
    TempFolder out;
    EXPECT_EQ(extractAll(fixture(variant), out.path(), "Secret"), 1) << variant << " error " << GetLastArchiveError(0);
    EXPECT_EQ(compareWithTree(out.path()), "") << variant;
  }
}

int32_t KOX_ARCHIVE_CALL givesWrongPassword(char* buffer) {
  std::strcpy(buffer, "Wrong");
  return 1;
}

TEST(KoxLib, WrongOrMissingPasswordIsCode1003AndWritesNothing) {
  for (const char* variant : {"aes", "aes_header"}) {
    TempFolder out;
    const char* names[] = {"readme.txt"};
    TSZW_TARGETFILES files{names, 1};
    EXPECT_EQ(ExtractArchive(fixture(variant).c_str(), 1, out.path().string().c_str(), &files, 0, "Wrong", nullptr,
                             nullptr, nullptr, alwaysReplace),
              0);
    EXPECT_EQ(GetLastArchiveError(0), uint32_t(KOX_ARCHIVE_CANNOT_OPEN)) << variant;
    EXPECT_EQ(ExtractArchive(fixture(variant).c_str(), 1, out.path().string().c_str(), &files, 0, "", givesWrongPassword,
                             nullptr, nullptr, alwaysReplace),
              0);
    EXPECT_EQ(GetLastArchiveError(0), uint32_t(KOX_ARCHIVE_CANNOT_OPEN)) << variant;
    EXPECT_EQ(ExtractArchive(fixture(variant).c_str(), 1, out.path().string().c_str(), &files, 0, "", nullptr, nullptr,
                             nullptr, alwaysReplace),
              0);
    EXPECT_EQ(GetLastArchiveError(0), uint32_t(KOX_ARCHIVE_CANNOT_OPEN)) << variant;
    EXPECT_FALSE(fs::exists(out.path() / "readme.txt")) << variant;
  }
}

TEST(KoxLib, FolderOptionOnePutsFilesDirectlyInTheTarget) {
  TempFolder out;
  ASSERT_EQ(extractAll(fixture("copy"), out.path(), "", 1), 1);
  EXPECT_TRUE(fs::is_regular_file(out.path() / "notes.txt"));
  EXPECT_TRUE(fs::is_regular_file(out.path() / "tool.exe"));
  EXPECT_FALSE(fs::exists(out.path() / "sub"));
}

TEST(KoxLib, ReplaceCallbackDecidesAboutExistingFiles) {
  TempFolder out;
  fs::create_directories(out.path());
  std::ofstream(out.path() / "readme.txt") << "old";
  ASSERT_EQ(extractAll(fixture("copy"), out.path(), "", 0, neverReplace), 1);
  EXPECT_EQ(readAll(out.path() / "readme.txt"), (std::vector<char>{'o', 'l', 'd'}));
  ASSERT_EQ(extractAll(fixture("copy"), out.path(), "", 0, alwaysReplace), 1);
  EXPECT_EQ(compareWithTree(out.path()), "");
}

TEST(KoxLib, FailuresGiveTheirCodes) {
  TempFolder out;
  const KoxListEntry* first = nullptr;
  uint32_t count = 0;
  EXPECT_EQ(OpenListArchive((kFixtures / "missing.7z").string().c_str(), 0, nullptr, 0, 0, 0, "", &first, &count), 0u);
  EXPECT_EQ(GetLastArchiveError(0), uint32_t(KOX_ARCHIVE_NOT_FOUND));
  std::string notArchive = (kFixtures / "tree" / "readme.txt").string();
  EXPECT_EQ(OpenListArchive(notArchive.c_str(), 0, nullptr, 0, 0, 0, "", &first, &count), 0u);
  EXPECT_EQ(GetLastArchiveError(0), uint32_t(KOX_ARCHIVE_CANNOT_OPEN));

  struct Case {
    const char* name;
    uint32_t code;
  } cases[] = {{"..\\outside.txt", KOX_ARCHIVE_ILLEGAL_WILDCARD},
               {"C:\\windows\\x", KOX_ARCHIVE_ILLEGAL_WILDCARD},
               {"no-such-entry.txt", KOX_ARCHIVE_ENTRY_NOT_FOUND}};
  for (const auto& c : cases) {
    const char* names[] = {c.name};
    TSZW_TARGETFILES files{names, 1};
    EXPECT_EQ(ExtractArchive(fixture("copy").c_str(), 1, out.path().string().c_str(), &files, 0, "", nullptr, nullptr,
                             nullptr, alwaysReplace),
              0);
    EXPECT_EQ(GetLastArchiveError(0), c.code) << c.name;
  }
}

}  // namespace
