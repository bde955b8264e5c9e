// The condition of "If" and "Else If": a left operand, an operator code, a
// right operand and a negation flag.
//
//   "0" equal            "1" left contains right     "2" left greater
//   "3" contains, letter case ignored                "4" equal, case ignored
//   "5" a variable named exactly as the left operand exists
//   "6" left version greater (dotted, up to four parts)
//
// For "0" to "4" two decimal integers compare as numbers, and then every
// operator but "2" means equal. Any other code is false. The negation flag
// (text to boolean) turns the result round.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kox {

class TVariableManager;

struct ConditionOperands {
  std::string left;      // parameter 1 as written (translated when a language is current)
  std::string operation; // parameter 2
  std::string right;     // parameter 3
  std::string negate;    // parameter 4
};

bool evaluateCondition(const TVariableManager& store, const ConditionOperands& operands);

// The comparison itself, on values already read and expanded.
bool compareValues(std::string_view left, std::string_view operation, std::string_view right);

// Whole text as a decimal integer (optional sign, digits, no blanks).
std::optional<int64_t> parseDecimal(std::string_view text);

// Whether version a is greater than version b: up to four "."-separated parts,
// each read as an integer, a missing or unreadable part counting as 0.
bool versionGreater(std::string_view a, std::string_view b);

}  // namespace kox
