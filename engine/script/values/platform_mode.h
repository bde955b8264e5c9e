// The platform mode: which view of a 64-bit system the engine addresses.
// "Win32" at the start of every run; "Set 64 Bit Mode" changes it to "x64" or
// "ia64". Outside "Win32" mode, commands under WOW64 switch file-system
// redirection off and read the 64-bit registry view.
// Process-wide; safe to read from worker threads.
#pragma once

#include <string>
#include <string_view>

namespace kox {

inline constexpr std::string_view kPlatformWin32 = "Win32";
inline constexpr std::string_view kPlatformX64 = "x64";
inline constexpr std::string_view kPlatformIa64 = "ia64";

std::string PlatformMode();
void SetPlatformMode(std::string_view mode);
// Back to "Win32" (the interpreter does this at every start).
void ResetPlatformMode();
// The mode addresses the 64-bit side (anything but "Win32").
bool PlatformModeIs64Bit();

}  // namespace kox
