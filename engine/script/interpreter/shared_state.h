// The persistent variable list and the platform mode are kept by the values
// family ("Set Variable", "Set 64 Bit Mode") when it is part of the build; the
// component state file reads and writes them through the component model.
// These two calls carry them across.
#pragma once

#include "engine/script/interpreter/component_state.h"

namespace kox {

// Before writing a state file: the model gets the family's names and mode.
void pullSharedState(ComponentModel& model);
// After loading one: the family gets the model's names and mode.
void pushSharedState(const ComponentModel& model);

}  // namespace kox
