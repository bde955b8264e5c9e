// Writes a setup package: the twenty sections in their order, every line
// ended by CR LF, each list section closed by a line that is exactly "$".
// The layout of the sections is described in engine/startup/package.h.
#pragma once

#include <string>

#include "engine/startup/package.h"

namespace kox {

// The package text. A parameter whose value is a lone "$" is written as
// "$DOLLAR$" so it cannot end the parameter section; every other line is
// written as it stands. Throws EngineError, naming the section, for what the
// reader could not read back: a value holding CR, LF or NUL, a lone "$" in
// another list section, per-command lists whose length differs from the
// number of commands, and pair or triple lists that are not whole.
std::string writePackage(const SetupPackage& package);

}  // namespace kox
