// A CommandContext for the media command tests: parameters given by the test,
// one real variable store, progress reports recorded. reportProgress may be
// called from a worker thread. Its wait step is the engine's: handle one
// window message, sleeping in the queue until one arrives, so a worker that
// forgets to wake the main thread hangs the test.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/script/command/command_context.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox::media::testing {

struct ProgressRecord {
  std::string text;
  int64_t minimum, maximum, position;
};

struct VariableWrite {
  std::string name, value, context;
};

class TestCommandContext : public CommandContext {
 public:
  explicit TestCommandContext(std::string name = "Extract 7Zip Archive") : name_(std::move(name)) {}

  // Parameters 1..n; expansion replaces $NAME$ references from the store.
  std::vector<std::string> parameters;
  // Called (on the reporting thread) after each progress report is recorded.
  std::function<void(const ProgressRecord&)> onProgress;
  // Called after each writeVariable.
  std::function<void(const VariableWrite&)> onWrite;

  const std::string& commandName() const override { return name_; }
  size_t commandIndex() const override { return 0; }
  const std::string& commandId() const override { return id_; }

  std::string parameter(int k) const override {
    return k >= 1 && size_t(k) <= parameters.size() ? parameters[size_t(k) - 1] : std::string();
  }
  std::string expanded(int k) const override { return store_.ExpandReferences(parameter(k)); }
  std::string translated(int k, int) const override { return expanded(k); }
  std::string pathValue(int k) const override { return expanded(k); }
  bool flag(int k) const override { return TextToBool(expanded(k)); }

  TVariableManager& variables() override { return store_; }
  std::string readVariable(std::string_view name) const override { return store_.Get(name); }
  void writeResult(std::string_view name, std::string_view value) override {
    if (name.empty()) return;
    writeVariable(store_.Exists(name) ? std::string(name) : toUpperAscii(name), value, name_ + " Action");
  }
  void writeVariable(std::string_view name, std::string_view value, std::string_view context) override {
    store_.Put(name, value);
    VariableWrite write{std::string(name), std::string(value), std::string(context)};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      writes_.push_back(write);
    }
    if (onWrite) onWrite(write);
  }

  void fail(const std::string& message) override {
    if (TextToBool(store_.Exists("ABORTONERROR") ? store_.Get("ABORTONERROR") : "TRUE")) throw EngineError(message);
    writeVariable("ABORTEDONERROR", "TRUE", name_ + " Action");
    writeVariable("LASTERROR", message, name_ + " Action");
  }

  void reportProgress(const std::string& text, int64_t minimum, int64_t maximum, int64_t position) override {
    ProgressRecord record{text, minimum, maximum, position};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      progress_.push_back(record);
    }
    if (onProgress) onProgress(record);
  }

  void markExecuted() override {}
  void waitStep() override {
    ++waitSteps;
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  std::atomic<int> waitSteps{0};
  bool silent() const override { return false; }
  const std::string& supportFolder() const override { return folder_; }
  const std::string& executableFolder() const override { return folder_; }

  std::vector<ProgressRecord> progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
  }
  std::vector<VariableWrite> writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
  }

 private:
  std::string name_;
  std::string id_ = "{00000000-0000-0000-0000-000000000000}";
  std::string folder_ = "C:\\";
  TVariableManager store_;
  mutable std::mutex mutex_;
  std::vector<ProgressRecord> progress_;
  std::vector<VariableWrite> writes_;
};

}  // namespace kox::media::testing
