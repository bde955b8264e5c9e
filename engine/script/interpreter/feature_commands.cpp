#include "engine/script/interpreter/feature_commands.h"

#include "engine/base/error.h"
#include "engine/script/interpreter/component_state.h"
#include "engine/script/interpreter/shared_state.h"

namespace kox {
namespace {

// P1 file. Written in full, without the media data folder line.
void saveFeatureSelections(CommandContext& context) {
  const std::string path = context.pathValue(1);
  pullSharedState(componentModel());
  try {
    writeComponentStateFile(path, componentModel(), context.variables(), StateFileFolders{});
  } catch (const EngineError& e) {
    context.fail(e.what());
  }
}

// P1 file. Merged into the current model.
void loadFeatureSelections(CommandContext& context) {
  const std::string path = context.pathValue(1);
  loadComponentStateFile(
      path, componentModel(),
      [&](const std::string& name, const std::string& value) {
        context.writeVariable(name, value, kLoadComponentsContext);
      },
      LoadOptions{true, false});
  pushSharedState(componentModel());
}

constexpr CommandEntry kFeatureCommands[] = {
    {"Save Feature Selections", saveFeatureSelections},
    {"Load Feature Selections", loadFeatureSelections},
};

}  // namespace

std::span<const CommandEntry> featureCommands() { return kFeatureCommands; }

}  // namespace kox
