#include "engine/script/values/win/folder_location.h"

#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/base/text.h"
#include "engine/script/values/platform_mode.h"
#include "engine/script/values/win/redirection.h"
#include "engine/script/values/win/registry_read.h"
#include "engine/script/values/win/system_probe_win.h"

namespace kox::win {
namespace {

enum class FolderSource {
  Special,        // a CSIDL, per user and all users
  BootFolder,     // "BootDir" of the setup key
  CdRom,
  ProgramFiles,   // "ProgramFilesDir" / "CommonFilesDir"
  SystemFolder,
  WindowsFolder,
  QuickLaunch,
  WebRoot,
};

struct FolderRule {
  int code;
  FolderSource source;
  int perUser;   // CSIDL for the special folders
  int allUsers;
};

// The all-users profiles folder; not every SDK header names it.
constexpr int kCsidlProfiles = 0x003e;  // CSIDL_PROFILES

constexpr FolderRule kFolders[] = {
    {0, FolderSource::Special, CSIDL_INTERNET_CACHE, CSIDL_INTERNET_CACHE},
    {1, FolderSource::Special, CSIDL_COOKIES, CSIDL_COOKIES},
    {2, FolderSource::Special, CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS},
    {3, FolderSource::Special, CSIDL_FAVORITES, CSIDL_COMMON_FAVORITES},
    {4, FolderSource::Special, CSIDL_MYMUSIC, CSIDL_COMMON_MUSIC},
    {5, FolderSource::Special, CSIDL_MYPICTURES, CSIDL_COMMON_PICTURES},
    {6, FolderSource::Special, CSIDL_MYVIDEO, CSIDL_COMMON_VIDEO},
    {7, FolderSource::Special, CSIDL_NETHOOD, CSIDL_NETHOOD},
    {8, FolderSource::Special, CSIDL_PRINTHOOD, CSIDL_PRINTHOOD},
    {9, FolderSource::BootFolder, 0, 0},
    {10, FolderSource::CdRom, 0, 0},
    {11, FolderSource::Special, CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS},
    {12, FolderSource::Special, CSIDL_STARTMENU, CSIDL_COMMON_STARTMENU},
    {13, FolderSource::Special, CSIDL_STARTUP, CSIDL_COMMON_STARTUP},
    {14, FolderSource::Special, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS},
    {15, FolderSource::Special, CSIDL_APPDATA, CSIDL_COMMON_APPDATA},
    {16, FolderSource::Special, CSIDL_CDBURN_AREA, CSIDL_CDBURN_AREA},
    {17, FolderSource::Special, CSIDL_DESKTOP, CSIDL_COMMON_DESKTOPDIRECTORY},
    {18, FolderSource::Special, CSIDL_FONTS, CSIDL_FONTS},
    {19, FolderSource::Special, CSIDL_PROFILE, kCsidlProfiles},
    {20, FolderSource::ProgramFiles, 0, 0},
    {21, FolderSource::Special, CSIDL_RECENT, CSIDL_RECENT},
    {22, FolderSource::Special, CSIDL_SENDTO, CSIDL_SENDTO},
    {23, FolderSource::SystemFolder, 0, 0},
    {24, FolderSource::Special, CSIDL_TEMPLATES, CSIDL_TEMPLATES},
    {25, FolderSource::WindowsFolder, 0, 0},
    {26, FolderSource::QuickLaunch, 0, 0},
    {27, FolderSource::WebRoot, 0, 0},
};

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

struct PidlFreer {
  void operator()(LPITEMIDLIST pidl) const { CoTaskMemFree(pidl); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFreer>;

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The short form of a wide path, in the ANSI code page.
std::string shortAnsiPath(const wchar_t* path) {
  DWORD needed = GetShortPathNameW(path, nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> shortPath(needed + 1);
  DWORD length = GetShortPathNameW(path, shortPath.data(), needed + 1);
  if (length == 0 || length > needed) return {};
  int bytes = WideCharToMultiByte(CP_ACP, 0, shortPath.data(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(std::max(bytes, 0)), '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_ACP, 0, shortPath.data(), static_cast<int>(length), result.data(), bytes, nullptr, nullptr);
  return result;
}

std::string systemFolderFor32BitView() {
  // Under WOW64 in "Win32" mode the 32-bit system folder is SysWOW64.
  if (RunningUnderWow64() && !PlatformModeIs64Bit()) {
    using GetSystemWow64DirectoryFn = UINT(WINAPI*)(LPSTR, UINT);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto getWow64Directory = kernel ? reinterpret_cast<GetSystemWow64DirectoryFn>(reinterpret_cast<void*>(
                                          GetProcAddress(kernel, "GetSystemWow64DirectoryA")))
                                    : nullptr;
    char buffer[MAX_PATH + 1] = {};
    UINT length = getWow64Directory ? getWow64Directory(buffer, MAX_PATH) : 0;
    if (length > 0 && length <= MAX_PATH) return std::string(buffer, length);
  }
  return SystemFolder();
}

std::string windowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string quickLaunchFolder(REGSAM view) {
  auto appData = ReadRegistryText(HKEY_CURRENT_USER,
                                  "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\", "AppData", view);
  if (!appData) return {};
  return *appData + "\\Microsoft\\Internet Explorer\\Quick Launch\\";
}

std::string expandEnvironment(const std::string& text) {
  DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0) return text;
  std::vector<char> buffer(needed + 1);
  DWORD length = ExpandEnvironmentStringsA(text.c_str(), buffer.data(), needed + 1);
  return length == 0 || length > needed + 1 ? text : std::string(buffer.data());
}

std::string beforeFirstComma(const std::string& text) { return text.substr(0, text.find(',')); }

std::string webRoot(REGSAM view) {
  std::string root = expandEnvironment(
      ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\InetStp", "PathWWWRoot", view).value_or(""));
  if (!root.empty()) return root;
  constexpr const char* kVirtualRoots = "SYSTEM\\CurrentControlSet\\Services\\W3SVC\\Parameters\\Virtual Roots\\";
  for (const char* value : {"/", "/,"}) {
    root = beforeFirstComma(ReadRegistryText(HKEY_LOCAL_MACHINE, kVirtualRoots, value, view).value_or(""));
    if (!root.empty()) return root;
  }
  return {};
}

std::string folderOf(const FolderRule& rule, bool allUsers, REGSAM view) {
  switch (rule.source) {
    case FolderSource::Special: return SpecialFolderPath(allUsers ? rule.allUsers : rule.perUser);
    case FolderSource::BootFolder:
      return ReadRegistryText(HKEY_LOCAL_MACHINE, std::string(kCurrentVersionKey) + "\\Setup", "BootDir", view).value_or("");
    case FolderSource::CdRom: return FirstCdRomDrive();
    case FolderSource::ProgramFiles:
      return ReadRegistryText(HKEY_LOCAL_MACHINE, kCurrentVersionKey, allUsers ? "CommonFilesDir" : "ProgramFilesDir", view)
          .value_or("");
    case FolderSource::SystemFolder: return systemFolderFor32BitView();
    case FolderSource::WindowsFolder: return windowsFolder();
    case FolderSource::QuickLaunch: return quickLaunchFolder(view);
    case FolderSource::WebRoot: return webRoot(view);
  }
  return {};
}

}  // namespace

std::string SpecialFolderPath(int csidl) {
  LPITEMIDLIST pidl = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || !pidl) return {};
  UniquePidl owned(pidl);
  char ansi[MAX_PATH + 1] = {};
  std::string path = SHGetPathFromIDListA(owned.get(), ansi) ? std::string(ansi) : std::string();
  if (!path.empty() && path.find('?') == std::string::npos && exists(path)) return path;
  // A name the ANSI code page cannot spell: its short form can.
  wchar_t wide[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListW(owned.get(), wide)) return path;
  std::string shortPath = shortAnsiPath(wide);
  return shortPath.empty() ? path : shortPath;
}

std::string FirstCdRomDrive() {
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_CDROM) return root;
  }
  return {};
}

std::string FolderLocation(int64_t code, bool allUsers, REGSAM registryView) {
  auto rule = std::find_if(std::begin(kFolders), std::end(kFolders),
                           [code](const FolderRule& candidate) { return candidate.code == code; });
  if (rule == std::end(kFolders)) return {};
  return withBackslash(folderOf(*rule, allUsers, registryView));
}

}  // namespace kox::win
