// Display rules: one line each in the dialog's rules file ("welcome.dfm.koxf"),
// applied after every preparation, release, control event and progress update.
//
//   IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;
//   IF (Edit1.Text <> )  THEN  Button1.Enabled := True;
//   IF (Memo1.MaxLength = 2147483647)  THEN  RadioButton1.Enabled := True;
//
// A value "<control>.<property>" naming an existing property of the dialog
// stands for that property's current text; any other value is literal.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dialogs/property_interface.h"

namespace kox {

struct DialogRule {
  bool notEqual = false;
  std::string conditionControl;
  std::string conditionProperty;
  std::string conditionValue;
  std::string targetControl;
  std::string targetProperty;
  std::string targetValue;

  bool operator==(const DialogRule&) const = default;
};

// Never fails: a garbled line yields empty or odd parts, which name nothing.
DialogRule parseRule(std::string_view line);

// The property's text; empty text when the control or property does not exist.
std::string readControlProperty(PropertyInterface& properties, std::string_view control,
                                std::string_view property);

// Sets the property; nothing when the control or property does not exist.
// A refused value throws (see PropertyInterface::write).
void writeControlProperty(PropertyInterface& properties, std::string_view control, std::string_view property,
                          std::string_view value);

// The value after reference resolution: the text of "<control>.<property>"
// when the part before the first full stop names a control that has the
// property after it; otherwise, and when reading fails, the value as written.
std::string resolveRuleValue(PropertyInterface& properties, std::string_view value);

// Applies one parsed rule; true when its condition held.
bool applyDialogRule(PropertyInterface& properties, const DialogRule& rule);

// Parses and applies every line in order; a later rule sees what earlier
// ones changed. An error of the property interface ends the pass and
// reaches the caller.
void applyDialogRules(PropertyInterface& properties, std::span<const std::string> ruleLines);

}  // namespace kox
