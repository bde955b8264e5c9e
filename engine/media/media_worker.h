// The base of the two extraction workers (Windows builds only).
//
// A worker is created on the main thread with all its inputs, started once,
// and runs its work on its own thread between worker begin and worker end
// (file-system redirection off in the 64-bit mode). It never touches a
// window: it reports through the progress protocol (the ProgressReport it is
// given) and wakes the main thread with null messages. When the work is done
// it publishes its outputs and marks itself finished; the starter reads the
// outputs only after finished() (or the wait of media_worker_wait.h) says so.
// Cancellation is cooperative: terminate() asks the work to stop at its next
// progress callback.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "engine/base/win/handle.h"

namespace kox::media {

// Report progress (text, minimum, maximum, position) of the progress protocol.
using ProgressReport = std::function<void(const std::string& text, int64_t minimum, int64_t maximum,
                                          int64_t position)>;

class TMediaWorker {
 public:
  virtual ~TMediaWorker();
  TMediaWorker(const TMediaWorker&) = delete;
  TMediaWorker& operator=(const TMediaWorker&) = delete;

  // Starts the thread; a second call does nothing.
  void start();
  void terminate() { terminate_ = true; }
  bool terminateRequested() const { return terminate_; }
  bool finished() const { return finished_; }
  // Signalled once the worker has marked itself finished.
  HANDLE finishedEvent() const { return finishedEvent_.get(); }

 protected:
  // ownerWindow: the visible dialog (may be null). The thread that creates
  // the worker is the one woken when it finishes.
  explicit TMediaWorker(HWND ownerWindow);
  // The work; exceptions are caught and handed to failed().
  virtual void execute() = 0;
  // Records an exception that ended execute() as the worker's failure.
  virtual void failed(const std::string& message) = 0;

  // Sends a null message to the owner window and waits, for a bounded time,
  // until it has been handled: the worker keeps pace with the window.
  void sendNullToOwner() const;
  // Stops and joins the thread. Every derived class calls it in its
  // destructor, before its own members go.
  void stopThread();

 private:
  void body();
  void markFinished();

  HWND ownerWindow_;
  DWORD starterThread_;
  win::UniqueHandle finishedEvent_;
  std::atomic<bool> terminate_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

// Extractions reach the archive library through process-wide state, so two
// must never overlap: each worker holds this lock for its extraction.
std::mutex& archiveOperationLock();

}  // namespace kox::media
