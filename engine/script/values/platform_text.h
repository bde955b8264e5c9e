// The few text operations whose rules come from the system: the code page of
// the file APIs and the locale's letter case. On Windows they call the system;
// the host build (unit tests) uses ASCII rules.
#pragma once

#include <string>
#include <string_view>

namespace kox {

// SetFileApisToANSI on Windows; nothing elsewhere.
void selectAnsiFileApis();

// Letter case by the system locale (CharUpperBuffA / CharLowerBuffA).
std::string upperCaseForLocale(std::string_view text);
std::string lowerCaseForLocale(std::string_view text);

}  // namespace kox
