// The Windows version as the engine judges it: family, version numbers with
// the Windows 98 second edition rule, the service pack number, and the system
// names of "Get OS or SP Level".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kox {

// What GetVersionExA (with the product type) reports.
struct WindowsVersion {
  bool ntFamily = true;
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;           // on 9x the high word holds major and minor
  bool workstation = true;      // product type VER_NT_WORKSTATION
  std::string servicePackText;  // szCSDVersion
};

// Minor version, except that Windows 98 second edition (9x 4.10 with a build
// number above 67766445) counts as 4.11.
uint32_t EffectiveMinor(const WindowsVersion& version);

// The largest n from 10 down to 1 whose decimal text occurs in the service
// pack text; 0 when none does.
int ServicePackNumber(std::string_view servicePackText);

// "NT4", "2000", "XP", "2003", "2008", "VISTA", "SEVEN", "95", "98", "98SE",
// "ME" or "UNKNOWN".
std::string WindowsName(const WindowsVersion& version);

// Dotted versions compared component by component, the first differing one
// deciding.
using DottedVersion = std::array<uint32_t, 4>;
bool AtLeast(const DottedVersion& actual, const DottedVersion& required);
bool VersionAtLeast(const WindowsVersion& version, uint32_t major, uint32_t minor);

// "7.0.5730.11" -> {7, 0, 5730, 11}: up to four numbers split at "."; missing
// or non-numeric parts count as 0.
DottedVersion ParseDottedVersion(std::string_view text);

}  // namespace kox
