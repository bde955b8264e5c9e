// Turns a setup package back into setup source.
#pragma once

#include <string>

#include "engine/startup/package.h"

namespace kox {

// The source of a package read with parsePackageAsWritten(). Parameter lines
// are kept as written ("$DOLLAR$" is shown as "$", "$WILD_DOLLAR$" and other
// spellings stay literal), so building the dump gives the same package bytes
// as long as the package was written in the writer's form (numbers in plain
// decimal, nothing behind the last section). When the parameter section is
// not a run of blocks in command order, the dump lists it whole in
// [raw-parameters].
std::string dumpSetupSource(const SetupPackage& asWritten);

}  // namespace kox
