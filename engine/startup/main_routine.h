// The engine's main routine: from a started setup executable to a finished
// script and a clean machine. Returns the process exit code:
//   the script's code  normal end (0 unless the script set another)
//   11                 an error escaped from package reading, extraction,
//                      dialog preloading or the interpreter
//   13                 no setup package behind the executable
//   14                 the setup archive (base name + ".res") is missing
//   15                 the setup archive could not be extracted
//   16                 neither base name + ".msi" nor + ".msp" exists
// The endings 13 to 16 leave the rest undone, support folder included.
#pragma once

namespace kox {

int runEngine();

}  // namespace kox
