#include "engine/script/values/variable_commands.h"

#include "engine/base/text.h"
#include "engine/script/command/command_context.h"
#include "engine/script/values/context_extensions.h"
#include "engine/script/values/integer_text.h"
#include "engine/script/values/persistent_variables.h"
#include "engine/script/values/result_variable.h"
#include "engine/vars/eval.h"
#include "engine/vars/script_variables.h"

namespace kox {

DelegatedProgressScope::DelegatedProgressScope(CommandContext& context)
    : delegation_(dynamic_cast<ProgressDelegation*>(&context)) {
  if (delegation_) delegation_->setDelegatedProgress(true);
}

DelegatedProgressScope::~DelegatedProgressScope() {
  if (delegation_) delegation_->setDelegatedProgress(false);
}

SetVariableTarget ParseSetVariableTarget(std::string_view p1) {
  SetVariableTarget target;
  size_t separator = p1.find(kPersistenceSeparator);
  if (separator != std::string_view::npos) {
    target.persistent = p1.substr(separator + kPersistenceSeparator.size()) == "TRUE";
    p1 = p1.substr(0, separator);
  }
  target.name = plainOrReferenceName(p1);
  return target;
}

namespace {

// Setting PROGRESS or PROGRESSTEXT moves the visible progress bar.
void reportScriptProgress(CommandContext& context) {
  DelegatedProgressScope delegated(context);
  int64_t position = RequireInt64(context.readVariable("PROGRESS"));
  context.reportProgress(context.readVariable("PROGRESSTEXT"), 0, 100, position);
}

}  // namespace

void SetVariableCommand(CommandContext& context) {
  std::string value = context.translated(2, 1);
  SetVariableTarget target = ParseSetVariableTarget(context.parameter(1));
  context.writeResult(target.name, value);
  if (target.persistent && !target.name.empty()) AddPersistentVariable(target.name);

  // Loops and workers poll KELD_IsCancelled; ABORT is the script's way to set it.
  if (equalsIgnoreCase(target.name, "ABORT")) context.writeVariable("KELD_IsCancelled", value, "Set Variable Tricke");
  if (equalsIgnoreCase(target.name, "PROGRESS") || equalsIgnoreCase(target.name, "PROGRESSTEXT"))
    reportScriptProgress(context);
}

void LocalizationVariableCommand(CommandContext& context) {
  std::string name = plainOrReferenceName(context.parameter(1));
  CreateWhenMissing(context, name);
  std::string value = context.parameter(2);
  if (auto* translation = dynamic_cast<const KeyedTranslation*>(&context))
    value = translation->translatedWithKey(value, "ZOZIVORA$" + name + "$ZOZIVORA", 1);
  value = ExpandText(context.variables(), value);
  context.writeVariable(name, value, "Localization Variable Action");
}

void EvaluateExpressionCommand(CommandContext& context) {
  std::string name = context.parameter(2);
  CreateWhenMissing(context, name);
  std::string expression = ExpandTextQuoted(context.variables(), context.parameter(1));
  context.writeResult(name, Evaluate(expression));
}

}  // namespace kox
