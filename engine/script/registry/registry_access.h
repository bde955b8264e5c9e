// Registry reads and deletions as the registry commands need them (Windows
// builds only). Every call takes the view flag to OR into its access masks,
// so the caller decides the view (normally registryViewFlag()).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kox::win {

// The root of a registry root code 0 to 4 (the code must be valid).
HKEY registryRoot(int code);

// The value valueName of the key keyPath as "Check Registry" gives it: its
// text by type, or one of the markers NO$KEY, NO$VALUE, UNKNOWN$TYPE,
// READ$ERROR.
std::string readRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                              uint32_t viewFlag);

// Deletes the key and all its subkeys. Returns whether the key is gone.
bool deleteRegistryKeyTree(HKEY root, const std::string& keyPath, uint32_t viewFlag);
// Deletes one value of an existing key; a missing key or value does nothing.
bool deleteRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                         uint32_t viewFlag);

}  // namespace kox::win
