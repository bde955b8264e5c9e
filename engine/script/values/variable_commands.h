// "Set Variable", "Localization Variable" and "Evaluate Expression".
#pragma once

#include <string>
#include <string_view>

namespace kox {

class CommandContext;

// Separator between a "Set Variable" name and its persistence qualifier.
inline constexpr std::string_view kPersistenceSeparator = "$KELD$KELD$";

struct SetVariableTarget {
  std::string name;  // reference form resolved
  bool persistent = false;
};

// P1 of "Set Variable": the qualifier after the separator makes the variable
// persistent when it is exactly "TRUE"; the name is taken in plain or
// reference form.
SetVariableTarget ParseSetVariableTarget(std::string_view p1);

void SetVariableCommand(CommandContext& context);
void LocalizationVariableCommand(CommandContext& context);
void EvaluateExpressionCommand(CommandContext& context);

}  // namespace kox
