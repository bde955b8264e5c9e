#include "engine/media/media_worker_wait.h"

namespace kox::media {
namespace {

constexpr DWORD kWaitSliceMs = 50;

// Handles messages that other threads have sent to this thread's windows
// (a worker's null message) without taking posted messages from the queue.
void handleSentMessages() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Sleeps after a wait step until there is something to do: new input, the
// worker's end, or the end of a slice. Input that is already queued means
// the step has more to handle, so no sleep then.
void idle(const TMediaWorker& worker) {
  handleSentMessages();
  if (worker.finished() || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) return;
  HANDLE finished = worker.finishedEvent();
  MsgWaitForMultipleObjectsEx(1, &finished, kWaitSliceMs, QS_ALLINPUT, 0);
  handleSentMessages();
}

}  // namespace

void waitStep(const TMediaWorker& worker) {
  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Leave the quit request to the main loop, once the worker is done.
      waitUntilFinished(worker);
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool waitForWorker(TMediaWorker& worker, const std::function<bool()>& cancelRequested,
                   const std::function<void()>& onCancel, const std::function<void()>& step) {
  bool cancelled = false;
  while (!worker.finished()) {
    if (!cancelled && cancelRequested && cancelRequested()) {
      cancelled = true;
      worker.terminate();
      if (onCancel) onCancel();
    }
    if (step)
      step();
    else
      waitStep(worker);
    idle(worker);
  }
  if (!cancelled && cancelRequested && cancelRequested()) cancelled = true;
  return cancelled;
}

void waitUntilFinished(const TMediaWorker& worker) {
  HANDLE finished = worker.finishedEvent();
  for (;;) {
    DWORD woken = MsgWaitForMultipleObjectsEx(1, &finished, INFINITE, QS_SENDMESSAGE, 0);
    if (woken == WAIT_OBJECT_0) return;
    if (woken != WAIT_OBJECT_0 + 1) break;
    handleSentMessages();
  }
  WaitForSingleObject(finished, INFINITE);
}

}  // namespace kox::media
