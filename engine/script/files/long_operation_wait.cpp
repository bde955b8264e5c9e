#include "engine/script/files/long_operation_wait.h"

#include <chrono>
#include <optional>
#include <string>

#include "engine/base/error.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox {

namespace {

constexpr std::chrono::milliseconds kSilentSlice{50};
constexpr std::chrono::milliseconds kLookAtWorker{1};

bool cancelRequested(const CommandContext& context) { return TextToBool(context.readVariable("KELD_IsCancelled")); }

// ABORTONERROR is "TRUE" unless the script has set it otherwise.
bool abortOnError(CommandContext& context) {
  std::optional<std::string> value = context.variables().Find("ABORTONERROR");
  return !value || TextToBool(*value);
}

}  // namespace

bool waitForWorker(CommandContext& context, LongOperationWorker& worker, std::string_view abortContext) {
  bool stopping = false;
  const bool silent = context.silent();
  while (!worker.waitFinished(silent ? kSilentSlice : kLookAtWorker)) {
    if (!silent) context.waitStep();
    if (!stopping && cancelRequested(context)) {
      context.writeVariable("KELD_LastActiveTick", context.readVariable("KELD_LastDelegateTick"), abortContext);
      worker.terminate();
      stopping = true;
    }
  }
  if (!cancelRequested(context)) return true;
  if (abortOnError(context)) throw EngineError("Setup cancelled");
  context.writeVariable("ABORTEDONERROR", "TRUE", abortContext);
  return false;
}

}  // namespace kox
