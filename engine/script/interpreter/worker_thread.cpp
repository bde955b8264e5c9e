#include "engine/script/interpreter/worker_thread.h"

#include "engine/script/interpreter/progress.h"
#include "engine/script/interpreter/run_environment.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox {

TWorkerThread::~TWorkerThread() { join(); }

void TWorkerThread::start() { thread_ = std::thread([this] { body(); }); }

void TWorkerThread::join() {
  if (thread_.joinable()) thread_.join();
}

void TWorkerThread::body() {
  if (hooks_.begin) hooks_.begin();
  try {
    execute();
  } catch (...) {
    // A worker owns nothing that outlives it; its caller reads the result it left.
  }
  if (hooks_.end) hooks_.end();
  finished_ = true;
  if (hooks_.wake) hooks_.wake();
}

void waitForWorker(TWorkerThread& worker, RunEnvironment& environment, TVariableManager& store, bool silent,
                   const WorkerWaitHooks& hooks) {
  bool cancelled = false;
  while (!worker.finished()) {
    if (silent) {
      worker.join();
      break;
    }
    environment.waitStep();
    if (!cancelled && TextToBool(store.Get(kIsCancelledVariable))) {
      cancelled = true;
      store.Put(kLastActiveTickVariable, store.Get(kLastDelegateTickVariable));
      worker.terminate();
      if (hooks.onCancel) hooks.onCancel();
    }
  }
  if (cancelled && hooks.onWaitEnd) hooks.onWaitEnd();
}

}  // namespace kox
