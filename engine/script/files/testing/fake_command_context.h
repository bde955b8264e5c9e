// A CommandContext for command tests: scripted parameters, a real variable
// store, the ABORTONERROR rules of fail(), and a record of the progress
// reports (which may come from a worker thread).
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/script/command/command_context.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox::testing {

struct ProgressReport {
  std::string text;
  int64_t minimum, maximum, position;
};

class FakeCommandContext : public CommandContext {
 public:
  FakeCommandContext(std::string name, std::vector<std::string> parameters)
      : name_(std::move(name)), parameters_(std::move(parameters)) {}

  const std::string& commandName() const override { return name_; }
  size_t commandIndex() const override { return 0; }
  const std::string& commandId() const override { return id_; }

  std::string parameter(int k) const override {
    return k >= 1 && static_cast<size_t>(k) <= parameters_.size() ? parameters_[k - 1] : std::string();
  }
  std::string expanded(int k) const override { return ExpandText(store_, parameter(k)); }
  std::string translated(int k, int) const override { return expanded(k); }
  std::string pathValue(int k) const override {
    std::string text = expanded(k);
    std::string out;
    // A leading double backslash (network path) stays; every other doubled one collapses.
    size_t start = text.starts_with("\\\\") ? 2 : 0;
    out = text.substr(0, start);
    for (size_t at = start; at < text.size(); ++at) {
      if (text[at] == '\\' && at > start && text[at - 1] == '\\') continue;
      out += text[at];
    }
    return out;
  }
  bool flag(int k) const override { return TextToBool(expanded(k)); }

  TVariableManager& variables() override { return store_; }
  std::string readVariable(std::string_view name) const override { return ReadVariable(store_, name); }
  void writeResult(std::string_view name, std::string_view value) override {
    if (name.empty()) return;
    if (!store_.Exists(name)) store_.Put(toUpperAscii(name), "");
    writeVariable(name, value, name_ + " Action");
  }
  void writeVariable(std::string_view name, std::string_view value, std::string_view context) override {
    WriteVariable(store_, name, value, context, protection_);
    std::lock_guard lock(mutex_);
    contexts_.emplace_back(name, context);
  }
  void fail(const std::string& message) override {
    ++failures;
    std::optional<std::string> abort = store_.Find("ABORTONERROR");
    if (!abort || TextToBool(*abort)) throw EngineError(message);
    writeVariable("ABORTEDONERROR", "TRUE", name_ + " Action");
    writeVariable("LASTERROR", message, name_ + " Action");
  }
  void reportProgress(const std::string& text, int64_t minimum, int64_t maximum, int64_t position) override {
    std::lock_guard lock(mutex_);
    reports_.push_back({text, minimum, maximum, position});
  }
  void markExecuted() override { executed = true; }
  void waitStep() override { ++waitSteps; }
  bool silent() const override { return false; }
  const std::string& supportFolder() const override { return folder_; }
  const std::string& executableFolder() const override { return folder_; }

  std::vector<ProgressReport> reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
  }
  // Context label of the last write to name, "" when none.
  std::string lastContext(std::string_view name) const {
    std::lock_guard lock(mutex_);
    for (auto it = contexts_.rbegin(); it != contexts_.rend(); ++it) {
      if (equalsIgnoreCase(it->first, name)) return it->second;
    }
    return {};
  }
  // A variable's exact stored name (the spelling of its first write).
  std::string storedName(std::string_view name) const {
    std::vector<std::string> list;
    store_.Enumerate(list);
    for (size_t i = 0; i + 1 < list.size(); i += 2) {
      if (equalsIgnoreCase(list[i], name)) return list[i];
    }
    return {};
  }

  int failures = 0;
  int waitSteps = 0;
  bool executed = false;

 private:
  std::string name_;
  std::string id_ = "{00000000-0000-0000-0000-000000000000}";
  std::vector<std::string> parameters_;
  std::string folder_ = "C:\\";
  mutable TVariableManager store_;
  WriteProtection protection_;
  mutable std::mutex mutex_;
  std::vector<ProgressReport> reports_;
  std::vector<std::pair<std::string, std::string>> contexts_;
};

}  // namespace kox::testing
