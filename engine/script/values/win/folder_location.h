// "Get Folder Location": folder codes 0 to 27, per user or for all users.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kox::win {

inline constexpr int64_t kLastFolderCode = 27;

// The folder with a trailing "\" ("" when the system has none, or for a code
// outside 0 to 27). registryView is added to the registry opens.
std::string FolderLocation(int64_t code, bool allUsers, REGSAM registryView);

// A special folder (CSIDL); its short form when the ANSI path cannot
// represent it ("?") or does not exist. No trailing "\".
std::string SpecialFolderPath(int csidl);

// First CD-ROM drive from A to Z as "D:\", "" when there is none.
std::string FirstCdRomDrive();

}  // namespace kox::win
