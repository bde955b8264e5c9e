#include "engine/script/values/platform_mode.h"

#include <mutex>

namespace kox {
namespace {

struct ModeState {
  std::mutex mutex;
  std::string mode{kPlatformWin32};
};

ModeState& modeState() {
  static ModeState state;
  return state;
}

}  // namespace

std::string PlatformMode() {
  ModeState& state = modeState();
  std::lock_guard lock(state.mutex);
  return state.mode;
}

void SetPlatformMode(std::string_view mode) {
  ModeState& state = modeState();
  std::lock_guard lock(state.mutex);
  state.mode = mode;
}

void ResetPlatformMode() { SetPlatformMode(kPlatformWin32); }

bool PlatformModeIs64Bit() { return PlatformMode() != kPlatformWin32; }

}  // namespace kox
