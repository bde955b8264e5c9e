#include "engine/script/registry/platform_selection.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(PlatformSelection, LastTrueWinsAndOnlyUpperCaseTrueCounts) {
  struct Case {
    const char *current, *win32, *ia64, *x64, *expected;
  };
  const Case cases[] = {
      {"Win32", "FALSE", "FALSE", "TRUE", "x64"},
      {"Win32", "TRUE", "TRUE", "FALSE", "ia64"},
      {"Win32", "TRUE", "TRUE", "TRUE", "x64"},
      {"x64", "TRUE", "FALSE", "FALSE", "Win32"},
      {"Win32", "FALSE", "FALSE", "true", "Win32"},  // lower case: unchanged
      {"x64", "", "", "", "x64"},                     // none: unchanged
      {"ia64", "-1", "FALSE", "True", "ia64"},        // "-1" is not "TRUE" here
  };
  for (const Case& c : cases) {
    EXPECT_EQ(selectPlatformMode(c.current, c.win32, c.ia64, c.x64), c.expected)
        << c.win32 << " " << c.ia64 << " " << c.x64;
  }
}

}  // namespace
}  // namespace kox
