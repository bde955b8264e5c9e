// The registry and environment commands: "Read Registry", "Check Registry",
// "Delete Registry", "Get Environment" and "Set 64 Bit Mode" (Windows builds).
#pragma once

#include <span>

#include "engine/script/command/command_context.h"

namespace kox {

std::span<const CommandEntry> registryCommands();

}  // namespace kox
