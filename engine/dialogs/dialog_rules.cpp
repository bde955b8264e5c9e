#include "engine/dialogs/dialog_rules.h"

#include <algorithm>
#include <exception>

namespace kox {

namespace {

constexpr std::string_view kEqual = " = ";
constexpr std::string_view kNotEqual = " <> ";
constexpr std::string_view kThen = ")  THEN  ";
constexpr std::string_view kAssign = " := ";
constexpr std::string_view kEnd = ";";
constexpr size_t kSkippedPrefix = 4;  // "IF (" or whatever stands there

// Takes the text before the first separator and removes it and the separator
// from the front of rest. A missing separator gives empty text and still
// removes as many characters as the separator has.
std::string takeBefore(std::string_view& rest, std::string_view separator) {
  const size_t at = rest.find(separator);
  if (at == std::string_view::npos) {
    rest.remove_prefix(std::min(separator.size(), rest.size()));
    return {};
  }
  std::string part(rest.substr(0, at));
  rest.remove_prefix(at + separator.size());
  return part;
}

// Grammar of a rule line, matched by plain text search from left to right
// (the first occurrence of each separator wins):
//
//   rule-line  = any any any any condition ")  THEN  " assignment
//   condition  = control "." property operator value
//   operator   = " <> "   when the line holds " <> " anywhere, else " = "
//   assignment = control "." property " := " value ";"

void parseCondition(std::string_view& rest, DialogRule& rule) {
  const std::string_view op = rule.notEqual ? kNotEqual : kEqual;
  rule.conditionControl = takeBefore(rest, ".");
  rule.conditionProperty = takeBefore(rest, op);
  rule.conditionValue = takeBefore(rest, kThen);
}

void parseAssignment(std::string_view& rest, DialogRule& rule) {
  rule.targetControl = takeBefore(rest, ".");
  rule.targetProperty = takeBefore(rest, kAssign);
  rule.targetValue = takeBefore(rest, kEnd);
}

}  // namespace

DialogRule parseRule(std::string_view line) {
  std::string_view rest = line.substr(std::min(kSkippedPrefix, line.size()));
  DialogRule rule;
  rule.notEqual = rest.find(kNotEqual) != std::string_view::npos;
  parseCondition(rest, rule);
  parseAssignment(rest, rule);
  return rule;
}

std::string readControlProperty(PropertyInterface& properties, std::string_view control,
                                std::string_view property) {
  return properties.read(control, property).value_or(std::string());
}

void writeControlProperty(PropertyInterface& properties, std::string_view control, std::string_view property,
                          std::string_view value) {
  properties.write(control, property, value);
}

std::string resolveRuleValue(PropertyInterface& properties, std::string_view value) {
  const size_t dot = value.find('.');
  if (dot == std::string_view::npos) return std::string(value);
  try {
    if (auto text = properties.read(value.substr(0, dot), value.substr(dot + 1))) return *std::move(text);
  } catch (const std::exception&) {
    // A reference that cannot be read stays literal.
  }
  return std::string(value);
}

bool applyDialogRule(PropertyInterface& properties, const DialogRule& rule) {
  const std::string expected = resolveRuleValue(properties, rule.conditionValue);
  const std::string current = readControlProperty(properties, rule.conditionControl, rule.conditionProperty);
  const bool holds = (current == expected) != rule.notEqual;
  if (holds) {
    writeControlProperty(properties, rule.targetControl, rule.targetProperty,
                         resolveRuleValue(properties, rule.targetValue));
  }
  return holds;
}

void applyDialogRules(PropertyInterface& properties, std::span<const std::string> ruleLines) {
  for (const std::string& line : ruleLines) applyDialogRule(properties, parseRule(line));
}

}  // namespace kox
