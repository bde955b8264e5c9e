#include "engine/script/files/find_all_files_thread.h"

#include <exception>

namespace kox {

// The search's observer: progress through the report, stop on terminate().
class TFindAllFilesThread::Reporter : public FileSearchObserver {
 public:
  explicit Reporter(TFindAllFilesThread& owner) : owner_(owner) {}

  void folderVisited() override {
    position_ = (position_ + 1) % 101;
    if (owner_.report_) owner_.report_("$IGNORE$", 0, 100, position_);
  }
  void entryAdded(const std::string& path) override {
    if (owner_.report_) owner_.report_(path, 0, 0, -1);
  }
  bool stopRequested() const override { return owner_.terminated_.load(); }

 private:
  TFindAllFilesThread& owner_;
  int64_t position_ = 0;
};

TFindAllFilesThread::TFindAllFilesThread(FileSearch search, const DirectorySource& source, ProgressReport report,
                                         WorkerScope scope)
    : search_(std::move(search)), source_(source), report_(std::move(report)), scope_(std::move(scope)) {}

TFindAllFilesThread::~TFindAllFilesThread() {
  terminate();
  if (thread_.joinable()) thread_.join();
}

void TFindAllFilesThread::start() { thread_ = std::thread([this] { run(); }); }

void TFindAllFilesThread::terminate() { terminated_.store(true); }

bool TFindAllFilesThread::waitFinished(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!finishedChanged_.wait_for(lock, timeout, [this] { return finished_; })) return false;
  lock.unlock();
  if (thread_.joinable()) thread_.join();
  return true;
}

void TFindAllFilesThread::run() {
  std::vector<std::string> found;
  std::string error;
  auto work = [&] {
    Reporter reporter(*this);
    found = findFiles(search_, source_, &reporter);
  };
  try {
    if (scope_) {
      scope_(work);
    } else {
      work();
    }
  } catch (const std::exception& e) {
    error = e.what();
  }
  {
    std::lock_guard lock(mutex_);
    result_ = std::move(found);
    error_ = std::move(error);
    finished_ = true;
    finishedChanged_.notify_all();
  }
  if (wake_) wake_();
}

}  // namespace kox
