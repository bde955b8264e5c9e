#include "engine/script/values/win/redirection.h"

#include "engine/script/values/platform_mode.h"

namespace kox::win {
namespace {

template <typename Function>
Function kernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

}  // namespace

bool RunningUnderWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64Process = kernelFunction<IsWow64ProcessFn>("IsWow64Process");
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

FileSystemRedirectionOff::FileSystemRedirectionOff() {
  if (!RunningUnderWow64() || !PlatformModeIs64Bit()) return;
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto disable = kernelFunction<DisableFn>("Wow64DisableWow64FsRedirection");
  active_ = disable && disable(&previous_);
}

FileSystemRedirectionOff::~FileSystemRedirectionOff() {
  if (!active_) return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  if (auto revert = kernelFunction<RevertFn>("Wow64RevertWow64FsRedirection")) revert(previous_);
}

REGSAM RegistryViewForCommand() {
  if (!RunningUnderWow64()) return 0;
  return PlatformModeIs64Bit() ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

}  // namespace kox::win
