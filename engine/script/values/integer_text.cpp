#include "engine/script/values/integer_text.h"

#include <limits>

#include "engine/base/error.h"

namespace kox {

std::optional<int64_t> ParseInt64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  // Accumulate as a negative number so that the most negative value fits.
  int64_t value = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    int digit = c - '0';
    if (value < (kMin + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) return std::nullopt;
    value = -value;
  }
  return value;
}

int64_t RequireInt64(std::string_view text) {
  if (auto value = ParseInt64(text)) return *value;
  throw EngineError("'" + std::string(text) + "' is not a valid integer value");
}

int32_t RequireInt32(std::string_view text) {
  int64_t value = RequireInt64(text);
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EngineError("'" + std::string(text) + "' is not a valid integer value");
  return static_cast<int32_t>(value);
}

}  // namespace kox
