// Test helpers: a source tree with every kind of entry, archives of it made by
// 7-Zip, and a byte-for-byte comparison of two trees.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kox::sevenzip::testing {

namespace fs = std::filesystem;

// A fresh empty folder for one test, removed by the destructor.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::vector<uint8_t> pseudoRandomBytes(size_t size, uint32_t seed);
void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes);
void writeFile(const fs::path& path, const std::string& text);
std::vector<uint8_t> readFile(const fs::path& path);

// Text, random bytes, an executable, a long run of zeros, an empty file, an
// empty folder, a nested folder and non-ASCII names.
void makeSourceTree(const fs::path& root);

// Runs "7zz a archive <everything in source> switches" in `source`; returns the
// exit code.
int runSevenZip(const fs::path& source, const fs::path& archive, const std::string& switches);

// Empty when both trees hold the same folders and files with the same bytes;
// else a description of the first difference.
std::string compareTrees(const fs::path& expected, const fs::path& actual);

// Rewrites a plain (uncompressed) header: replaces `from` by `to` (same length)
// in the UTF-16 names and fixes both header CRCs.
bool patchStoredName(std::vector<uint8_t>& archive, const std::u16string& from, const std::u16string& to);

}  // namespace kox::sevenzip::testing
