// Reading single registry values for the query commands.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kox::win {

// A REG_SZ or REG_EXPAND_SZ value (unexpanded); nothing when the key or value
// is missing or of another type. `view` is added to the access rights.
std::optional<std::string> ReadRegistryText(HKEY root, std::string_view key, std::string_view value, REGSAM view);
// A REG_DWORD value.
std::optional<uint32_t> ReadRegistryNumber(HKEY root, std::string_view key, std::string_view value, REGSAM view);

}  // namespace kox::win
