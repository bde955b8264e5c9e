// The long-operation wait of the commands that run their work on a worker
// thread ("Find All Files"): wait until the worker is done while watching
// the user's cancel request, then settle a cancellation the script's way.
//
// Each turn looks at the worker and then runs the context's wait step (one
// window message, waiting for one when none is queued), so the worker must
// wake the waiting thread when it finishes. A silent run has no windows: it
// only waits on the worker.
#pragma once

#include <string_view>

#include "engine/script/command/command_context.h"
#include "engine/script/files/find_all_files_thread.h"

namespace kox {

// Waits for worker. When "KELD_IsCancelled" is true the worker is told to
// stop (the last-delegate tick is copied to the last-active tick first, so
// the watchdog gives the worker time to stop). Returns true when the work
// ended without a cancellation. After a cancellation: with ABORTONERROR true
// the script ends (EngineError "Setup cancelled"); otherwise ABORTEDONERROR
// becomes "TRUE" with abortContext and false is returned.
bool waitForWorker(CommandContext& context, LongOperationWorker& worker, std::string_view abortContext);

}  // namespace kox
