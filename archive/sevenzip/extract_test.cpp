// Extracts archives that 7-Zip makes from a known tree and compares every byte.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/entry_path.h"
#include "archive/sevenzip/extractor.h"
#include "archive/sevenzip/test_tree.h"

namespace kox::sevenzip {
namespace {

using namespace kox::sevenzip::testing;

Archive openArchive(const fs::path& path, PasswordSource& password) {
  return Archive::open(std::make_unique<DiskFile>(path), password);
}

void extractAll(const fs::path& archivePath, const fs::path& target, const std::u16string& password = u"",
                ExtractOptions options = {}) {
  auto passwords = PasswordSource::fixed(password);
  Archive archive = openArchive(archivePath, passwords);
  FileSystemTarget output(target);
  extract(archive, passwords, output, options);
}

ErrorKind failureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ArchiveError& error) {
    return error.kind();
  }
  ADD_FAILURE() << "no failure";
  return ErrorKind::Io;
}

bool anyPartialFile(const fs::path& root) {
  for (const auto& item : fs::recursive_directory_iterator(root))
    if (item.path().extension() == ".koxpart") return true;
  return false;
}

struct MethodCase {
  const char* name;
  const char* switches;
  const char16_t* password;
};

class ExtractMethod : public ::testing::TestWithParam<MethodCase> {};

TEST_P(ExtractMethod, ReproducesTheSourceTreeByteForByte) {
  TempFolder work;
  makeSourceTree(work.path() / "src");
  ASSERT_EQ(runSevenZip(work.path() / "src", work.path() / "a.7z", GetParam().switches), 0);
  extractAll(work.path() / "a.7z", work.path() / "out", GetParam().password);
  EXPECT_EQ(compareTrees(work.path() / "src", work.path() / "out"), "");
}

INSTANTIATE_TEST_SUITE_P(
    Methods, ExtractMethod,
    ::testing::Values(MethodCase{"CopySolid", "-m0=Copy -mf=off -mhc=off", u""},
                      MethodCase{"CopyNonSolid", "-m0=Copy -mf=off -ms=off -mhc=off", u""},
                      MethodCase{"CopyCompressedHeader", "-m0=Copy -mf=off", u""},
                      MethodCase{"Lzma", "-m0=LZMA -mf=off", u""},
                      MethodCase{"LzmaNonSolidSmallDictionary", "-m0=LZMA:d=64k -mf=off -ms=off", u""},
                      MethodCase{"Lzma2", "-m0=LZMA2 -mf=off", u""},
                      MethodCase{"Lzma2FastLiteralBits", "-m0=LZMA2:lc=0:lp=2:pb=0:d=1m -mx=1 -mf=off", u""},
                      MethodCase{"BcjLzma", "-m0=BCJ -m1=LZMA", u""},
                      MethodCase{"BcjCopy", "-m0=BCJ -m1=Copy", u""},
                      MethodCase{"Bcj2", "-m0=BCJ2 -m1=LZMA -m2=LZMA -m3=LZMA -mb0:1 -mb0s1:2 -mb0s2:3", u""},
                      MethodCase{"DefaultWithExecutable", "", u""},
                      MethodCase{"Deflate", "-m0=Deflate -mf=off", u""},
                      MethodCase{"DeflateFastest", "-m0=Deflate:x1 -mf=off -ms=off", u""},
                      MethodCase{"Encrypted", "-m0=LZMA2 -pSecret", u"Secret"},
                      MethodCase{"EncryptedNonSolidCopy", "-m0=Copy -ms=off -pSecret", u"Secret"},
                      MethodCase{"EncryptedHeader", "-m0=LZMA2 -pSecret -mhe=on", u"Secret"},
                      MethodCase{"EncryptedNonAsciiPassword", "-pP\xc3\xa4ss -mhe=on", u"P\u00e4ss"}),
    [](const auto& info) { return std::string(info.param.name); });

class ExtractFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(work.path() / "src");
    writeFile(work.path() / "src" / "first.txt", std::string("first file\n"));
    writeFile(work.path() / "src" / "xx" / "evil.txt", std::string("evil\n"));
    writeFile(work.path() / "src" / "second.bin", pseudoRandomBytes(5000, 1));
  }
  fs::path makeArchive(const std::string& switches) {
    fs::path path = work.path() / "a.7z";
    fs::remove(path);
    EXPECT_EQ(runSevenZip(work.path() / "src", path, switches), 0);
    return path;
  }
  TempFolder work;
};

TEST_F(ExtractFixture, ListsNamesSizesAndFolders) {
  auto none = PasswordSource::fixed(u"");
  Archive archive = openArchive(makeArchive("-m0=Copy -mf=off -mhc=off"), none);
  std::vector<std::string> names;
  for (const auto& entry : archive.database().entries) {
    names.push_back(utf16ToUtf8(joinEntryPath(safeEntryPath(entry.name))) + (entry.isDirectory ? "/" : "") + ":" +
                    std::to_string(entry.size));
    EXPECT_TRUE(entry.modified.has_value());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"first.txt:11", "second.bin:5000", "xx/:0", "xx\\evil.txt:5"}));
}

TEST_F(ExtractFixture, ExtractsOnlyTheSelectionAndFlattensOnRequest) {
  auto none = PasswordSource::fixed(u"");
  Archive archive = openArchive(makeArchive("-m0=Copy -mf=off -mhc=off"), none);
  ExtractOptions options;
  options.keepFolders = false;
  for (const auto& entry : archive.database().entries)
    options.selected.push_back(entry.name.find(u"evil") != std::u16string::npos || entry.name == u"xx");
  FileSystemTarget output(work.path() / "out");
  extract(archive, none, output, options);
  EXPECT_EQ(readFile(work.path() / "out" / "evil.txt"), readFile(work.path() / "src" / "xx" / "evil.txt"));
  EXPECT_FALSE(fs::exists(work.path() / "out" / "xx"));
  EXPECT_FALSE(fs::exists(work.path() / "out" / "first.txt"));
}

TEST_F(ExtractFixture, AsksBeforeReplacingAndKeepsWhatItIsTold) {
  fs::path archive = makeArchive("-m0=Copy -mf=off -mhc=off");
  writeFile(work.path() / "out" / "first.txt", std::string("keep me"));
  writeFile(work.path() / "out" / "second.bin", std::string("replace me"));
  ExtractOptions options;
  std::vector<std::string> asked;
  options.replaceExisting = [&](const Entry& entry) {
    asked.push_back(utf16ToUtf8(entry.name));
    return entry.name == u"second.bin";
  };
  extractAll(archive, work.path() / "out", u"", options);
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<std::string>{"first.txt", "second.bin"}));
  EXPECT_EQ(readFile(work.path() / "out" / "first.txt"), (std::vector<uint8_t>{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
  EXPECT_EQ(readFile(work.path() / "out" / "second.bin"), pseudoRandomBytes(5000, 1));
}

TEST_F(ExtractFixture, ProgressCountsEveryByteAndCanStop) {
  fs::path archive = makeArchive("-m0=Copy -mf=off -mhc=off");
  ExtractOptions options;
  uint64_t lastDone = 0, lastTotal = 0;
  options.progress = [&](const Entry&, uint64_t done, uint64_t total) {
    lastDone = done;
    lastTotal = total;
    return true;
  };
  extractAll(archive, work.path() / "out", u"", options);
  EXPECT_EQ(lastTotal, 11u + 5000u + 5u);
  EXPECT_EQ(lastDone, lastTotal);

  options.progress = [](const Entry&, uint64_t, uint64_t) { return false; };
  EXPECT_EQ(failureOf([&] { extractAll(archive, work.path() / "out2", u"", options); }), ErrorKind::Cancelled);
}

TEST_F(ExtractFixture, HostilePathsFailBeforeAnythingIsWritten) {
  struct Case {
    const char16_t* from;
    const char16_t* to;
  } cases[] = {{u"xx", u".."}, {u"xx/", u"C:/"}, {u"xx", u"\\\\"}, {u"first", u"/irst"}};
  fs::path original = makeArchive("-m0=Copy -mf=off -mhc=off");
  auto bytes = readFile(original);
  for (const auto& c : cases) {
    auto patched = bytes;
    ASSERT_TRUE(patchStoredName(patched, c.from, c.to)) << utf16ToUtf8(c.from);
    fs::path hostile = work.path() / "hostile.7z";
    writeFile(hostile, patched);
    fs::path target = work.path() / "deep" / "target";
    fs::remove_all(work.path() / "deep");
    EXPECT_EQ(failureOf([&] { extractAll(hostile, target); }), ErrorKind::UnsafePath) << utf16ToUtf8(c.to);
    EXPECT_FALSE(fs::exists(work.path() / "deep" / "evil.txt"));
    EXPECT_FALSE(fs::exists(target));
  }
}

TEST_F(ExtractFixture, DamagedDataFailsWithoutLeavingTheDamagedFile) {
  auto bytes = readFile(makeArchive("-m0=Copy -mf=off -mhc=off -ms=off"));
  // The packed data follows the 32-byte signature header; damage the first file's bytes.
  bytes[32 + 3] ^= 0x55;
  writeFile(work.path() / "damaged.7z", bytes);
  EXPECT_EQ(failureOf([&] { extractAll(work.path() / "damaged.7z", work.path() / "out"); }), ErrorKind::Corrupt);
  EXPECT_FALSE(anyPartialFile(work.path() / "out"));
  size_t files = 0;
  for (const auto& item : fs::recursive_directory_iterator(work.path() / "out")) files += item.is_regular_file();
  EXPECT_EQ(files, 0u);
}

TEST_F(ExtractFixture, WrongOrMissingPasswordsNeverLeaveFiles) {
  struct Case {
    const char* switches;
    const char16_t* password;
    ErrorKind expected;
  } cases[] = {
      {"-m0=LZMA2 -pSecret", u"secret", ErrorKind::WrongPassword},
      {"-m0=Copy -pSecret", u"Wrong", ErrorKind::WrongPassword},
      {"-m0=LZMA2 -pSecret -mhe=on", u"Secreu", ErrorKind::WrongPassword},
      {"-m0=LZMA2 -pSecret", u"", ErrorKind::NeedPassword},
      {"-m0=LZMA2 -pSecret -mhe=on", u"", ErrorKind::NeedPassword},
  };
  for (const auto& c : cases) {
    fs::path archive = makeArchive(c.switches);
    fs::path out = work.path() / "out";
    fs::remove_all(out);
    EXPECT_EQ(failureOf([&] { extractAll(archive, out, c.password); }), c.expected) << c.switches;
    size_t files = 0;
    if (fs::exists(out))
      for (const auto& item : fs::recursive_directory_iterator(out)) files += item.is_regular_file();
    EXPECT_EQ(files, 0u) << c.switches;
  }
}

TEST_F(ExtractFixture, AskingForThePasswordHappensOnceAndOnlyWhenNeeded) {
  int asked = 0;
  PasswordSource asking([&]() -> std::optional<std::u16string> {
    ++asked;
    return u"Secret";
  });
  Archive plain = openArchive(makeArchive("-m0=Copy -mf=off"), asking);
  FileSystemTarget plainOut(work.path() / "plain");
  extract(plain, asking, plainOut, {});
  EXPECT_EQ(asked, 0);
  Archive encrypted = openArchive(makeArchive("-pSecret -ms=off -mhe=on"), asking);
  FileSystemTarget out(work.path() / "out");
  extract(encrypted, asking, out, {});
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(readFile(work.path() / "out" / "second.bin"), pseudoRandomBytes(5000, 1));
}

TEST_F(ExtractFixture, TruncatedOrForeignFilesAreCorrupt) {
  auto bytes = readFile(makeArchive("-m0=Copy -mf=off -mhc=off"));
  for (size_t keep : {size_t(0), size_t(10), size_t(32), bytes.size() / 2, bytes.size() - 1}) {
    writeFile(work.path() / "cut.7z", std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    EXPECT_EQ(failureOf([&] { extractAll(work.path() / "cut.7z", work.path() / "out"); }), ErrorKind::Corrupt)
        << keep;
  }
  writeFile(work.path() / "text.7z", std::string("just some text, long enough to look like a header....."));
  EXPECT_EQ(failureOf([&] { extractAll(work.path() / "text.7z", work.path() / "out"); }), ErrorKind::Corrupt);
  EXPECT_EQ(failureOf([&] { extractAll(work.path() / "missing.7z", work.path() / "out"); }), ErrorKind::NotFound);
}

}  // namespace
}  // namespace kox::sevenzip
