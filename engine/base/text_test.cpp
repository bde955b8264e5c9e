#include "engine/base/text.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(Text, CaseFoldingIsAsciiOnly) {
  EXPECT_EQ(toUpperAscii("abc\xe9Z"), "ABC\xe9Z");
  EXPECT_EQ(toLowerAscii("C:\\Temp\\SETUP.LOG"), "c:\\temp\\setup.log");
  EXPECT_TRUE(equalsIgnoreCase("TargetDir", "TARGETDIR"));
  EXPECT_FALSE(equalsIgnoreCase("\xe9", "\xc9"));
  EXPECT_FALSE(equalsIgnoreCase("abc", "abcd"));
}

TEST(Text, FindIgnoreCase) {
  EXPECT_EQ(findIgnoreCase("xx/L=c:\\a", "/l="), 2u);
  EXPECT_EQ(findIgnoreCase("abc", "abcd"), std::string_view::npos);
  EXPECT_EQ(findIgnoreCase("abcabc", "BC", 2), 4u);
}

TEST(Text, SplitLines) {
  struct Case { std::string_view text; std::vector<std::string_view> lines; };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r\n", {"a\rb"}},
      {"\r\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitLines(c.text), c.lines) << c.text;
}

TEST(Text, WithBackslash) {
  EXPECT_EQ(withBackslash("C:\\x"), "C:\\x\\");
  EXPECT_EQ(withBackslash("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(withBackslash(""), "");
}

}  // namespace
}  // namespace kox
