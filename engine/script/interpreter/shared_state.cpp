#include "engine/script/interpreter/shared_state.h"

#ifdef KOX_HAVE_VALUE_COMMANDS
#include "engine/script/values/persistent_variables.h"
#include "engine/script/values/platform_mode.h"
#endif

namespace kox {

void pullSharedState([[maybe_unused]] ComponentModel& model) {
#ifdef KOX_HAVE_VALUE_COMMANDS
  for (const std::string& name : PersistentVariables()) model.addPersistentVariable(name);
  model.platformMode = PlatformMode();
#endif
}

void pushSharedState([[maybe_unused]] const ComponentModel& model) {
#ifdef KOX_HAVE_VALUE_COMMANDS
  for (const std::string& name : model.persistentVariables) AddPersistentVariable(name);
  SetPlatformMode(model.platformMode);
#endif
}

}  // namespace kox
