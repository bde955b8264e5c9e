// Folder transfer and the file helpers under it, on real folders.
#include "engine/media/folder_transfer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/media/media_files.h"

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

void makeReadOnly(const fs::path& path) { SetFileAttributesA(path.string().c_str(), FILE_ATTRIBUTE_READONLY); }

class FolderTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() / ("kox-transfer-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                                        std::to_string(counter++));
    fs::remove_all(root);
    source = root / "source";
    target = root / "target";
    writeText(source / "top.txt", "top");
    writeText(source / "a" / "one.txt", "one");
    writeText(source / "a" / "b" / "two.txt", "two");
    fs::create_directories(source / "empty");
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& item : fs::recursive_directory_iterator(root, ignored))
      SetFileAttributesA(item.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(root, ignored);
  }
  fs::path root, source, target;
};

TEST_F(FolderTransfer, MoveReplacesTargetsAndRemovesTheSource) {
  writeText(target / "a" / "one.txt", "old");
  makeReadOnly(target / "a" / "one.txt");
  ASSERT_TRUE(TransferFolder(source.string(), target.string(), true));
  EXPECT_EQ(readText(target / "top.txt"), "top");
  EXPECT_EQ(readText(target / "a" / "one.txt"), "one");
  EXPECT_EQ(readText(target / "a" / "b" / "two.txt"), "two");
  EXPECT_FALSE(fs::exists(source));
  // Folders come along only with their files.
  EXPECT_FALSE(fs::exists(target / "empty"));
}

TEST_F(FolderTransfer, CopyOverwritesTargetsAndKeepsTheSource) {
  writeText(target / "top.txt", "old");
  makeReadOnly(target / "top.txt");
  // Trailing backslashes are optional.
  ASSERT_TRUE(TransferFolder(source.string() + "\\", target.string(), false));
  EXPECT_EQ(readText(target / "top.txt"), "top");
  EXPECT_EQ(readText(target / "a" / "b" / "two.txt"), "two");
  EXPECT_EQ(readText(source / "a" / "b" / "two.txt"), "two");
  EXPECT_TRUE(fs::exists(source / "empty"));
}

TEST_F(FolderTransfer, AFailedMoveStopsAndLeavesTheRestInTheSource) {
  // A folder where the file should go: the move of that file fails.
  fs::create_directories(target / "top.txt");
  writeText(target / "top.txt" / "inside.txt", "x");
  EXPECT_FALSE(TransferFolder(source.string(), target.string(), true));
  // Nothing was deleted: the blocked file and the source folder are still there.
  EXPECT_EQ(readText(source / "top.txt"), "top");
  EXPECT_TRUE(fs::exists(source / "empty"));
  EXPECT_EQ(readText(target / "top.txt" / "inside.txt"), "x");
}

TEST_F(FolderTransfer, ATargetInsideTheSourceIsRefused) {
  EXPECT_FALSE(TransferFolder(source.string(), (source / "a").string(), true));
  EXPECT_FALSE(TransferFolder(source.string(), source.string(), true));
  EXPECT_EQ(readText(source / "a" / "one.txt"), "one");
  EXPECT_EQ(readText(source / "top.txt"), "top");
}

TEST_F(FolderTransfer, AMissingSourceMovesNothing) {
  EXPECT_TRUE(TransferFolder((root / "none").string(), target.string(), true));
  EXPECT_FALSE(fs::exists(target));
}

TEST(MediaFiles, PathPartsAndFolderCreation) {
  EXPECT_EQ(fileNameOf("keld\\block\\sub\\notes.txt"), "notes.txt");
  EXPECT_EQ(fileNameOf("notes.txt"), "notes.txt");
  EXPECT_EQ(folderOf("keld\\block\\notes.txt"), "keld\\block\\");
  EXPECT_EQ(folderOf("notes.txt"), "");
  EXPECT_EQ(baseNameOf("C:\\data\\block.7zip"), "block");
  EXPECT_EQ(baseNameOf("C:\\data.d\\block"), "block");

  fs::path deep = fs::temp_directory_path() / ("kox-force-" + std::to_string(GetCurrentProcessId())) / "a" / "b";
  EXPECT_TRUE(forceFolders(deep.string() + "\\"));
  EXPECT_TRUE(folderExists(deep.string()));
  EXPECT_TRUE(forceFolders(deep.string()));  // already there
  writeText(deep / "file.txt", "x");
  EXPECT_FALSE(forceFolders((deep / "file.txt" / "below").string()));
  std::error_code ignored;
  fs::remove_all(deep.parent_path().parent_path(), ignored);
}

}  // namespace
}  // namespace kox::media
