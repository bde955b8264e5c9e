// The setup source: a human-written text file that describes a whole setup
// package. The format is documented with an example in FORMAT.md beside this
// file.
#pragma once

#include <string_view>

#include "engine/startup/package.h"

namespace kox {

// Reads a setup source into the package it describes, as it will be written
// (a parameter "$" stays "$"; the writer escapes it). Command identifiers
// that the source leaves out are derived from the product code, the title
// and the command's position, so the same source always builds the same
// package. Throws EngineError "FILE:LINE: message" for anything that cannot
// become a package the engine reads back unchanged.
SetupPackage parseSetupSource(std::string_view text, std::string_view fileName);

}  // namespace kox
