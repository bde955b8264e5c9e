// The variable, string and query commands: setting and translating
// variables, expressions, string surgery, arithmetic and the system queries.
// The interpreter dispatches to them by exact name.
#pragma once

#include <span>

#include "engine/script/command/command_context.h"

namespace kox {

// Every command of this family with its handler. The system queries are
// listed in the Windows builds only.
std::span<const CommandEntry> valueCommands();

}  // namespace kox
