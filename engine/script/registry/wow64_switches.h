// The two WOW64 switches of the engine (Windows builds only):
//   - the file-system redirection switch, per thread: commands marked
//     "redirection off" and the workers they start hold a
//     ScopedRedirectionOff for the duration of their file-system work;
//   - the registry view flag, process-wide: ORed into the access mask of the
//     engine's registry opens; commands marked "registry view" hold a
//     ScopedRegistryView, which selects the view of the platform mode.
// Both depend on the platform mode (platform_mode.h) and do nothing unless the
// engine runs under WOW64.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kox::win {

// Whether this process is a 32-bit process on 64-bit Windows (IsWow64Process,
// bound at run time because older systems lack it).
bool runningUnderWow64();

class ScopedRedirectionOff {
 public:
  ScopedRedirectionOff();
  ~ScopedRedirectionOff();
  ScopedRedirectionOff(const ScopedRedirectionOff&) = delete;
  ScopedRedirectionOff& operator=(const ScopedRedirectionOff&) = delete;

 private:
  bool switched_ = false;
  void* oldValue_ = nullptr;
};

// The flag to OR into registry access masks right now.
uint32_t registryViewFlag();

class ScopedRegistryView {
 public:
  ScopedRegistryView();
  ~ScopedRegistryView();
  ScopedRegistryView(const ScopedRegistryView&) = delete;
  ScopedRegistryView& operator=(const ScopedRegistryView&) = delete;

 private:
  uint32_t previous_;
};

}  // namespace kox::win
