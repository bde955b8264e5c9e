#include "engine/media/media_worker.h"

#include <exception>

#include "engine/base/error.h"
#include "engine/media/media_worker_wait.h"
#include "engine/script/values/win/redirection.h"

namespace kox::media {
namespace {

// Long enough for any window to handle WM_NULL; short enough that a main
// thread which is not pumping messages only slows the worker down.
constexpr UINT kNullMessageTimeoutMs = 2000;

}  // namespace

TMediaWorker::TMediaWorker(HWND ownerWindow)
    : ownerWindow_(ownerWindow),
      starterThread_(GetCurrentThreadId()),
      finishedEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!finishedEvent_) throw EngineError("Failed to create the worker's finished event: " + win::systemErrorText());
}

TMediaWorker::~TMediaWorker() = default;

void TMediaWorker::start() {
  if (thread_.joinable() || finished_) return;
  thread_ = std::thread([this] { body(); });
}

void TMediaWorker::stopThread() {
  if (!thread_.joinable()) return;
  terminate();
  // The worker may be sending a null message to a window of this thread:
  // keep handling sent messages until it has finished.
  waitUntilFinished(*this);
  thread_.join();
}

void TMediaWorker::body() {
  {
    win::FileSystemRedirectionOff workerScope;  // worker begin ... worker end
    try {
      execute();
    } catch (const std::exception& error) {
      failed(error.what());
    } catch (...) {
      failed("Unknown failure in the extraction worker");
    }
  }
  markFinished();
}

void TMediaWorker::markFinished() {
  // The event publishes the outputs written before it (SetEvent and the
  // waits are full barriers).
  finished_ = true;
  SetEvent(finishedEvent_.get());
  // Wake a main thread that sleeps in its message queue. Posted, not sent:
  // the starter may already be past its wait and joining this thread.
  if (ownerWindow_ != nullptr) PostMessageA(ownerWindow_, WM_NULL, 0, 0);
  PostThreadMessageA(starterThread_, WM_NULL, 0, 0);
}

void TMediaWorker::sendNullToOwner() const {
  if (ownerWindow_ == nullptr) return;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(ownerWindow_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kNullMessageTimeoutMs, &ignored);
}

std::mutex& archiveOperationLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace kox::media
