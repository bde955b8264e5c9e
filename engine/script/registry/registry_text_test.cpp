#include "engine/script/registry/registry_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace kox {
namespace {

std::vector<uint8_t> bytes(std::string_view text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(RegistryText, Markers) {
  for (const char* marker : {"NO$KEY", "NO$VALUE", "UNKNOWN$TYPE", "READ$ERROR", "BINARY$VALUE"}) {
    EXPECT_TRUE(isRegistryMarker(marker)) << marker;
  }
  EXPECT_FALSE(isRegistryMarker("no$key"));
  EXPECT_FALSE(isRegistryMarker(""));
  EXPECT_FALSE(isRegistryMarker("NO$KEY "));
}

TEST(RegistryText, DwordIsSigned) {
  EXPECT_EQ(dwordText(0), "0");
  EXPECT_EQ(dwordText(42), "42");
  EXPECT_EQ(dwordText(0xFFFFFFFFu), "-1");
  EXPECT_EQ(dwordText(0x80000000u), "-2147483648");
  EXPECT_EQ(dwordText(0x7FFFFFFFu), "2147483647");
}

TEST(RegistryText, BinaryIsUpperCaseHexInByteOrder) {
  const uint8_t data[] = {0x01, 0xAB, 0x00, 0xff};
  EXPECT_EQ(binaryText(data), "01AB00FF");
  EXPECT_EQ(binaryText({}), "");
}

TEST(RegistryText, StringEndsAtFirstNul) {
  EXPECT_EQ(stringValueText(bytes(std::string_view("abc\0", 4))), "abc");
  EXPECT_EQ(stringValueText(bytes("abc")), "abc");  // stored without terminator
  EXPECT_EQ(stringValueText(bytes(std::string_view("a\0b\0", 4))), "a");
  EXPECT_EQ(stringValueText(bytes("%SystemRoot%\\x")), "%SystemRoot%\\x");
  EXPECT_EQ(stringValueText({}), "");
}

TEST(RegistryText, MultiStringJoinedByNewLineMarker) {
  struct Case {
    std::string_view data, expected;
  };
  const Case cases[] = {
      {std::string_view("a\0b\0c\0\0", 7), "a$NEWLINE$b$NEWLINE$c"},
      {std::string_view("\0", 1), ""},                    // empty list
      {std::string_view("", 0), ""},                      // no data at all
      {std::string_view("one\0two", 7), "one$NEWLINE$two"},  // last string not terminated
      {std::string_view("one\0\0two\0\0", 10), "one"},    // the list ends at an empty string
  };
  for (const Case& c : cases) EXPECT_EQ(multiStringText(bytes(c.data)), c.expected);
}

TEST(RegistryText, RootCodesZeroToFourOnly) {
  for (int code = 0; code <= 4; ++code) EXPECT_EQ(registryRootCode(std::to_string(code)), code);
  for (const char* text : {"5", "-1", "", "02", "2 ", "x", "10"}) {
    EXPECT_FALSE(registryRootCode(text).has_value()) << '"' << text << '"';
  }
}

TEST(RegistryText, KeyPaths) {
  EXPECT_EQ(trimmedKeyPath("\\SOFTWARE\\Maker\\"), "SOFTWARE\\Maker");
  EXPECT_EQ(trimmedKeyPath("SOFTWARE"), "SOFTWARE");
  EXPECT_EQ(trimmedKeyPath("\\\\"), "");
  EXPECT_EQ(trimmedKeyPath(""), "");
}

}  // namespace
}  // namespace kox
