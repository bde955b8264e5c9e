#include "engine/script/values/system_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace kox {
namespace {

// A machine described by fields; registry values by "key|value".
class FakeProbe : public SystemProbe {
 public:
  WindowsVersion version{true, 6, 1, 7601, true, "Service Pack 1"};
  uint64_t memory = 0;
  ScreenSize screen;
  int depth = 32;
  int dpi = 96;
  std::set<UserGroup> groups;
  std::optional<uint32_t> languageId;
  std::map<std::string, std::string> texts;
  std::map<std::string, uint32_t> numbers;
  std::optional<DottedVersion> shellVersion;
  bool vmware = false;
  bool virtualPc = false;
  bool tablet = false;

  WindowsVersion windowsVersion() override { return version; }
  uint64_t physicalMemoryBytes() override { return memory; }
  ScreenSize screenSize() override { return screen; }
  int colourDepth() override { return depth; }
  int horizontalDpi() override { return dpi; }
  bool memberOf(UserGroup group) override { return groups.count(group) != 0; }
  std::optional<uint32_t> systemLanguageId() override { return languageId; }
  std::string languageName(uint32_t id) override { return id == 1031 ? "Deutsch (Deutschland)" : "?"; }
  std::optional<std::string> machineText(std::string_view key, std::string_view value) override {
    auto it = texts.find(std::string(key) + "|" + std::string(value));
    if (it == texts.end()) return std::nullopt;
    return it->second;
  }
  std::optional<uint32_t> machineNumber(std::string_view key, std::string_view value) override {
    auto it = numbers.find(std::string(key) + "|" + std::string(value));
    if (it == numbers.end()) return std::nullopt;
    return it->second;
  }
  std::optional<DottedVersion> systemFileVersion(std::string_view fileName) override {
    return fileName == "shdocvw.dll" ? shellVersion : std::nullopt;
  }
  std::string webAnonymousUser() override { return "IUSR_HOST"; }
  std::string userName() override { return "alice"; }
  std::string computerName() override { return "HOST"; }
  std::string userDomain() override { return "WORK"; }
  bool isWow64() override { return true; }
  bool systemMetricSet(SystemMetricFlag flag) override { return flag == SystemMetricFlag::TabletPc && tablet; }
  bool insideVmware() override { return vmware; }
  bool insideVirtualPc() override { return virtualPc; }
  std::string nativeArchitecture() override { return "AMD64"; }
  bool tokenElevated() override { return false; }
};

constexpr uint64_t kMb = 1024 * 1024;

TEST(SystemSetting, MemoryThresholdsAllowTwoMegabytesLess) {
  FakeProbe probe;
  probe.memory = 510 * kMb;  // a 512 MB machine that reports a little less
  EXPECT_EQ(SystemSetting(5, probe), "TRUE");
  EXPECT_EQ(SystemSetting(6, probe), "FALSE");
  probe.memory = 510 * kMb - 1;
  EXPECT_EQ(SystemSetting(5, probe), "FALSE");
  EXPECT_EQ(SystemSetting(4, probe), "TRUE");
  probe.memory = 8192 * kMb;
  for (int code = 1; code <= 7; ++code) EXPECT_EQ(SystemSetting(code, probe), "TRUE") << code;
}

TEST(SystemSetting, ScreenSizeInEitherOrientation) {
  FakeProbe probe;
  probe.screen = {768, 1024};  // portrait
  EXPECT_EQ(SystemSetting(8, probe), "TRUE");
  EXPECT_EQ(SystemSetting(9, probe), "TRUE");
  EXPECT_EQ(SystemSetting(10, probe), "FALSE");
  probe.screen = {1280, 1023};
  EXPECT_EQ(SystemSetting(10, probe), "FALSE");
  probe.screen = {1920, 1440};
  EXPECT_EQ(SystemSetting(12, probe), "TRUE");
  EXPECT_TRUE(ScreenAtLeast({600, 800}, 800, 600));
  EXPECT_FALSE(ScreenAtLeast({799, 700}, 800, 600));  // neither way round
}

TEST(SystemSetting, ColourDepth) {
  FakeProbe probe;
  probe.depth = 16;
  EXPECT_EQ(SystemSetting(13, probe), "TRUE");
  EXPECT_EQ(SystemSetting(14, probe), "TRUE");
  EXPECT_EQ(SystemSetting(15, probe), "FALSE");
  EXPECT_EQ(SystemSetting(16, probe), "FALSE");
}

TEST(SystemSetting, VersionTestsOnSeveralSystems) {
  struct Case {
    WindowsVersion version;
    const char* expected;  // codes 17..32 then 69, 76, 79, 68 as T/F
  };
  // 17 18 19 20 21 22 23 24 25 26 27 28 29 30 31 32 | 69 76 79 68
  const Case cases[] = {
      {{false, 4, 10, 0x040A0BB8, true, " A "}, "TFTTTFTFFFFFFFFF|FFFF"},  // 98 SE
      {{false, 4, 10, 67766445, true, ""}, "TFTTFFTFFFFFFFFF|FFFF"},       // 98
      {{false, 4, 90, 0, true, ""}, "TFTTTTTFFFFFFFFF|FFFF"},              // ME
      {{true, 5, 1, 2600, true, "Service Pack 3"}, "FTTTTTTTTFTTTFFF|FFFF"},
      {{true, 6, 0, 6001, false, "Service Pack 1"}, "FTTTTTTTTTTFFFFF|TTFT"},  // server 2008
      {{true, 6, 0, 6000, false, ""}, "FTTTTTTTTTFFFFFF|TFFT"},
      {{true, 6, 1, 7601, true, "Service Pack 1"}, "FTTTTTTTTTTFFFFF|TFTF"},
  };
  for (const Case& c : cases) {
    FakeProbe probe;
    probe.version = c.version;
    std::string got;
    for (int code = 17; code <= 32; ++code) got += SystemSetting(code, probe)[0];
    got += '|';
    for (int code : {69, 76, 79, 68}) got += SystemSetting(code, probe)[0];
    EXPECT_EQ(got, c.expected) << c.version.major << "." << c.version.minor << " " << c.version.servicePackText;
  }
}

TEST(SystemSetting, GroupsOnNtAndOn9x) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(0, probe), "FALSE");
  EXPECT_EQ(SystemSetting(63, probe), "ERROR");
  probe.groups = {UserGroup::Users, UserGroup::Guests};
  EXPECT_EQ(SystemSetting(63, probe), "USER");
  probe.groups.insert(UserGroup::PowerUsers);
  EXPECT_EQ(SystemSetting(63, probe), "POWER");
  probe.groups.insert(UserGroup::Administrators);
  EXPECT_EQ(SystemSetting(0, probe), "TRUE");
  EXPECT_EQ(SystemSetting(63, probe), "ADMIN");

  FakeProbe old;
  old.version = {false, 4, 0, 0, true, ""};
  EXPECT_EQ(SystemSetting(0, old), "TRUE");
  EXPECT_EQ(SystemSetting(63, old), "ADMIN");
  EXPECT_EQ(SystemSetting(62, old), "");  // no domain on 9x
}

TEST(SystemSetting, RegisteredOwnerComesFromTheFamilysKey) {
  FakeProbe probe;
  probe.texts["SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\|RegisteredOwner"] = "Alice";
  probe.texts["SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\|RegisteredOrganization"] = "Example Ltd";
  probe.texts["SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\|RegisteredOwner"] = "Old Alice";
  EXPECT_EQ(SystemSetting(35, probe), "Alice");
  EXPECT_EQ(SystemSetting(36, probe), "Example Ltd");
  probe.version.ntFamily = false;
  EXPECT_EQ(SystemSetting(35, probe), "Old Alice");
  EXPECT_EQ(SystemSetting(36, probe), "");
}

TEST(SystemSetting, ShellVersionsInTableOrder) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(52, probe), "FALSE");  // no file
  probe.shellVersion = DottedVersion{5, 0, 3314, 2100};
  std::string got;
  for (int code = 37; code <= 52; ++code) got += SystemSetting(code, probe)[0];
  EXPECT_EQ(got, "FFFFFFTTTTTTTTTT");
}

TEST(SystemSetting, WebServerVersions) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(58, probe), "FALSE");  // not installed
  probe.numbers["SOFTWARE\\Microsoft\\InetStp|MajorVersion"] = 7;
  EXPECT_EQ(SystemSetting(58, probe), "FALSE");  // minor missing
  probe.numbers["SOFTWARE\\Microsoft\\InetStp|MinorVersion"] = 0;
  std::string got;
  for (int code : {53, 54, 55, 56, 57, 58, 73, 80}) got += SystemSetting(code, probe)[0];
  EXPECT_EQ(got, "TTTTTTTF");
  probe.numbers["SOFTWARE\\Microsoft\\InetStp|MinorVersion"] = 5;
  EXPECT_EQ(SystemSetting(80, probe), "TRUE");
}

TEST(SystemSetting, BrowserVersions) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(72, probe), "FALSE");
  probe.texts["SOFTWARE\\Microsoft\\Internet Explorer|Version"] = "8.0.6001.18702";
  EXPECT_EQ(SystemSetting(72, probe), "TRUE");
  EXPECT_EQ(SystemSetting(78, probe), "TRUE");
  probe.texts["SOFTWARE\\Microsoft\\Internet Explorer|Version"] = "7.0.5730";  // missing part is 0
  EXPECT_EQ(SystemSetting(72, probe), "FALSE");
  probe.texts["SOFTWARE\\Microsoft\\Internet Explorer|Version"] = "9";
  EXPECT_EQ(SystemSetting(78, probe), "TRUE");
}

TEST(SystemSetting, ValueSettings) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(33, probe), "");
  probe.languageId = 1031;
  EXPECT_EQ(SystemSetting(33, probe), "1031");
  EXPECT_EQ(SystemSetting(34, probe), "Deutsch (Deutschland)");
  EXPECT_EQ(SystemSetting(59, probe), "IUSR_HOST");
  EXPECT_EQ(SystemSetting(60, probe), "alice");
  EXPECT_EQ(SystemSetting(61, probe), "HOST");
  EXPECT_EQ(SystemSetting(62, probe), "WORK");
  EXPECT_EQ(SystemSetting(64, probe), "96");
  EXPECT_EQ(SystemSetting(65, probe), "TRUE");
  EXPECT_EQ(SystemSetting(75, probe), "AMD64");
  EXPECT_EQ(SystemSetting(77, probe), "FALSE");
  EXPECT_EQ(SystemSetting(66, probe), "FALSE");
  probe.tablet = true;
  EXPECT_EQ(SystemSetting(66, probe), "TRUE");
  EXPECT_EQ(SystemSetting(67, probe), "FALSE");
}

TEST(SystemSetting, VirtualMachines) {
  FakeProbe probe;
  EXPECT_EQ(SystemSetting(74, probe), "TRUE");
  probe.virtualPc = true;
  EXPECT_EQ(SystemSetting(71, probe), "TRUE");
  EXPECT_EQ(SystemSetting(70, probe), "FALSE");
  EXPECT_EQ(SystemSetting(74, probe), "FALSE");
}

TEST(SystemSetting, EveryCodeFrom0To80IsAnsweredAndOthersAreEmpty) {
  FakeProbe probe;
  probe.languageId = 1031;
  for (int code = 0; code <= kLastSystemSettingCode; ++code) {
    if (code == 35 || code == 36) continue;  // registry texts this probe lacks
    EXPECT_FALSE(SystemSetting(code, probe).empty()) << code;
  }
  EXPECT_EQ(SystemSetting(81, probe), "");
  EXPECT_EQ(SystemSetting(-1, probe), "");
}

TEST(WindowsName, NamesAndServicePacks) {
  struct Case {
    WindowsVersion version;
    const char* name;
  };
  const Case cases[] = {
      {{true, 4, 0, 1381, true, "Service Pack 6"}, "NT4"},
      {{true, 5, 0, 2195, true, ""}, "2000"},
      {{true, 5, 1, 2600, true, ""}, "XP"},
      {{true, 5, 2, 3790, false, ""}, "2003"},
      {{true, 6, 0, 6001, false, "Service Pack 1"}, "2008"},
      {{true, 6, 0, 6001, true, "Service Pack 1"}, "VISTA"},
      {{true, 6, 0, 6000, false, ""}, "VISTA"},
      {{true, 6, 1, 7600, true, ""}, "SEVEN"},
      {{true, 6, 2, 9200, true, ""}, "UNKNOWN"},
      {{true, 10, 0, 19045, true, ""}, "UNKNOWN"},
      {{false, 4, 0, 950, true, ""}, "95"},
      {{false, 4, 10, 0x040A07CE, true, ""}, "98"},
      {{false, 4, 10, 0x040A08AE, true, " A "}, "98SE"},
      {{false, 4, 90, 3000, true, ""}, "ME"},
      {{false, 5, 0, 0, true, ""}, "UNKNOWN"},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowsName(c.version), c.name) << c.version.major << "." << c.version.minor;

  EXPECT_EQ(ServicePackNumber(""), 0);
  EXPECT_EQ(ServicePackNumber("Service Pack 1"), 1);
  EXPECT_EQ(ServicePackNumber("Service Pack 10"), 10);
  EXPECT_EQ(ServicePackNumber("Service Pack 6a"), 6);
}

TEST(DottedVersion, ParseAndCompare) {
  EXPECT_EQ(ParseDottedVersion("7.0.5730.11"), (DottedVersion{7, 0, 5730, 11}));
  EXPECT_EQ(ParseDottedVersion("8.0"), (DottedVersion{8, 0, 0, 0}));
  EXPECT_EQ(ParseDottedVersion("11.x.9600.1.7"), (DottedVersion{11, 0, 9600, 1}));
  EXPECT_EQ(ParseDottedVersion(""), (DottedVersion{}));
  EXPECT_TRUE(AtLeast({6, 1, 0, 0}, {6, 0, 9999, 9999}));
  EXPECT_FALSE(AtLeast({6, 0, 2800, 1105}, {6, 0, 2800, 1106}));
  EXPECT_TRUE(AtLeast({6, 0, 2800, 1106}, {6, 0, 2800, 1106}));
}

}  // namespace
}  // namespace kox
