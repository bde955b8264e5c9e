// The platform mode of the run ("Win32", "x64" or "ia64") and the rules that
// follow from it: which registry view a command addresses and whether the
// WOW64 file-system redirection is switched off around its work.
//
// The mode is process-wide: the interpreter's thread changes it ("Set 64 Bit
// Mode", the component state file of a maintenance run), worker threads read
// it when they switch redirection on their own thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kox {

enum class PlatformMode { Win32, X64, Ia64 };

// "Win32", "x64", "ia64".
std::string_view platformModeText(PlatformMode mode);
// The mode named by text (exact spelling); Win32 for anything else.
PlatformMode platformModeFromText(std::string_view text);

PlatformMode platformMode();
void setPlatformMode(PlatformMode mode);

// "Set 64 Bit Mode": each parameter that is exactly "TRUE" selects its mode,
// in the order 32-bit, Itanium, x64, so the last true one wins; when none is,
// the current mode stays.
PlatformMode selectPlatformMode(PlatformMode current, std::string_view win32, std::string_view ia64,
                                std::string_view x64);

// Registry access-right additions (KEY_WOW64_64KEY, KEY_WOW64_32KEY).
inline constexpr uint32_t kRegistryView64 = 0x100;
inline constexpr uint32_t kRegistryView32 = 0x200;

// The view flag outside registry-view commands: the 32-bit view under WOW64.
uint32_t outsideRegistryView(bool underWow64);
// The view flag while a registry-view command runs in the given mode.
uint32_t commandRegistryView(bool underWow64, PlatformMode mode);
// Whether redirection-off commands really switch redirection off.
bool redirectionSwitchApplies(bool underWow64, PlatformMode mode);

}  // namespace kox
