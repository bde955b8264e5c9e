// The component model and the component state file that keeps it between
// runs.
//
// Component state file: CR LF-terminated lines, in this order
//
//   1  the component list, one name per line
//   2  "$"
//   3  one selection ("TRUE"/"FALSE") per component, in list order
//   4  "$", then the deleted list, one name per line
//   5  "$", then the hidden list
//   6  "$", then the fixed list
//   7  "$", then the size list: name line, size line (decimal bytes)
//   8  "$"                      (the sixth "$" line)
//   9  the values of TARGETDIR, ALLUSERS and STARTMENU, one line each
//  10  the media data folder in its short form, or an empty line
//  11  per persistent variable: the name, then the value with CR LF as "$NEWLINE$"
//  12  "KELD64WOW", then the platform mode
//  13  "OVERRIDECACHE", then the value of OVERRIDECACHE
//
// Written in full by "Save Feature Selections" and by "Apply Changes" into the
// engine cache; refreshed (lines 11 to 13 replaced) by the post-run; loaded by
// maintenance runs and by "Load Feature Selections" (merge mode).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kox {

class TVariableManager;

inline constexpr const char* kPredefinedComponent = "KELD-PREDEF-COMPONENT";
inline constexpr const char* kLoadComponentsContext = "LoadComponents";

struct ComponentModel {
  std::vector<std::string> components;
  std::vector<std::string> selections;    // parallel to components
  std::vector<std::string> descriptions;  // parallel, padded as needed
  std::vector<std::string> sizes;         // name, size pairs
  std::vector<std::string> deleted;
  std::vector<std::string> hidden;
  std::vector<std::string> fixed;
  int64_t installedSizeBaseline = 0;
  // Variables kept between runs (names; "Set Variable" adds to it).
  std::vector<std::string> persistentVariables;
  // "Win32", "x64" or "ia64" ("Set 64 Bit Mode").
  std::string platformMode = "Win32";

  void clearComponents();
  // Adds the reserved component, selected, unless it is there already.
  void selectPredefinedComponent();
  // Adds a name to the persistent list unless it is there (letter case ignored).
  void addPersistentVariable(const std::string& name);
  // Sum of the sizes of the components that are selected and not deleted.
  int64_t selectedSize() const;
};

// The engine's one component model.
ComponentModel& componentModel();

struct StateFileFolders {
  std::string mediaDataFolderShort;  // line 10; empty in "Save Feature Selections"
};

// Creates or replaces the file with lines 1 to 13. Throws EngineError when the
// file cannot be written.
void writeComponentStateFile(const std::string& path, const ComponentModel& model, const TVariableManager& store,
                             const StateFileFolders& folders);

// Keeps lines 1 to 10 of an existing file and writes lines 11 to 13 anew,
// through a new file (path + ".dat") that replaces the old one. Nothing
// happens when the file does not exist. Throws EngineError when writing fails.
void refreshComponentStateFile(const std::string& path, const ComponentModel& model, const TVariableManager& store);

struct LoadOptions {
  bool merge = false;      // apply selections to existing components, replace the other lists
  bool skipSizes = false;  // read the size section and drop it
};

// Writes one variable with the context "LoadComponents" (protected as every
// script write).
using StateVariableWrite = std::function<void(const std::string& name, const std::string& value)>;

// Reads the file into the model and, through write, the variables. Returns
// false when the file does not exist.
bool loadComponentStateFile(const std::string& path, ComponentModel& model, const StateVariableWrite& write,
                            const LoadOptions& options);

}  // namespace kox
