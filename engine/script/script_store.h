// The compiled script as the interpreter addresses it: the per-command lists
// (name, identifier, disabled flag) indexed by command position, parameters
// fetched by identifier, build constants, command headers, the translation
// tables of the chosen language, the label table and the execution marks.
//
// The store is filled from the setup package's lists (SetupPackage fields
// commandNames, commandIds, disabledFlags, parameters, commandHeaders and
// buildConstants); it reads no files itself except the translation tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/script/build_constants.h"
#include "engine/script/command_headers.h"
#include "engine/script/label_table.h"
#include "engine/script/parameter_store.h"
#include "engine/script/translations.h"

namespace kox {

struct ScriptLists {
  std::vector<std::string> commandNames;
  std::vector<std::string> commandIds;
  std::vector<std::string> disabledFlags;   // "C" disables the command
  std::vector<std::string> parameters;      // identifier line, then parameter lines
  std::vector<std::string> commandHeaders;  // header, command index
  std::vector<std::string> buildConstants;  // name, value
};

// Execution marks: whether a command changes the target system and has run.
inline constexpr const char* kMarkSkip = "SKIP";
inline constexpr const char* kMarkNotRun = "FALSE";
inline constexpr const char* kMarkRun = "TRUE";

class ScriptStore {
 public:
  explicit ScriptStore(ScriptLists lists);

  size_t commandCount() const { return names_.size(); }
  // Per-command values; empty text beyond the end of a list.
  const std::string& commandName(size_t index) const;
  const std::string& commandId(size_t index) const;
  bool isDisabled(size_t index) const;

  // Parameter k of a command by identifier (k = 0 is the identifier line).
  std::string fetchParameter(std::string_view identifier, size_t k) const { return parameters_.fetch(identifier, k); }
  // Parameter k of the command at an index.
  // Empty text when the command has no identifier.
  std::string parameter(size_t index, size_t k) const;
  ParameterStore& parameterStore() { return parameters_; }

  std::string expandBuildConstants(std::string_view text) const { return constants_.expand(text); }
  const BuildConstants& buildConstants() const { return constants_; }

  // The header of the command at an index; see CommandHeaders::get.
  std::string commandHeader(long long index, bool initialising) const { return headers_.get(index, initialising); }
  std::string findCommandHeader(long long index) const { return headers_.find(index); }

  void setTranslations(TranslationTables tables) { translations_ = std::move(tables); }
  const TranslationTables& translations() const { return translations_; }
  std::string translatedParameter(std::string_view currentValue, std::string_view key, size_t k) const {
    return translations_.translatedParameter(currentValue, key, k, constants_);
  }

  LabelTable& labels() { return labels_; }
  const LabelTable& labels() const { return labels_; }
  // The run's label table: every "Label" command, disabled ones too, with its index.
  void fillLabelTable();

  std::vector<std::string>& executionMarks() { return marks_; }
  const std::vector<std::string>& executionMarks() const { return marks_; }
  // A target-system command records that it has run.
  void markExecuted(size_t index);

 private:
  std::vector<std::string> names_;
  std::vector<std::string> ids_;
  std::vector<std::string> flags_;
  ParameterStore parameters_;
  BuildConstants constants_;
  CommandHeaders headers_;
  TranslationTables translations_;
  LabelTable labels_;
  std::vector<std::string> marks_;
};

}  // namespace kox
