// Where the later stages plug into the start-up: the archive library, the
// dialog engine and the interpreter. Each is one function; the start-up calls
// nothing else of them.
#pragma once

#include <string>

#include "engine/startup/startup_settings.h"

namespace kox {

// Unpacks the setup archive into the support folder (empty password, replace
// existing files, keep the archive's folders). False with an error text on failure.
bool extractSetupArchive(const std::string& archivePath, const std::string& targetFolder, std::string& errorText);

// Dialog engine: initialised with the support folder, then one preload per
// enabled "Display Dialog" command, keyed by the command's index in decimal.
void initDialogEngine(const std::string& supportFolder);
void preloadDialog(const std::string& key, const std::string& formFile);

// Runs the script and gives the process exit code.
int runScript(const ScriptRunInput& input);

}  // namespace kox
