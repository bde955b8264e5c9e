#include "engine/script/registry/platform_mode.h"

#include <atomic>

namespace kox {

namespace {

// Written by the interpreter's thread, read by workers: an atomic keeps the
// read of a worker that starts right after a change well defined.
std::atomic<PlatformMode> currentMode{PlatformMode::Win32};

}  // namespace

std::string_view platformModeText(PlatformMode mode) {
  switch (mode) {
    case PlatformMode::X64:
      return "x64";
    case PlatformMode::Ia64:
      return "ia64";
    case PlatformMode::Win32:
      break;
  }
  return "Win32";
}

PlatformMode platformModeFromText(std::string_view text) {
  if (text == "x64") return PlatformMode::X64;
  if (text == "ia64") return PlatformMode::Ia64;
  return PlatformMode::Win32;
}

PlatformMode platformMode() { return currentMode.load(); }

void setPlatformMode(PlatformMode mode) { currentMode.store(mode); }

PlatformMode selectPlatformMode(PlatformMode current, std::string_view win32, std::string_view ia64,
                                std::string_view x64) {
  // Exact comparison: "true" in lower case does not select anything.
  if (win32 == "TRUE") current = PlatformMode::Win32;
  if (ia64 == "TRUE") current = PlatformMode::Ia64;
  if (x64 == "TRUE") current = PlatformMode::X64;
  return current;
}

uint32_t outsideRegistryView(bool underWow64) { return underWow64 ? kRegistryView32 : 0; }

uint32_t commandRegistryView(bool underWow64, PlatformMode mode) {
  if (!underWow64) return 0;
  return mode == PlatformMode::Win32 ? kRegistryView32 : kRegistryView64;
}

bool redirectionSwitchApplies(bool underWow64, PlatformMode mode) {
  return underWow64 && mode != PlatformMode::Win32;
}

}  // namespace kox
