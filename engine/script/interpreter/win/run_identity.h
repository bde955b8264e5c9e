// The identity of the run and the Windows side of bootstrap: which product
// and revision this is, where its engine cache lies, and whether this run is
// a first installation, a maintenance run or an upgrade.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "engine/vars/script_variables.h"

namespace kox {

inline constexpr const char* kIdentCacheKey = "SOFTWARE\\Brantwick\\Velmora\\Ident.Cache\\";
inline constexpr const char* kRunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\";

struct RunIdentity {
  std::string productCode;
  std::string revisionCode;
  std::string productTitle;
  std::string databasePath;      // the installer database given to the run
  std::string databaseBaseName;  // its base name, which is the engine's own
  std::string executableFolder;  // ends in "\"
  std::string executableName;    // the engine's file name
  std::string mediaDataFolder;   // may move into the engine cache in a web build
  int buildMode = 0;
  bool loadOldData = false;      // "#LOADOLDDATA#"
  std::string patchCacheName;    // set in a patch run
  bool newInstance = false;      // "Transform Instance" gave a new identity
};

std::optional<std::string> readRegistryText(HKEY root, const std::string& key, const char* value);
bool isAdministrator();
// A shell folder by its identifier, ending in "\"; empty when the system has none.
std::string shellFolder(int folderId);
bool fileExists(const std::string& path);
bool folderExists(const std::string& path);

// The cache root for the all-users or the current-user choice, ending in "\".
std::string cacheRoot(const TVariableManager& store, const RunIdentity& identity, bool allUsers);
// Engine cache folder: cache root + revision code + "\".
std::string engineCacheFolder(const TVariableManager& store, const RunIdentity& identity, bool allUsers);

// Bootstrap: the identity variables, the engine cache, NEEDSUPGRADE,
// MAINTENANCE, the previous installation's data and NEWINSTANCE.
void runBootstrap(RunIdentity& identity, TVariableManager& store, const WriteProtection& protection);

}  // namespace kox
