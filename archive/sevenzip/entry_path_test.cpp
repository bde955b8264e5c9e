#include "archive/sevenzip/entry_path.h"

#include <gtest/gtest.h>

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {
namespace {

TEST(EntryPath, SplitsAtBothSeparatorsAndDropsEmptyParts) {
  EXPECT_EQ(safeEntryPath(u"a/b\\c.txt"), (std::vector<std::u16string>{u"a", u"b", u"c.txt"}));
  EXPECT_EQ(safeEntryPath(u"a//b/"), (std::vector<std::u16string>{u"a", u"b"}));
  EXPECT_EQ(safeEntryPath(u"..a/b..c/.hidden"), (std::vector<std::u16string>{u"..a", u"b..c", u".hidden"}));
  EXPECT_EQ(safeEntryPath(u"console.txt/com10"), (std::vector<std::u16string>{u"console.txt", u"com10"}));
}

TEST(EntryPath, RefusesEveryWayOutOfTheTarget) {
  const char16_t* hostile[] = {
      u"",          u"/etc/passwd", u"\\windows\\x", u"\\\\server\\share\\x", u"C:\\x",   u"C:x",
      u"../x",      u"a/../../x",   u"a\\..\\..\\x", u"..",                   u".. /x",   u"a/.../x",
      u"a/./b",     u"file:stream", u"con",          u"NUL.txt",              u"a/com1.log", u"lpt9",
      u"a\x01" "b", u"/",           u"//",
  };
  for (const char16_t* name : hostile) {
    try {
      safeEntryPath(name);
      ADD_FAILURE() << "accepted " << utf16ToUtf8(name);
    } catch (const ArchiveError& error) {
      EXPECT_EQ(error.kind(), ErrorKind::UnsafePath) << utf16ToUtf8(name);
    }
  }
}

TEST(EntryPath, Utf8RoundTripKeepsNonAsciiAndSurrogatePairs) {
  std::u16string text = u"gr\u00fc\u00dfe/\u65e5\u672c/\U0001F600.txt";
  EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(text)), text);
  EXPECT_EQ(utf16ToUtf8(u"\u00e9"), "\xc3\xa9");
  EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

}  // namespace
}  // namespace kox::sevenzip
