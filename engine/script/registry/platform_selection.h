// "Set 64 Bit Mode": which platform mode its three parameters select.
#pragma once

#include <string>
#include <string_view>

namespace kox {

// Each parameter that is exactly "TRUE" selects its mode, in the order
// 32-bit ("Win32"), Itanium ("ia64"), x64 ("x64"), so the last true one wins;
// when none is, the current mode stays. "true" in lower case selects nothing.
std::string selectPlatformMode(std::string_view current, std::string_view win32, std::string_view ia64,
                               std::string_view x64);

}  // namespace kox
