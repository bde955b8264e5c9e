// Trace log and support folder against the real Win32 file system (under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/startup/support_folder.h"
#include "engine/startup/trace_log.h"

namespace kox {
namespace {

std::string testFolder(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "kox-startup-test-" + std::to_string(GetCurrentProcessId()) + "-" + name + "\\";
  removeFolderTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void touch(const std::string& path, const std::string& content = "x") {
  std::ofstream(path, std::ios::binary) << content;
}

TEST(TraceLog, WritesUtf16LinesAndTheFirstWriteReplacesTheFile) {
  const std::string folder = testFolder("trace");
  const std::string path = folder + "trace.log";
  touch(path, "old content from an earlier run");
  TraceLog log;
  log.setPath(path);
  log.line("<Velmora>");
  log.line("  <A\xe9>");  // an 8-bit character of the code page
  const std::string expected = std::string("<\0V\0e\0l\0m\0o\0r\0a\0>\0\r\0\n\0", 22) +
                               std::string(" \0 \0<\0A\0\xe9\0>\0\r\0\n\0", 16);
  EXPECT_EQ(readAll(path), expected);
  removeFolderTree(folder);
}

TEST(TraceLog, EmptyPathWritesNothingAndALaterPathStartsFresh) {
  const std::string folder = testFolder("trace-later");
  const std::string path = folder + "late.log";
  touch(path, "stale");
  TraceLog log;
  log.line("dropped");
  log.setPath(path);
  log.line("kept");
  EXPECT_EQ(readAll(path), std::string("k\0e\0p\0t\0\r\0\n\0", 12));
  removeFolderTree(folder);
}

TEST(TraceLog, UnwritableLogIsIgnored) {
  TraceLog log;
  log.setPath("Q:\\no\\such\\drive\\trace.log");
  log.line("nothing happens");  // must neither throw nor crash
  SUCCEED();
}

TEST(SupportFolder, TakesTheFirstFreeNumber) {
  const std::string temp = testFolder("numbering");
  CreateDirectoryA((temp + "kox1").c_str(), nullptr);
  CreateDirectoryA((temp + "kox2").c_str(), nullptr);
  touch(temp + "kox4");  // a file also takes the name
  EXPECT_EQ(createSupportFolder(temp), temp + "kox3\\");
  EXPECT_EQ(createSupportFolder(temp), temp + "kox5\\");
  removeFolderTree(temp);
}

TEST(SupportFolder, RemovalClearsReadOnlyFilesAndNestedFolders) {
  const std::string temp = testFolder("removal");
  const std::string support = createSupportFolder(temp);
  CreateDirectoryA((support + "a").c_str(), nullptr);
  CreateDirectoryA((support + "a\\b").c_str(), nullptr);
  touch(support + "top.txt");
  touch(support + "a\\b\\deep.txt");
  SetFileAttributesA((support + "a\\b\\deep.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((support + "a").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
  removeFolderTree(support);
  EXPECT_FALSE(exists(support));
  EXPECT_TRUE(exists(temp));
  removeFolderTree(temp);
  EXPECT_FALSE(exists(temp));
}

TEST(SupportFolder, RemovingAMissingOrEmptyNameDoesNothing) {
  removeFolderTree("");
  removeFolderTree("C:\\kox-this-folder-does-not-exist\\");
  SUCCEED();
}

}  // namespace
}  // namespace kox
