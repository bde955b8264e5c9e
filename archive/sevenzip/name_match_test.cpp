#include "archive/sevenzip/name_match.h"

#include <gtest/gtest.h>

namespace kox::sevenzip {
namespace {

TEST(NameMatch, ComparesNamesAndWildcards) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"Sub\\File.TXT", "sub/file.txt", true}, {"sub\\file.txt", "sub\\file.txt2", false},
      {"*.txt", "a\\b.txt", true},             {"a\\*", "a\\b\\c", true},
      {"?.txt", "ab.txt", false},              {"gr??e\\x", "gr\xfc\xdf" "e\\x", true},
      {"*", "", true},                         {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},              {"", "a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(matchesEntryName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(NameMatch, RefusesPatternsThatCannotNameAnEntry) {
  for (const char* bad : {"", "\\a", "/a", "C:\\a", "a\\..\\b", "..", "a/.."}) EXPECT_FALSE(isLegalPattern(bad)) << bad;
  for (const char* good : {"a", "a\\b", "..a\\b..", "*", "dir\\*.txt"}) EXPECT_TRUE(isLegalPattern(good)) << good;
}

}  // namespace
}  // namespace kox::sevenzip
