// The plug-in worker thread of the interpreter, the base the workers share,
// and the wait for them. ("Find All Files" has its own worker in its family.)
//
// A worker's inputs are set before start() and its results read after it has
// finished. It never touches a window: it reports through the progress
// protocol, and when done it marks itself finished and wakes the main thread
// (the engine posts a null message so a wait step that sleeps in the message
// queue returns). Cancellation is cooperative: terminateRequested() is checked
// by the work between items.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace kox {

class RunEnvironment;
class TVariableManager;

class TWorkerThread {
 public:
  // Called on the worker around its work (the engine switches file-system
  // redirection off and on there in 64-bit mode).
  struct Hooks {
    std::function<void()> begin;
    std::function<void()> end;
    std::function<void()> wake;  // wakes the waiting main thread
  };

  virtual ~TWorkerThread();
  TWorkerThread(const TWorkerThread&) = delete;
  TWorkerThread& operator=(const TWorkerThread&) = delete;

  void start();
  bool finished() const { return finished_; }
  void terminate() { terminate_ = true; }
  bool terminateRequested() const { return terminate_; }
  const std::atomic<bool>& terminateFlag() const { return terminate_; }
  // Blocks until the thread has ended (the silent wait, and destruction).
  void join();

 protected:
  explicit TWorkerThread(Hooks hooks) : hooks_(std::move(hooks)) {}
  virtual void execute() = 0;

 private:
  void body();

  Hooks hooks_;
  std::thread thread_;
  std::atomic<bool> finished_{false};
  std::atomic<bool> terminate_{false};
};

// One plug-in call.
class TScriptThread final : public TWorkerThread {
 public:
  TScriptThread(Hooks hooks, std::function<void()> call) : TWorkerThread(std::move(hooks)), call_(std::move(call)) {}
  ~TScriptThread() override { join(); }

 protected:
  void execute() override { call_(); }

 private:
  std::function<void()> call_;
};

// Waits for a worker: wait steps until it has finished (a silent run blocks on
// it instead). When the user cancels, KELD_LastDelegateTick is copied into
// KELD_LastActiveTick, the worker is asked to terminate and onCancel starts
// the watchdog; onWaitEnd stops it.
struct WorkerWaitHooks {
  std::function<void()> onCancel;
  std::function<void()> onWaitEnd;
};
void waitForWorker(TWorkerThread& worker, RunEnvironment& environment, TVariableManager& store, bool silent,
                   const WorkerWaitHooks& hooks = {});

}  // namespace kox
