#include "tools/koxbuild/source_fields.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"

namespace kox {
namespace {

TEST(SourceFieldsTest, RowsSplitAtBarsOutsideQuotes) {
  struct Case {
    const char* row;
    std::vector<std::string> fields;
  } cases[] = {
      {"a | b", {"a", "b"}},
      {"  a b  |\tc  ", {"a b", "c"}},
      {"a |", {"a", ""}},
      {"| a", {"", "a"}},
      {"\"a|b\" | c", {"a|b", "c"}},
      {"\"say \\\"hi\\\"\"", {"say \"hi\""}},
      {"\"\\x41\\xff\\x0d\"", {"A\xff\r"}},
      {"data\\ | C:\\dir\\", {"data\\", "C:\\dir\\"}},
      {"\"  padded  \" |x", {"  padded  ", "x"}},
      {"it's \"quoted\" later", {"it's \"quoted\" later"}},
      {"\"\"", {""}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseRow(c.row), c.fields) << c.row;
}

TEST(SourceFieldsTest, BareValueRunsToTheEndOfTheLine) {
  EXPECT_EQ(parseValue("  a | b = c  "), "a | b = c");
  EXPECT_EQ(parseValue(" \" a | b \" "), " a | b ");
  EXPECT_EQ(parseValue(""), "");
}

TEST(SourceFieldsTest, BadQuotingIsReported) {
  for (const char* bad : {"\"abc", "\"a\\q\"", "\"a\" b", "\"\\x4\"", "\"\\x4g\"", "\"a\\"}) {
    EXPECT_THROW(parseRow(bad), EngineError) << bad;
    EXPECT_THROW(parseValue(bad), EngineError) << bad;
  }
}

TEST(SourceFieldsTest, QuotingReadsBackEveryAwkwardValue) {
  const std::string values[] = {"",     " x",   "x ",       "\"q",      "a|b",        "#c",   ";c",
                                "[s",   "\\",   "\xE9t\xE9", "\x7F",    "$",          "\t",   "a\\\"b",
                                "$NEWLINE$", "x = y", "\"", "plain text", std::string("\x01\x1F", 2)};
  for (const std::string& v : values) {
    std::string row = quoteForRow(v);
    std::string value = quoteForValue(v);
    EXPECT_EQ(parseRow(row), std::vector<std::string>{v}) << row;
    EXPECT_EQ(parseValue(value), v) << value;
    for (char c : row + value) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << row << " / " << value;
  }
  EXPECT_EQ(quoteForRow("plain text"), "plain text");
  EXPECT_EQ(quoteForValue("data\\"), "data\\");
}

}  // namespace
}  // namespace kox
