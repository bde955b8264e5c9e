#include "archive/sevenzip/test_tree.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "archive/sevenzip/crc32.h"

namespace kox::sevenzip::testing {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = fs::temp_directory_path() /
          ("kox7z-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::vector<uint8_t> pseudoRandomBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = seed * 2654435761u + 1;
  for (auto& b : bytes) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x >> 7);
  }
  return bytes;
}

void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeFile(const fs::path& path, const std::string& text) {
  writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void makeSourceTree(const fs::path& root) {
  std::string text;
  for (int i = 0; i < 3000; ++i)
    text += "Line " + std::to_string(i) + ": the quick brown fox jumps over the lazy dog " +
            std::to_string(i * 7919 % 1000) + "\n";
  writeFile(root / "readme.txt", text);
  writeFile(root / "sub" / "deeper" / "random.bin", pseudoRandomBytes(300000, 7));
  writeFile(root / "zeros.bin", std::vector<uint8_t>(1 << 20, 0));
  writeFile(root / "empty.dat", std::vector<uint8_t>{});
  fs::create_directories(root / "emptydir");
  writeFile(root / fs::u8path("gr\xc3\xbc\xc3\x9f" "e") / fs::u8path("\xe6\x97\xa5\xe6\x9c\xac.txt"),
            std::string("non-ASCII names\n"));
  // An executable with plenty of x86 calls and jumps for the branch filters.
  std::vector<uint8_t> program = readFile("/bin/ls");
  if (program.empty()) program = pseudoRandomBytes(100000, 3);
  writeFile(root / "bin" / "tool.exe", program);
}

int runSevenZip(const fs::path& source, const fs::path& archive, const std::string& switches) {
  std::string command = "cd '" + source.string() + "' && LC_ALL=C.UTF-8 " KOX_7ZZ " a -bso0 -bsp0 -bse0 '" +
                        archive.string() + "' * " + switches;
  return std::system(command.c_str());
}

std::string compareTrees(const fs::path& expected, const fs::path& actual) {
  auto collect = [](const fs::path& root) {
    std::set<std::string> names;
    for (const auto& item : fs::recursive_directory_iterator(root))
      names.insert(fs::relative(item.path(), root).generic_string() + (item.is_directory() ? "/" : ""));
    return names;
  };
  auto want = collect(expected), have = collect(actual);
  for (const auto& name : want)
    if (!have.count(name)) return "missing " + name;
  for (const auto& name : have)
    if (!want.count(name)) return "unexpected " + name;
  for (const auto& name : want) {
    if (name.back() == '/') continue;
    if (readFile(expected / name) != readFile(actual / name)) return "different bytes in " + name;
  }
  return "";
}

namespace {

void put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

uint64_t get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

}  // namespace

bool patchStoredName(std::vector<uint8_t>& archive, const std::u16string& from, const std::u16string& to) {
  if (archive.size() < 32 || from.size() != to.size()) return false;
  uint64_t offset = 32 + get64(&archive[12]);
  uint64_t size = get64(&archive[20]);
  if (offset + size > archive.size()) return false;
  std::vector<uint8_t> needle, replacement;
  for (char16_t c : from) needle.insert(needle.end(), {uint8_t(c), uint8_t(c >> 8)});
  for (char16_t c : to) replacement.insert(replacement.end(), {uint8_t(c), uint8_t(c >> 8)});
  auto begin = archive.begin() + static_cast<long>(offset);
  auto end = begin + static_cast<long>(size);
  auto found = std::search(begin, end, needle.begin(), needle.end());
  if (found == end) return false;
  std::copy(replacement.begin(), replacement.end(), found);
  put32(&archive[28], crc32(&archive[offset], static_cast<size_t>(size)));
  put32(&archive[8], crc32(&archive[12], 20));
  return true;
}

}  // namespace kox::sevenzip::testing
