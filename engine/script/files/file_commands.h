// The file, folder, text and INI commands: "Does File/Folder Exist", "Get
// File Version", "Check File Version", "Read from Text File", "Write to Text
// File", "Get INI File Settings", "Delete Files Recursive" and "Find All
// Files" (Windows builds). All of them run with the WOW64 file-system
// redirection switched off when the platform mode asks for it.
#pragma once

#include <span>
#include <string>

#include "engine/script/command/command_context.h"
#include "engine/script/files/file_version.h"

namespace kox {

std::span<const CommandEntry> fileCommands();

// The version in a file's fixed version information; 0.0.0.0 when it has none.
FileVersion readFileVersion(const std::string& path);

}  // namespace kox
