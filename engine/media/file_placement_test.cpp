// Placement of extracted web media files, on real folders.
#include "engine/media/file_placement.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kox::media {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

class FilePlacement : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() / ("kox-placement-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(counter++));
    fs::remove_all(root);
    extraction = root / "keld";
    media = root / "media";
    writeText(extraction / "block" / "readme.txt", "readme");
    writeText(extraction / "block" / "sub" / "notes.txt", "notes");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  PlacementJob job(const std::vector<std::string>& placements) {
    list = placements;
    PlacementJob result;
    result.archiveName = "block";
    result.extractionFolder = extraction.string() + "\\";
    result.mediaRoot = media.string();
    result.placements = list;
    return result;
  }
  fs::path root, extraction, media;
  std::vector<std::string> list;
  std::vector<MovedFile> moved;
};

TEST_F(FilePlacement, TwoTriplesNamingOneFileFillBothFolders) {
  writeText(media / "second" / "deep" / "readme.txt", "stale");
  auto placement = job({"block", "readme.txt", "first",        //
                        "other", "sub\\notes.txt", "never",    // another archive's triple
                        "BLOCK", "readme.txt", "second\\deep",  // letter case of the name ignored
                        "Block", "sub\\notes.txt", ""});        // straight into the media root
  ASSERT_TRUE(placeFiles(placement, moved));
  EXPECT_EQ(readText(media / "first" / "readme.txt"), "readme");
  EXPECT_EQ(readText(media / "second" / "deep" / "readme.txt"), "readme");
  EXPECT_EQ(readText(media / "notes.txt"), "notes");
  EXPECT_FALSE(fs::exists(media / "never"));
  EXPECT_FALSE(fs::exists(extraction / "block" / "readme.txt"));
  ASSERT_EQ(moved.size(), 3u);
  EXPECT_EQ(moved[0].source, moved[1].source);
  EXPECT_EQ(moved[0].source.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
  EXPECT_EQ(moved[1].destination.substr(moved[1].destination.size() - 22), "second\\deep\\readme.txt");
}

TEST_F(FilePlacement, ANameTheSystemCodePageCannotHoldGoesThroughWidePaths) {
  // "日本.txt" as the package writes it, in a code page other than the system's.
  const bool systemIsUtf8 = GetACP() == CP_UTF8;
  const uint32_t packageCodePage = systemIsUtf8 ? 932 : CP_UTF8;
  const std::string packageName = systemIsUtf8 ? "\x93\xfa\x96\x7b.txt" : "\xe6\x97\xa5\xe6\x9c\xac.txt";
  const fs::path wideName = fs::path(L"\u65e5\u672c.txt");
  writeText(extraction / "block" / wideName, "wide");
  // The narrow move fails on the wide file; the next triple stays wide and
  // copies the first destination back for its second placement.
  auto placement = job({"block", packageName, "one", "block", packageName, "two", "block", "readme.txt", "three"});
  placement.codePage = packageCodePage;
  ASSERT_TRUE(placeFiles(placement, moved));
  EXPECT_EQ(readText(media / "one" / wideName), "wide");
  EXPECT_EQ(readText(media / "two" / wideName), "wide");
  EXPECT_EQ(readText(media / "three" / "readme.txt"), "readme");
  EXPECT_FALSE(fs::exists(extraction / "block" / wideName));
  EXPECT_EQ(moved.size(), 3u);
}

TEST_F(FilePlacement, AFileThatIsNowhereStopsThePlacement) {
  auto placement = job({"block", "missing.txt", "one", "block", "readme.txt", "two"});
  EXPECT_FALSE(placeFiles(placement, moved));
  EXPECT_TRUE(moved.empty());
  // The triples after the failure are not carried out.
  EXPECT_EQ(readText(extraction / "block" / "readme.txt"), "readme");
  EXPECT_FALSE(fs::exists(media / "two" / "readme.txt"));
}

}  // namespace
}  // namespace kox::media
