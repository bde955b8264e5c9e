// The engine's command line: switches, the "/x=" values and NAME=VALUE variables.
//
//   /s  -s  /qn  -qn          silent run (no start-up windows, no messages)
//   /update  /updatesetup     no start-up windows, otherwise an ordinary run
//   .../l=PATH  ...-l=PATH    log path          (argument lower-cased, first 3 characters dropped)
//   .../g=PATH                policy path       (the same way)
//   .../m=PATH                outer package     (the same way)
//   .../p=PATH  ...-p=PATH    media path        (the same way)
//   NAME=VALUE                command-line variable (not starting with "/" or "-")
//
// Switch words compare with letter case ignored. For each "=" value the first
// argument that holds it wins.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

struct CommandLine {
  std::string tail;              // the raw command line without the program path
  bool silent = false;
  bool noStartupWindows = false;  // "update" or "updatesetup"
  std::string logPath;
  std::string policyPath;
  std::string outerPackagePath;
  std::string mediaPath;
  // Two entries per NAME=VALUE argument: NAME upper-cased, then VALUE as written.
  std::vector<std::string> variables;
};

// The raw command line without the program path: a quoted path goes with its
// closing quote and the one character after it; an unquoted path goes up to
// and including the first blank; no blank means no tail.
std::string commandLineTail(std::string_view rawCommandLine);

// args are the process arguments without the program path.
CommandLine parseCommandLine(std::string_view rawCommandLine, const std::vector<std::string>& args);

}  // namespace kox
