#include "engine/script/values/result_variable.h"

#include "engine/base/text.h"
#include "engine/script/command/command_context.h"
#include "engine/vars/variable_manager.h"

namespace kox {

void CreateWhenMissing(CommandContext& context, std::string_view name) {
  if (name.empty()) return;
  TVariableManager& store = context.variables();
  if (!store.Exists(name)) store.Put(toUpperAscii(name), "");
}

void WriteResultWithContext(CommandContext& context, std::string_view name, std::string_view value,
                            std::string_view contextLabel) {
  if (name.empty()) return;
  CreateWhenMissing(context, name);
  context.writeVariable(name, value, contextLabel);
}

}  // namespace kox
