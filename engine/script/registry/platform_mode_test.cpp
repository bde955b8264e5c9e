#include "engine/script/registry/platform_mode.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(PlatformMode, TextRoundTrip) {
  for (PlatformMode mode : {PlatformMode::Win32, PlatformMode::X64, PlatformMode::Ia64}) {
    EXPECT_EQ(platformModeFromText(platformModeText(mode)), mode);
  }
  EXPECT_EQ(platformModeFromText("X64"), PlatformMode::Win32);
  EXPECT_EQ(platformModeFromText(""), PlatformMode::Win32);
}

TEST(PlatformMode, SelectionLastTrueWinsAndOnlyUpperCaseTrueCounts) {
  struct Case {
    PlatformMode current;
    const char *win32, *ia64, *x64;
    PlatformMode expected;
  };
  const Case cases[] = {
      {PlatformMode::Win32, "FALSE", "FALSE", "TRUE", PlatformMode::X64},
      {PlatformMode::Win32, "TRUE", "TRUE", "FALSE", PlatformMode::Ia64},
      {PlatformMode::Win32, "TRUE", "TRUE", "TRUE", PlatformMode::X64},
      {PlatformMode::X64, "TRUE", "FALSE", "FALSE", PlatformMode::Win32},
      {PlatformMode::Win32, "FALSE", "FALSE", "true", PlatformMode::Win32},  // lower case: unchanged
      {PlatformMode::X64, "", "", "", PlatformMode::X64},                   // none: unchanged
      {PlatformMode::Ia64, "-1", "FALSE", "True", PlatformMode::Ia64},      // "-1" is not "TRUE" here
  };
  for (const Case& c : cases) {
    EXPECT_EQ(selectPlatformMode(c.current, c.win32, c.ia64, c.x64), c.expected)
        << c.win32 << " " << c.ia64 << " " << c.x64;
  }
}

TEST(PlatformMode, ProcessWideModeStartsAsWin32AndKeepsChanges) {
  EXPECT_EQ(platformMode(), PlatformMode::Win32);
  setPlatformMode(PlatformMode::X64);
  EXPECT_EQ(platformMode(), PlatformMode::X64);
  setPlatformMode(PlatformMode::Win32);
}

TEST(PlatformMode, RegistryViewAndRedirectionRules) {
  EXPECT_EQ(outsideRegistryView(false), 0u);
  EXPECT_EQ(outsideRegistryView(true), kRegistryView32);

  EXPECT_EQ(commandRegistryView(false, PlatformMode::X64), 0u);
  EXPECT_EQ(commandRegistryView(false, PlatformMode::Win32), 0u);
  EXPECT_EQ(commandRegistryView(true, PlatformMode::Win32), kRegistryView32);
  EXPECT_EQ(commandRegistryView(true, PlatformMode::X64), kRegistryView64);
  EXPECT_EQ(commandRegistryView(true, PlatformMode::Ia64), kRegistryView64);

  EXPECT_FALSE(redirectionSwitchApplies(false, PlatformMode::X64));
  EXPECT_FALSE(redirectionSwitchApplies(true, PlatformMode::Win32));
  EXPECT_TRUE(redirectionSwitchApplies(true, PlatformMode::X64));
  EXPECT_TRUE(redirectionSwitchApplies(true, PlatformMode::Ia64));
}

}  // namespace
}  // namespace kox
