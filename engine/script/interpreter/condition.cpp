#include "engine/script/interpreter/condition.h"

#include <array>
#include <charconv>

#include "engine/base/text.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

std::array<int64_t, 4> versionParts(std::string_view text) {
  std::array<int64_t, 4> parts{};
  for (int64_t& part : parts) {
    const size_t dot = text.find('.');
    part = parseDecimal(text.substr(0, dot)).value_or(0);
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts;
}

}  // namespace

std::optional<int64_t> parseDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || (text.front() == '-' && text.size() == 1)) return std::nullopt;
  int64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool versionGreater(std::string_view a, std::string_view b) {
  const auto left = versionParts(a);
  const auto right = versionParts(b);
  for (size_t i = 0; i < left.size(); ++i)
    if (left[i] != right[i]) return left[i] > right[i];
  return false;
}

bool compareValues(std::string_view left, std::string_view operation, std::string_view right) {
  if (operation.size() != 1 || operation[0] < '0' || operation[0] > '6' || operation[0] == '5') return false;
  const char code = operation[0];
  if (code == '6') return versionGreater(left, right);
  const auto leftNumber = parseDecimal(left);
  const auto rightNumber = parseDecimal(right);
  if (leftNumber && rightNumber) return code == '2' ? *leftNumber > *rightNumber : *leftNumber == *rightNumber;
  switch (code) {
    case '0': return left == right;
    case '1': return left.find(right) != std::string_view::npos;
    case '2': return left > right;  // byte-wise: string_view compares as unsigned char
    case '3': return findIgnoreCase(left, right) != std::string_view::npos;
    case '4': return equalsIgnoreCase(left, right);
  }
  return false;
}

bool evaluateCondition(const TVariableManager& store, const ConditionOperands& operands) {
  bool result;
  if (operands.operation == "5") {
    result = store.Exists(operands.left);
  } else {
    const std::string left = ReadVariableExpandedOrEmpty(store, operands.left);
    const std::string right = ExpandText(store, operands.right);
    result = compareValues(left, operands.operation, right);
  }
  return TextToBool(operands.negate) ? !result : result;
}

}  // namespace kox
