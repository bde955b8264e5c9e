// TFindAllFilesThread: the worker of "Find All Files". It runs the search of
// file_search.h on its own thread, reports each entry it adds as the progress
// text (position -1: numbers unchanged) and moves the progress position one
// step per folder visited, 0 to 100 and round again (text "$IGNORE$"). It
// stops between entries once terminate() is called.
//
// The owner writes the settings before start() and reads result() only after
// waitFinished() has said the worker is done.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/script/files/file_search.h"

namespace kox {

// A worker that the long-operation wait can wait for and stop.
class LongOperationWorker {
 public:
  virtual ~LongOperationWorker() = default;
  // True once the work has ended; waits up to timeout for that.
  virtual bool waitFinished(std::chrono::milliseconds timeout) = 0;
  // Asks the work to stop early (it still finishes and signals as usual).
  virtual void terminate() = 0;
};

class TFindAllFilesThread : public LongOperationWorker {
 public:
  using ProgressReport = std::function<void(const std::string& text, int64_t minimum, int64_t maximum,
                                            int64_t position)>;
  // Runs the work given to it between worker begin and worker end (on Windows:
  // file-system redirection switched off for the worker's thread).
  using WorkerScope = std::function<void(const std::function<void()>& work)>;

  TFindAllFilesThread(FileSearch search, const DirectorySource& source, ProgressReport report,
                      WorkerScope scope = {});
  // Stops and joins a worker that is still running.
  ~TFindAllFilesThread() override;
  TFindAllFilesThread(const TFindAllFilesThread&) = delete;
  TFindAllFilesThread& operator=(const TFindAllFilesThread&) = delete;

  // Called on the worker's thread once it is finished (after waitFinished
  // would say so): the Windows command posts a null message there to end the
  // interpreter's wait for a window message. Set it before start().
  void setWake(std::function<void()> wake) { wake_ = std::move(wake); }

  void start();
  void terminate() override;
  bool waitFinished(std::chrono::milliseconds timeout) override;

  // After the worker has finished: the entries found, and the text of an error
  // that ended the search ("" when none).
  const std::vector<std::string>& result() const { return result_; }
  const std::string& error() const { return error_; }

 private:
  class Reporter;
  void run();

  const FileSearch search_;
  const DirectorySource& source_;
  const ProgressReport report_;
  const WorkerScope scope_;
  std::function<void()> wake_;

  std::atomic<bool> terminated_{false};
  std::mutex mutex_;
  std::condition_variable finishedChanged_;
  bool finished_ = false;
  std::vector<std::string> result_;
  std::string error_;
  std::thread thread_;
};

}  // namespace kox
