// Conversions between the system ANSI code page (the library's 8-bit texts)
// and UTF-16 (archive names, Windows wide paths).
#pragma once

#include <string>

namespace kox::archive {

std::u16string ansiToUtf16(const std::string& text);
// Characters the code page cannot hold become '?'.
std::string utf16ToAnsi(const std::u16string& text);

}  // namespace kox::archive
