// The commands of this family that ask Windows. Each switches file-system
// redirection off for its duration where the platform mode asks for it
// (FileSystemRedirectionOff), and the registry readers use the view of the
// platform mode. A failing system call gives "", 0 or "FALSE"; only numeric
// parameters that are not numbers end the script.
#include "engine/script/values/system_query_commands.h"

#include <windows.h>

#include <vector>

#include "engine/base/win/handle.h"
#include "engine/script/command/command_context.h"
#include "engine/script/values/integer_text.h"
#include "engine/script/values/long_path.h"
#include "engine/script/values/path_value.h"
#include "engine/script/values/result_variable.h"
#include "engine/script/values/win/folder_location.h"
#include "engine/script/values/win/redirection.h"
#include "engine/script/values/win/system_probe_win.h"
#include "engine/vars/script_variables.h"

namespace kox {
namespace {

struct FindCloser {
  void operator()(HANDLE find) const { FindClose(find); }
};

std::optional<std::string> nameOnDisk(const std::string& path) {
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(path.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return std::nullopt;
  std::unique_ptr<void, FindCloser> owned(find);
  return std::string(found.cFileName);
}

// GetShortPathNameA with a buffer as long as the answer needs; "" when the
// path does not exist.
std::string shortPathName(const std::string& path) {
  DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
  if (needed == 0) return {};
  std::vector<char> buffer(needed + 1);
  DWORD length = GetShortPathNameA(path.c_str(), buffer.data(), needed + 1);
  return length == 0 || length > needed ? std::string() : std::string(buffer.data(), length);
}

std::string temporaryFolder() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
}

}  // namespace

void ConvertPathCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = context.parameter(1);
  std::string path = PathValue(context.readVariable(name));
  std::string converted = context.flag(2) ? shortPathName(path) : LongPathName(path, nameOnDisk);
  context.writeResult(name, converted);
}

void GetTemporaryFileCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = plainOrReferenceName(context.parameter(1));
  char file[MAX_PATH + 1] = {};
  std::string folder = temporaryFolder();
  bool created = !folder.empty() && GetTempFileNameA(folder.c_str(), "kox", 0, file) != 0;
  context.writeResult(name, created ? std::string(file) : std::string());
}

void GetSystemSettingsCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = context.parameter(1);
  int64_t code = RequireInt64(context.expanded(2));
  win::WindowsSystemProbe probe(win::RegistryViewForCommand());
  context.writeResult(name, SystemSetting(code, probe));
}

void GetOsOrSpLevelCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  WindowsVersion version = win::QueryWindowsVersion();
  std::string result =
      context.flag(2) ? WindowsName(version) : std::to_string(ServicePackNumber(version.servicePackText));
  context.writeResult(context.parameter(1), result);
}

void GetFolderLocationCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = context.parameter(1);
  int64_t code = RequireInt64(context.expanded(2));
  context.writeResult(name, win::FolderLocation(code, context.flag(3), win::RegistryViewForCommand()));
}

void CheckDiskSpaceCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = plainOrReferenceName(context.parameter(1));
  ULARGE_INTEGER available{}, total{};
  if (!GetDiskFreeSpaceExA(context.pathValue(2).c_str(), &available, &total, nullptr)) available = total = {};
  context.writeResult(name, std::to_string(context.flag(3) ? available.QuadPart : total.QuadPart));
}

void IsMsiSetupInstalledCommand(CommandContext& context) {
  std::string name = context.parameter(2);
  CreateWhenMissing(context, name);
  bool installed = false;
  // msi.dll is bound at run time: a system without Windows Installer answers "FALSE".
  if (win::UniqueModule msi{LoadLibraryA("msi.dll")}) {
    using QueryProductStateFn = INT(WINAPI*)(LPCSTR);
    auto queryProductState = reinterpret_cast<QueryProductStateFn>(
        reinterpret_cast<void*>(GetProcAddress(msi.get(), "MsiQueryProductStateA")));
    constexpr INT kInstallStateDefault = 5;  // INSTALLSTATE_DEFAULT
    installed = queryProductState && queryProductState(context.pathValue(1).c_str()) == kInstallStateDefault;
  }
  WriteResultWithContext(context, name, BoolToText(installed), "MsiQueryProductState");
}

}  // namespace kox
