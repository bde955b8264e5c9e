#include "engine/script/values/win/system_probe_win.h"

#include <cpuid.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/script/values/win/redirection.h"
#include "engine/script/values/win/registry_read.h"

namespace kox::win {
namespace {

// Built-in domain RIDs of the groups the settings ask about.
DWORD groupRid(UserGroup group) {
  switch (group) {
    case UserGroup::Administrators: return DOMAIN_ALIAS_RID_ADMINS;     // 0x220
    case UserGroup::PowerUsers: return DOMAIN_ALIAS_RID_POWER_USERS;    // 0x223
    case UserGroup::Users: return DOMAIN_ALIAS_RID_USERS;               // 0x221
    case UserGroup::Guests: return DOMAIN_ALIAS_RID_GUESTS;             // 0x222
  }
  return 0;
}

struct SidFreer {
  void operator()(PSID sid) const { FreeSid(sid); }
};
using UniqueSid = std::unique_ptr<void, SidFreer>;

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

int displayCaps(int index) {
  UniqueDc dc(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
  return dc ? GetDeviceCaps(dc.get(), index) : 0;
}

// The version resource of a file; empty when it has none.
std::vector<char> versionResource(const std::string& file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, data.data())) return {};
  return data;
}

UniqueHandle processToken() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  return UniqueHandle(token);
}

// BIOS identification texts, which Windows Vista and later keep in the registry.
std::string biosText(const char* value) {
  return ReadRegistryText(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\BIOS", value, 0).value_or("");
}

}  // namespace

WindowsVersion QueryWindowsVersion() {
  OSVERSIONINFOEXA info{};
  info.dwOSVersionInfoSize = sizeof(info);
  WindowsVersion version;
  if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
    // Systems before NT 4 SP6 know only the short structure.
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return version;
    info.wProductType = VER_NT_WORKSTATION;
  }
  version.ntFamily = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.workstation = info.wProductType == VER_NT_WORKSTATION;
  version.servicePackText = info.szCSDVersion;
  return version;
}

std::string SystemFolder() {
  char buffer[MAX_PATH + 1] = {};
  UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string HypervisorVendor() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & (1u << 31))) return {};
  __cpuid(0x40000000, eax, ebx, ecx, edx);
  char vendor[13] = {};
  memcpy(vendor, &ebx, 4);
  memcpy(vendor + 4, &ecx, 4);
  memcpy(vendor + 8, &edx, 4);
  return vendor;
}

WindowsVersion WindowsSystemProbe::windowsVersion() { return QueryWindowsVersion(); }

uint64_t WindowsSystemProbe::physicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

ScreenSize WindowsSystemProbe::screenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int WindowsSystemProbe::colourDepth() { return displayCaps(BITSPIXEL); }

int WindowsSystemProbe::horizontalDpi() { return displayCaps(LOGPIXELSX); }

bool WindowsSystemProbe::memberOf(UserGroup group) {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, groupRid(group), 0, 0, 0, 0, 0, 0, &sid))
    return false;
  UniqueSid owned(sid);
  // A null token: the thread's impersonation token, else the process token.
  BOOL member = FALSE;
  return CheckTokenMembership(nullptr, owned.get(), &member) && member;
}

std::optional<uint32_t> WindowsSystemProbe::systemLanguageId() {
  std::vector<char> resource = versionResource(SystemFolder() + "\\winver.exe");
  if (resource.empty()) return std::nullopt;
  WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(resource.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(WORD) * 2)
    return std::nullopt;
  return translation[0];
}

std::string WindowsSystemProbe::languageName(uint32_t languageId) {
  char buffer[256] = {};
  // Up to the terminator: not every system leaves it out of the count.
  return VerLanguageNameA(languageId, buffer, sizeof(buffer) - 1) > 0 ? std::string(buffer) : std::string();
}

std::optional<std::string> WindowsSystemProbe::machineText(std::string_view key, std::string_view value) {
  return ReadRegistryText(HKEY_LOCAL_MACHINE, key, value, registryView_);
}

std::optional<uint32_t> WindowsSystemProbe::machineNumber(std::string_view key, std::string_view value) {
  return ReadRegistryNumber(HKEY_LOCAL_MACHINE, key, value, registryView_);
}

std::optional<DottedVersion> WindowsSystemProbe::systemFileVersion(std::string_view fileName) {
  std::vector<char> resource = versionResource(SystemFolder() + "\\" + std::string(fileName));
  if (resource.empty()) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&info), &length) || length < sizeof(*info))
    return std::nullopt;
  return DottedVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                       LOWORD(info->dwFileVersionLS)};
}

// The web server's anonymous account is read through the web server
// administration of the IIS commands; without them the query has no answer.
std::string WindowsSystemProbe::webAnonymousUser() { return {}; }

std::string WindowsSystemProbe::userName() {
  char buffer[257] = {};
  DWORD size = sizeof(buffer);
  return GetUserNameA(buffer, &size) ? std::string(buffer) : std::string();
}

std::string WindowsSystemProbe::computerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof(buffer);
  return GetComputerNameA(buffer, &size) ? std::string(buffer, size) : std::string();
}

std::string WindowsSystemProbe::userDomain() {
  UniqueHandle token = processToken();
  if (!token) return {};
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!GetTokenInformation(token.get(), TokenUser, data.data(), size, &size)) return {};
  auto* user = reinterpret_cast<TOKEN_USER*>(data.data());
  char name[257] = {};
  char domain[257] = {};
  DWORD nameSize = sizeof(name);
  DWORD domainSize = sizeof(domain);
  SID_NAME_USE use{};
  if (!LookupAccountSidA(nullptr, user->User.Sid, name, &nameSize, domain, &domainSize, &use)) return {};
  return domain;
}

bool WindowsSystemProbe::isWow64() { return RunningUnderWow64(); }

bool WindowsSystemProbe::systemMetricSet(SystemMetricFlag flag) {
  return GetSystemMetrics(flag == SystemMetricFlag::TabletPc ? SM_TABLETPC : SM_MEDIACENTER) != 0;
}

// VMware reports itself in the hypervisor leaf of CPUID and in the BIOS
// manufacturer; neither needs the privileged backdoor port.
bool WindowsSystemProbe::insideVmware() {
  return HypervisorVendor() == "VMwareVMware" || findIgnoreCase(biosText("SystemManufacturer"), "VMware") != std::string::npos;
}

// Virtual PC presents a Microsoft "Virtual Machine" board without the
// hypervisor leaf that Hyper-V (the same board) sets.
bool WindowsSystemProbe::insideVirtualPc() {
  return biosText("SystemManufacturer") == "Microsoft Corporation" && biosText("SystemProductName") == "Virtual Machine" &&
         HypervisorVendor() != "Microsoft Hv";
}

std::string WindowsSystemProbe::nativeArchitecture() {
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto getNativeSystemInfo = kernel ? reinterpret_cast<GetNativeSystemInfoFn>(
                                          reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                                    : nullptr;
  if (!getNativeSystemInfo) return "X86";
  SYSTEM_INFO info{};
  getNativeSystemInfo(&info);
  switch (info.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL: return "X86";
    case PROCESSOR_ARCHITECTURE_IA64: return "IA64";
    case PROCESSOR_ARCHITECTURE_AMD64: return "AMD64";
    default: return "UNKNOWN";
  }
}

bool WindowsSystemProbe::tokenElevated() {
  UniqueHandle token = processToken();
  if (!token) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = sizeof(elevation);
  return GetTokenInformation(token.get(), TokenElevation, &elevation, size, &size) && elevation.TokenIsElevated;
}

}  // namespace kox::win
