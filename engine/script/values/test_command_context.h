// A CommandContext for the tests of this family: parameters given by the
// test, a private variable store, and a record of every write, failure and
// progress report.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/script/command/command_context.h"
#include "engine/script/values/context_extensions.h"
#include "engine/script/values/path_value.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox::testing {

struct RecordedWrite {
  std::string name;
  std::string value;
  std::string context;
};

struct RecordedProgress {
  std::string text;
  int64_t minimum, maximum, position;
  bool delegated;  // the delegated-progress flag was set at the time
};

class TestCommandContext : public CommandContext, public KeyedTranslation, public ProgressDelegation {
 public:
  explicit TestCommandContext(std::string name, std::vector<std::string> parameters = {})
      : name_(std::move(name)), parameters_(std::move(parameters)) {}

  void setParameters(std::vector<std::string> parameters) { parameters_ = std::move(parameters); }
  // Translations by (key, slot), used while a language is active.
  std::map<std::pair<std::string, int>, std::string> translations;
  bool languageActive = false;
  bool abortOnError = true;

  std::vector<RecordedWrite> writes;
  std::vector<std::string> failures;
  std::vector<RecordedProgress> progress;
  bool delegatedProgress = false;

  const std::string& commandName() const override { return name_; }
  size_t commandIndex() const override { return 0; }
  const std::string& commandId() const override { return id_; }

  std::string parameter(int k) const override {
    return k >= 1 && static_cast<size_t>(k) <= parameters_.size() ? parameters_[k - 1] : std::string();
  }
  std::string expanded(int k) const override { return ExpandText(store_, parameter(k)); }
  std::string translated(int k, int slot) const override {
    return ExpandText(store_, translatedWithKey(parameter(k), id_, slot));
  }
  std::string pathValue(int k) const override { return PathValueOf(expanded(k)); }
  bool flag(int k) const override { return TextToBool(expanded(k)); }

  TVariableManager& variables() override { return store_; }
  std::string readVariable(std::string_view name) const override { return ReadVariable(store_, name); }
  void writeResult(std::string_view name, std::string_view value) override {
    if (name.empty()) return;
    if (!store_.Exists(name)) store_.Put(toUpperAscii(name), "");
    writeVariable(name, value, name_ + " Action");
  }
  void writeVariable(std::string_view name, std::string_view value, std::string_view context) override {
    WriteVariable(store_, name, value, context, WriteProtection{});
    writes.push_back({std::string(name), std::string(value), std::string(context)});
  }
  void fail(const std::string& message) override {
    failures.push_back(message);
    if (abortOnError) throw EngineError(message);
  }
  void reportProgress(const std::string& text, int64_t minimum, int64_t maximum, int64_t position) override {
    progress.push_back({text, minimum, maximum, position, delegatedProgress});
  }
  void markExecuted() override {}
  bool silent() const override { return false; }
  const std::string& supportFolder() const override { return folder_; }
  const std::string& executableFolder() const override { return folder_; }

  std::string translatedWithKey(std::string_view value, std::string_view key, int slot) const override {
    if (!languageActive) return std::string(value);
    auto it = translations.find({std::string(key), slot});
    return it == translations.end() ? std::string(value) : it->second;
  }
  void setDelegatedProgress(bool on) override { delegatedProgress = on; }

  // The stored variable (spelling included), for assertions.
  bool has(std::string_view name) const { return store_.Exists(name); }
  std::string get(std::string_view name) const { return store_.Get(name); }
  // The spelling under which a variable is stored.
  std::string storedName(std::string_view name) const {
    std::vector<std::string> list;
    store_.Enumerate(list);
    for (size_t i = 0; i + 1 < list.size(); i += 2)
      if (equalsIgnoreCase(list[i], name)) return list[i];
    return {};
  }

 private:
  std::string name_;
  std::string id_ = "{TEST-COMMAND}";
  std::string folder_ = "C:\\support\\";
  std::vector<std::string> parameters_;
  TVariableManager store_;
};

}  // namespace kox::testing
