#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/script/files/text_file_reader.h"
#include "engine/script/files/text_lines.h"

namespace kox {
namespace {

namespace fs = std::filesystem;

class TextFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              (std::string("kox_text_files_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string write(const std::string& name, std::string_view content) {
    std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  static std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }

  fs::path folder_;
};

TEST_F(TextFiles, ReaderLineByLineWithEitherLineEnd) {
  for (std::string_view content : {"one\r\ntwo\nthree\r\n", "one\ntwo\r\nthree"}) {
    TextFileReader reader;
    ASSERT_TRUE(reader.open(write("lines.txt", content)));
    std::string line;
    for (const char* expected : {"one", "two", "three"}) {
      ASSERT_FALSE(reader.atEnd());
      ASSERT_TRUE(reader.readLine(line));
      EXPECT_EQ(line, expected);
    }
    EXPECT_TRUE(reader.atEnd());
  }
}

TEST_F(TextFiles, ReaderRestJoinsRemainingLinesAndKeepsEmptyOnes) {
  TextFileReader reader;
  ASSERT_TRUE(reader.open(write("rest.txt", "first\r\nsecond\r\n\r\nfourth\r\n")));
  std::string text;
  ASSERT_TRUE(reader.readLine(text));
  ASSERT_TRUE(reader.readRest(text));
  EXPECT_EQ(text, "second$NEWLINE$$NEWLINE$fourth");
  EXPECT_TRUE(reader.atEnd());
}

TEST_F(TextFiles, ReaderOpenFailureLeavesNothingOpen) {
  TextFileReader reader;
  ASSERT_TRUE(reader.open(write("a.txt", "a")));
  EXPECT_FALSE(reader.open((folder_ / "missing.txt").string()));
  EXPECT_FALSE(reader.isOpen());
  EXPECT_EQ(reader.path(), "");
  EXPECT_TRUE(reader.atEnd());
}

TEST(TextLines, SplitAndAddedText) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(splitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(splitTextLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(splitTextLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(splitTextLines(""), Lines{});
  EXPECT_EQ(linesOfAddedText(""), (Lines{""}));
  EXPECT_EQ(linesOfAddedText("x\r\ny"), (Lines{"x", "y"}));
  EXPECT_EQ(linesOfAddedText("x\r\n"), (Lines{"x", ""}));
}

TEST_F(TextFiles, SaveWritesCrLfAfterEveryLineAndLoadReadsItBack) {
  std::string path = write("save.txt", "old content that is longer than the new one\n");
  ASSERT_TRUE(saveLines(path, {"one", "", "three"}));
  EXPECT_EQ(contents(path), "one\r\n\r\nthree\r\n");
  EXPECT_EQ(loadLines(path), (std::vector<std::string>{"one", "", "three"}));
  EXPECT_TRUE(loadLines((folder_ / "missing.txt").string()).empty());
  EXPECT_FALSE(saveLines((folder_ / "no" / "such" / "folder.txt").string(), {"x"}));
}

}  // namespace
}  // namespace kox
