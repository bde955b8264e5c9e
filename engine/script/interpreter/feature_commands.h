// "Save Feature Selections" and "Load Feature Selections": the component
// state file at a path the script names.
#pragma once

#include <span>

#include "engine/script/command/command_context.h"

namespace kox {

std::span<const CommandEntry> featureCommands();

}  // namespace kox
