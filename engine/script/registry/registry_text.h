// The texts the registry commands produce, kept apart from the Win32 calls so
// they can be checked anywhere: the marker values, the rendering of each
// value type, the root codes and the key paths as the script writes them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kox {

// Results of "Check Registry" when there is no value to give.
inline constexpr std::string_view kNoKeyMarker = "NO$KEY";
inline constexpr std::string_view kNoValueMarker = "NO$VALUE";
inline constexpr std::string_view kUnknownTypeMarker = "UNKNOWN$TYPE";
inline constexpr std::string_view kReadErrorMarker = "READ$ERROR";
// Cleared by "Read Registry" as well, although no read produces it.
inline constexpr std::string_view kBinaryValueMarker = "BINARY$VALUE";

// Whether text is one of the five markers ("Read Registry" stores those as empty).
bool isRegistryMarker(std::string_view text);

// REG_DWORD: the four bytes as a signed decimal number.
std::string dwordText(uint32_t value);
// REG_BINARY: two upper-case hexadecimal digits per byte, no separators.
std::string binaryText(std::span<const uint8_t> data);
// REG_SZ, REG_EXPAND_SZ: the text up to its first NUL (or the whole data).
std::string stringValueText(std::span<const uint8_t> data);
// REG_MULTI_SZ: the strings in order joined by "$NEWLINE$". The list ends at
// an empty string or at the end of the data, terminated or not.
std::string multiStringText(std::span<const uint8_t> data);

// Registry root code 0 to 4 (HKCR, HKCU, HKLM, HKU, HKCC); nothing for any
// other text, which the commands reject.
std::optional<int> registryRootCode(std::string_view text);

// A key path without leading and trailing backslashes ("\A\B\" is "A\B").
std::string trimmedKeyPath(std::string_view path);

}  // namespace kox
