// "Get System Settings": the table of settings codes 0 to 80 and the rules
// that turn system facts into the stored texts. The facts come from a
// SystemProbe; the Windows build queries the system (win/system_probe_win.h),
// the unit tests pass a probe of their own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/script/values/windows_version.h"

namespace kox {

enum class UserGroup { Administrators, PowerUsers, Users, Guests };
enum class SystemMetricFlag { TabletPc, MediaCenter };

struct ScreenSize {
  int64_t width = 0;
  int64_t height = 0;
};

// One question per method; a failing system call gives the empty answer
// (0, "", false or nullopt). Registry reads are under HKLM.
class SystemProbe {
 public:
  virtual ~SystemProbe() = default;

  virtual WindowsVersion windowsVersion() = 0;
  virtual uint64_t physicalMemoryBytes() = 0;
  virtual ScreenSize screenSize() = 0;
  virtual int colourDepth() = 0;
  virtual int horizontalDpi() = 0;
  // Membership of the thread's (or the process's) token in a built-in group.
  virtual bool memberOf(UserGroup group) = 0;
  virtual std::optional<uint32_t> systemLanguageId() = 0;
  virtual std::string languageName(uint32_t languageId) = 0;
  virtual std::optional<std::string> machineText(std::string_view key, std::string_view value) = 0;
  virtual std::optional<uint32_t> machineNumber(std::string_view key, std::string_view value) = 0;
  // File version of a file in the system folder.
  virtual std::optional<DottedVersion> systemFileVersion(std::string_view fileName) = 0;
  virtual std::string webAnonymousUser() = 0;
  virtual std::string userName() = 0;
  virtual std::string computerName() = 0;
  virtual std::string userDomain() = 0;
  virtual bool isWow64() = 0;
  virtual bool systemMetricSet(SystemMetricFlag flag) = 0;
  virtual bool insideVmware() = 0;
  virtual bool insideVirtualPc() = 0;
  // "X86", "IA64", "AMD64" or "UNKNOWN".
  virtual std::string nativeArchitecture() = 0;
  virtual bool tokenElevated() = 0;
};

inline constexpr int kLastSystemSettingCode = 80;

// The text for a settings code: "TRUE"/"FALSE" for tests, the value for the
// others, "" for a code outside 0 to 80.
std::string SystemSetting(int64_t code, SystemProbe& probe);

// Either orientation counts: a 768x1024 portrait screen is at least 1024x768.
bool ScreenAtLeast(const ScreenSize& screen, int64_t width, int64_t height);

// "ADMIN", "POWER", "USER", "GUEST" or "ERROR": the first group, in that
// order, the token belongs to.
std::string StrongestGroup(SystemProbe& probe);

}  // namespace kox
