// Process-wide settings that the start-up establishes and later stages read.
// Folder values end in "\".
#pragma once

#include <string>
#include <vector>

#include "engine/startup/command_line.h"
#include "engine/startup/message_table.h"
#include "engine/startup/package.h"

namespace kox {

struct StartupSettings {
  std::string executablePath;
  std::string executableFolder;
  std::string executableBaseName;  // file name without extension
  std::string tempFolder;
  std::string archivePath;         // executable folder + base name + ".res"
  std::string supportFolder;       // temporary folder + "kox" + N + "\"; "" until created
  std::string mediaDataFolder;     // executable folder + "data\"
  CommandLine commandLine;
};

// What the interpreter receives: the per-script lists of the package, the
// parameter store list (which holds the package's one parameter list), and
// the installer database path.
struct ScriptRunInput {
  const std::vector<std::string>& commandNames;
  const std::vector<std::string>& commandIds;
  const std::vector<std::string>& disabledFlags;
  const std::vector<std::vector<std::string>>& parameterStores;
  const std::vector<std::string>& commandMediaFolders;
  std::string databasePath;
};

StartupSettings& startupSettings();
MessageTable& messageTable();
// The package as read; the per-script lists are freed after the script has
// run, the other sections live until the process ends.
SetupPackage& setupPackage();

}  // namespace kox
