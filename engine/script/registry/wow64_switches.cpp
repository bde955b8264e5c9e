#include "engine/script/registry/wow64_switches.h"

#include <atomic>

#include "engine/script/registry/platform_mode.h"

namespace kox::win {

namespace {

template <typename Function>
Function kernelFunction(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

bool detectWow64() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64Process = kernelFunction<IsWow64ProcessFn>("IsWow64Process");
  BOOL wow64 = FALSE;
  if (isWow64Process == nullptr || !isWow64Process(GetCurrentProcess(), &wow64)) return false;
  return wow64 != FALSE;
}

// The registry view flag; only the interpreter's thread changes it.
std::atomic<uint32_t>& viewFlag() {
  static std::atomic<uint32_t> flag{outsideRegistryView(runningUnderWow64())};
  return flag;
}

}  // namespace

bool runningUnderWow64() {
  static const bool wow64 = detectWow64();
  return wow64;
}

ScopedRedirectionOff::ScopedRedirectionOff() {
  if (!redirectionSwitchApplies(runningUnderWow64(), platformMode())) return;
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  auto disable = kernelFunction<DisableFn>("Wow64DisableWow64FsRedirection");
  switched_ = disable != nullptr && disable(&oldValue_);
}

ScopedRedirectionOff::~ScopedRedirectionOff() {
  if (!switched_) return;
  using RevertFn = BOOL(WINAPI*)(PVOID);
  if (auto revert = kernelFunction<RevertFn>("Wow64RevertWow64FsRedirection")) revert(oldValue_);
}

uint32_t registryViewFlag() { return viewFlag().load(); }

ScopedRegistryView::ScopedRegistryView() : previous_(viewFlag().load()) {
  viewFlag().store(commandRegistryView(runningUnderWow64(), platformMode()));
}

ScopedRegistryView::~ScopedRegistryView() { viewFlag().store(previous_); }

}  // namespace kox::win
