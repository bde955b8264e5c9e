#include "engine/script/files/file_version.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(FileVersion, FromFixedInfoWords) {
  FileVersion v = versionFromFixedInfo(0x00050002, 0x0A280001);
  EXPECT_EQ(versionText(v), "5.2.2600.1");
  EXPECT_EQ(versionText(versionFromFixedInfo(0xFFFFFFFF, 0xFFFF0000)), "65535.65535.65535.0");
  EXPECT_EQ(versionText(FileVersion{}), "0.0.0.0");
}

TEST(FileVersion, ParseText) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"1.2.3.4", "1.2.3.4"}, {"1.0", "1.0.0.0"},       {"", "0.0.0.0"},           {"7", "7.0.0.0"},
      {"1..3", "1.0.3.0"},    {"1.2.3.4.5", "1.2.3.4"}, {"2.x.1", "2.0.1.0"},      {"3.1beta.2", "3.1.2.0"},
      {"1.70000", "1.70000.0.0"}, {"99999999999.1", "4294967295.1.0.0"},
  };
  for (const Case& c : cases) EXPECT_EQ(versionText(parseVersionText(c.text)), c.expected) << c.text;
}

TEST(FileVersion, ComparesPartByPartAsUnsigned) {
  EXPECT_GT(parseVersionText("1.0.0.1"), parseVersionText("1.0"));
  EXPECT_EQ(parseVersionText("1.0.0.0"), parseVersionText("1.0"));
  EXPECT_GT(parseVersionText("1.10"), parseVersionText("1.9"));
  EXPECT_GT(parseVersionText("2.0"), parseVersionText("1.65535.65535.65535"));
  EXPECT_GT(versionFromFixedInfo(0x80000000, 0), parseVersionText("32767.65535"));  // no sign
}

}  // namespace
}  // namespace kox
