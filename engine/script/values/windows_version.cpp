#include "engine/script/values/windows_version.h"

#include <charconv>

namespace kox {

uint32_t EffectiveMinor(const WindowsVersion& version) {
  constexpr uint32_t kLastFirstEditionBuild = 67766445;  // 0x040A08AD: 4.10.2221
  if (!version.ntFamily && version.major == 4 && version.minor == 10 && version.build > kLastFirstEditionBuild)
    return 11;
  return version.minor;
}

int ServicePackNumber(std::string_view servicePackText) {
  for (int n = 10; n >= 1; --n)
    if (servicePackText.find(std::to_string(n)) != std::string_view::npos) return n;
  return 0;
}

std::string WindowsName(const WindowsVersion& version) {
  uint32_t minor = EffectiveMinor(version);
  if (version.ntFamily) {
    if (version.major == 4 && minor == 0) return "NT4";
    if (version.major == 5 && minor == 0) return "2000";
    if (version.major == 5 && minor == 1) return "XP";
    if (version.major == 5 && minor == 2) return "2003";
    if (version.major == 6 && minor == 0)
      return ServicePackNumber(version.servicePackText) >= 1 && !version.workstation ? "2008" : "VISTA";
    if (version.major == 6 && minor == 1) return "SEVEN";
  } else if (version.major == 4) {
    if (minor == 0) return "95";
    if (minor == 10) return "98";
    if (minor == 11) return "98SE";
    if (minor == 90) return "ME";
  }
  return "UNKNOWN";
}

bool AtLeast(const DottedVersion& actual, const DottedVersion& required) {
  for (size_t i = 0; i < actual.size(); ++i)
    if (actual[i] != required[i]) return actual[i] > required[i];
  return true;
}

bool VersionAtLeast(const WindowsVersion& version, uint32_t major, uint32_t minor) {
  return AtLeast({version.major, EffectiveMinor(version), 0, 0}, {major, minor, 0, 0});
}

DottedVersion ParseDottedVersion(std::string_view text) {
  DottedVersion parts{};
  for (size_t i = 0; i < parts.size() && !text.empty(); ++i) {
    size_t dot = text.find('.');
    std::string_view part = text.substr(0, dot);
    uint32_t value = 0;
    auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    parts[i] = error == std::errc() && end == part.data() + part.size() ? value : 0;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts;
}

}  // namespace kox
