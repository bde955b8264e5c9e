// The koxbuild command line:
//
//   koxbuild build SOURCE -o DIR/NAME.exe --stub koxstub.exe
//            [--res ARCHIVE | --res-dir FOLDER] [--7z PROGRAM]
//            [--msi FILE | --msp FILE] [--bmp FILE] [--instance FILE] [--lib FILE]
//   koxbuild package SOURCE -o FILE
//   koxbuild dump SETUP.exe|PACKAGE [-o FILE]
//
// "build" writes the engine image followed by the package of SOURCE, and
// beside it NAME.res (the archive, copied or made from a folder with 7-Zip),
// NAME.msi or NAME.msp, "setup.bmp", "instance.dat" and "kox.lib". "package"
// writes the package text alone. "dump" prints the package of a setup (or a
// bare package file) as setup source.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kox {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one koxbuild command; `arguments` excludes the program name. Results
// go to `out`, messages to `err`. Returns the process exit code.
int runKoxbuild(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace kox
