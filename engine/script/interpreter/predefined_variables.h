// The predefined variables of a run, defined in table order before the first
// command. The values that come from the system are gathered by the caller
// into RunFacts, so the tables themselves are plain data.
#pragma once

#include <cstdint>
#include <string>

#include "engine/vars/script_variables.h"

namespace kox {

struct RunFacts {
  uint64_t tickCount = 0;
  std::string productTitle;
  std::string company;
  std::string version;
  bool administrator = false;
  std::string executablePath;    // EXEFILE
  std::string executableFolder;  // EXEDIR, ROOTDIR; ends in "\"
  bool silent = false;
  std::string logPath;
  std::string commandLineTail;
  std::string outerPackagePath;  // SFXPATH, SFXFILE
  std::string policyPath;        // GPOPATH
  std::string userName;
  std::string userCompany;
  std::string date;
  std::string time;
  std::string tempFolder;
  std::string supportFolder;
  std::string databasePath;      // MSIFILE
};

// The nine progress variables (direct definitions).
void defineProgressVariables(TVariableManager& store, uint64_t tickCount);
// TARGETDIR (empty for now), STARTMENU and ALLUSERS, context "Pre-Initialization".
void definePreInitializationVariables(TVariableManager& store, const WriteProtection& protection,
                                      const RunFacts& facts);
// KELD_COMPRESS_INSTALLER_CACHE to MSIFILE, context "Initialization".
void defineInitializationVariables(TVariableManager& store, const WriteProtection& protection,
                                   const RunFacts& facts);

// Folder of a path with a trailing "\", and its file name.
std::string folderOf(const std::string& path);
std::string fileNameOf(const std::string& path);

}  // namespace kox
