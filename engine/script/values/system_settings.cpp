#include "engine/script/values/system_settings.h"

#include <algorithm>
#include <array>

#include "engine/vars/script_variables.h"

namespace kox {
namespace {

enum class Setting {
  Administrator,
  MemoryAtLeastMb,        // arg[0]: megabytes
  ScreenAtLeast,          // arg[0] x arg[1]
  ColourDepthAtLeast,     // arg[0]: bits per pixel
  NotNtFamily,
  NtFamily,
  VersionAtLeast,         // arg[0].arg[1]
  ServerVersionAtLeast,   // arg[0].arg[1], service pack 1 or later, not a workstation
  ServicePackAtLeast,     // arg[0]
  LanguageId,
  LanguageName,
  RegisteredOwner,
  RegisteredOrganisation,
  ShellVersionAtLeast,    // shdocvw.dll at least arg
  WebServerAtLeast,       // arg[0].arg[1]
  WebAnonymousUser,
  UserName,
  ComputerName,
  UserDomain,
  StrongestGroup,
  HorizontalDpi,
  Wow64,
  TabletPc,
  MediaCenter,
  ServerProduct,
  InsideVmware,
  InsideVirtualPc,
  PhysicalMachine,
  BrowserAtLeast,         // Internet Explorer version at least arg
  NativeArchitecture,
  Elevated,
};

struct SettingRule {
  int code;
  Setting setting;
  DottedVersion arg;
};

// Codes in the order of the settings table.
constexpr SettingRule kSettings[] = {
    {0, Setting::Administrator, {}},
    {1, Setting::MemoryAtLeastMb, {32}},
    {2, Setting::MemoryAtLeastMb, {64}},
    {3, Setting::MemoryAtLeastMb, {128}},
    {4, Setting::MemoryAtLeastMb, {256}},
    {5, Setting::MemoryAtLeastMb, {512}},
    {6, Setting::MemoryAtLeastMb, {1024}},
    {7, Setting::MemoryAtLeastMb, {2048}},
    {8, Setting::ScreenAtLeast, {800, 600}},
    {9, Setting::ScreenAtLeast, {1024, 768}},
    {10, Setting::ScreenAtLeast, {1280, 1024}},
    {11, Setting::ScreenAtLeast, {1600, 1200}},
    {12, Setting::ScreenAtLeast, {1920, 1440}},
    {13, Setting::ColourDepthAtLeast, {8}},
    {14, Setting::ColourDepthAtLeast, {16}},
    {15, Setting::ColourDepthAtLeast, {24}},
    {16, Setting::ColourDepthAtLeast, {32}},
    {17, Setting::NotNtFamily, {}},
    {18, Setting::NtFamily, {}},
    {19, Setting::VersionAtLeast, {4, 0}},
    {20, Setting::VersionAtLeast, {4, 10}},
    {21, Setting::VersionAtLeast, {4, 11}},
    {22, Setting::VersionAtLeast, {4, 90}},
    {23, Setting::VersionAtLeast, {4, 0}},
    {24, Setting::VersionAtLeast, {5, 0}},
    {25, Setting::VersionAtLeast, {5, 1}},
    {26, Setting::VersionAtLeast, {5, 2}},
    {27, Setting::ServicePackAtLeast, {1}},
    {28, Setting::ServicePackAtLeast, {2}},
    {29, Setting::ServicePackAtLeast, {3}},
    {30, Setting::ServicePackAtLeast, {4}},
    {31, Setting::ServicePackAtLeast, {5}},
    {32, Setting::ServicePackAtLeast, {6}},
    {33, Setting::LanguageId, {}},
    {34, Setting::LanguageName, {}},
    {35, Setting::RegisteredOwner, {}},
    {36, Setting::RegisteredOrganisation, {}},
    {37, Setting::ShellVersionAtLeast, {6, 0, 2800, 1106}},
    {38, Setting::ShellVersionAtLeast, {6, 0, 2600, 0}},
    {39, Setting::ShellVersionAtLeast, {5, 5, 4807, 2300}},
    {40, Setting::ShellVersionAtLeast, {5, 5, 4522, 1800}},
    {41, Setting::ShellVersionAtLeast, {5, 5, 4134, 100}},
    {42, Setting::ShellVersionAtLeast, {5, 0, 3502, 5400}},
    {43, Setting::ShellVersionAtLeast, {5, 0, 3314, 2100}},
    {44, Setting::ShellVersionAtLeast, {5, 0, 2919, 6307}},
    {45, Setting::ShellVersionAtLeast, {5, 0, 2014, 213}},
    {46, Setting::ShellVersionAtLeast, {4, 72, 3612, 1707}},
    {47, Setting::ShellVersionAtLeast, {4, 72, 3110, 3}},
    {48, Setting::ShellVersionAtLeast, {4, 72, 2106, 7}},
    {49, Setting::ShellVersionAtLeast, {4, 71, 1712, 5}},
    {50, Setting::ShellVersionAtLeast, {4, 70, 1300, 0}},
    {51, Setting::ShellVersionAtLeast, {4, 70, 1215, 0}},
    {52, Setting::ShellVersionAtLeast, {4, 70, 1155, 0}},
    {53, Setting::WebServerAtLeast, {6, 0}},
    {54, Setting::WebServerAtLeast, {5, 1}},
    {55, Setting::WebServerAtLeast, {5, 0}},
    {56, Setting::WebServerAtLeast, {4, 0}},
    {57, Setting::WebServerAtLeast, {3, 0}},
    {58, Setting::WebServerAtLeast, {2, 0}},
    {59, Setting::WebAnonymousUser, {}},
    {60, Setting::UserName, {}},
    {61, Setting::ComputerName, {}},
    {62, Setting::UserDomain, {}},
    {63, Setting::StrongestGroup, {}},
    {64, Setting::HorizontalDpi, {}},
    {65, Setting::Wow64, {}},
    {66, Setting::TabletPc, {}},
    {67, Setting::MediaCenter, {}},
    {68, Setting::ServerProduct, {}},
    {69, Setting::VersionAtLeast, {6, 0}},
    {70, Setting::InsideVmware, {}},
    {71, Setting::InsideVirtualPc, {}},
    {72, Setting::BrowserAtLeast, {7, 0, 5730, 11}},
    {73, Setting::WebServerAtLeast, {7, 0}},
    {74, Setting::PhysicalMachine, {}},
    {75, Setting::NativeArchitecture, {}},
    {76, Setting::ServerVersionAtLeast, {6, 0}},
    {77, Setting::Elevated, {}},
    {78, Setting::BrowserAtLeast, {8, 0, 6001, 18702}},
    {79, Setting::VersionAtLeast, {6, 1}},
    {80, Setting::WebServerAtLeast, {7, 5}},
};

constexpr std::string_view kNtVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
constexpr std::string_view k9xVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
constexpr std::string_view kWebServerKey = "SOFTWARE\\Microsoft\\InetStp";
constexpr std::string_view kBrowserKey = "SOFTWARE\\Microsoft\\Internet Explorer";

// 9x systems have no groups: everyone counts as an administrator.
bool memberOf(SystemProbe& probe, UserGroup group) {
  if (!probe.windowsVersion().ntFamily) return group == UserGroup::Administrators;
  return probe.memberOf(group);
}

std::string registered(SystemProbe& probe, std::string_view value) {
  std::string_view key = probe.windowsVersion().ntFamily ? kNtVersionKey : k9xVersionKey;
  return probe.machineText(key, value).value_or("");
}

bool webServerAtLeast(SystemProbe& probe, uint32_t major, uint32_t minor) {
  auto installedMajor = probe.machineNumber(kWebServerKey, "MajorVersion");
  auto installedMinor = probe.machineNumber(kWebServerKey, "MinorVersion");
  if (!installedMajor || !installedMinor) return false;
  return uint64_t{*installedMajor} * 10 + *installedMinor >= uint64_t{major} * 10 + minor;
}

bool browserAtLeast(SystemProbe& probe, const DottedVersion& required) {
  auto text = probe.machineText(kBrowserKey, "Version");
  return text && AtLeast(ParseDottedVersion(*text), required);
}

std::string languageText(SystemProbe& probe, bool name) {
  auto id = probe.systemLanguageId();
  if (!id) return {};
  return name ? probe.languageName(*id) : std::to_string(*id);
}

std::string answer(const SettingRule& rule, SystemProbe& probe) {
  const DottedVersion& arg = rule.arg;
  switch (rule.setting) {
    case Setting::Administrator: return BoolToText(memberOf(probe, UserGroup::Administrators));
    case Setting::MemoryAtLeastMb:
      return BoolToText(probe.physicalMemoryBytes() >= (uint64_t{arg[0]} - 2) * 1024 * 1024);
    case Setting::ScreenAtLeast: return BoolToText(ScreenAtLeast(probe.screenSize(), arg[0], arg[1]));
    case Setting::ColourDepthAtLeast: return BoolToText(probe.colourDepth() >= static_cast<int>(arg[0]));
    case Setting::NotNtFamily: return BoolToText(!probe.windowsVersion().ntFamily);
    case Setting::NtFamily: return BoolToText(probe.windowsVersion().ntFamily);
    case Setting::VersionAtLeast: return BoolToText(VersionAtLeast(probe.windowsVersion(), arg[0], arg[1]));
    case Setting::ServerVersionAtLeast: {
      WindowsVersion version = probe.windowsVersion();
      return BoolToText(VersionAtLeast(version, arg[0], arg[1]) && ServicePackNumber(version.servicePackText) >= 1 &&
                        !version.workstation);
    }
    case Setting::ServicePackAtLeast:
      return BoolToText(ServicePackNumber(probe.windowsVersion().servicePackText) >= static_cast<int>(arg[0]));
    case Setting::LanguageId: return languageText(probe, false);
    case Setting::LanguageName: return languageText(probe, true);
    case Setting::RegisteredOwner: return registered(probe, "RegisteredOwner");
    case Setting::RegisteredOrganisation: return registered(probe, "RegisteredOrganization");
    case Setting::ShellVersionAtLeast: {
      auto version = probe.systemFileVersion("shdocvw.dll");
      return BoolToText(version && AtLeast(*version, arg));
    }
    case Setting::WebServerAtLeast: return BoolToText(webServerAtLeast(probe, arg[0], arg[1]));
    case Setting::WebAnonymousUser: return probe.webAnonymousUser();
    case Setting::UserName: return probe.userName();
    case Setting::ComputerName: return probe.computerName();
    case Setting::UserDomain: return probe.windowsVersion().ntFamily ? probe.userDomain() : std::string();
    case Setting::StrongestGroup: return StrongestGroup(probe);
    case Setting::HorizontalDpi: return std::to_string(probe.horizontalDpi());
    case Setting::Wow64: return BoolToText(probe.isWow64());
    case Setting::TabletPc: return BoolToText(probe.systemMetricSet(SystemMetricFlag::TabletPc));
    case Setting::MediaCenter: return BoolToText(probe.systemMetricSet(SystemMetricFlag::MediaCenter));
    case Setting::ServerProduct: return BoolToText(!probe.windowsVersion().workstation);
    case Setting::InsideVmware: return BoolToText(probe.insideVmware());
    case Setting::InsideVirtualPc: return BoolToText(probe.insideVirtualPc());
    case Setting::PhysicalMachine: return BoolToText(!probe.insideVmware() && !probe.insideVirtualPc());
    case Setting::BrowserAtLeast: return BoolToText(browserAtLeast(probe, arg));
    case Setting::NativeArchitecture: return probe.nativeArchitecture();
    case Setting::Elevated: return BoolToText(probe.tokenElevated());
  }
  return {};
}

}  // namespace

bool ScreenAtLeast(const ScreenSize& screen, int64_t width, int64_t height) {
  return (screen.width >= width && screen.height >= height) || (screen.height >= width && screen.width >= height);
}

std::string StrongestGroup(SystemProbe& probe) {
  constexpr std::pair<UserGroup, const char*> kOrder[] = {
      {UserGroup::Administrators, "ADMIN"},
      {UserGroup::PowerUsers, "POWER"},
      {UserGroup::Users, "USER"},
      {UserGroup::Guests, "GUEST"},
  };
  for (const auto& [group, text] : kOrder)
    if (memberOf(probe, group)) return text;
  return "ERROR";
}

std::string SystemSetting(int64_t code, SystemProbe& probe) {
  auto rule = std::find_if(std::begin(kSettings), std::end(kSettings),
                           [code](const SettingRule& candidate) { return candidate.code == code; });
  return rule == std::end(kSettings) ? std::string() : answer(*rule, probe);
}

}  // namespace kox
