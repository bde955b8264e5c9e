#include "engine/script/build_constants.h"

#include <optional>

#include "engine/base/text.h"

namespace kox {
namespace {

// Every occurrence of pattern (letter case ignored) replaced, left to right,
// without scanning inserted text again. Nothing when the result would exceed
// maxLength.
std::optional<std::string> replaceAllIgnoreCase(const std::string& text, std::string_view pattern,
                                                std::string_view value, size_t maxLength) {
  size_t found = findIgnoreCase(text, pattern);
  if (found == std::string::npos) return text;
  std::string out;
  size_t pos = 0;
  while (found != std::string::npos) {
    out.append(text, pos, found - pos);
    out += value;
    if (out.size() > maxLength) return std::nullopt;
    pos = found + pattern.size();
    found = findIgnoreCase(text, pattern, pos);
  }
  out.append(text, pos, std::string::npos);
  if (out.size() > maxLength) return std::nullopt;
  return out;
}

}  // namespace

BuildConstants::BuildConstants(const std::vector<std::string>& pairs) {
  for (size_t i = 0; i + 1 < pairs.size(); i += 2) constants_.emplace_back('#' + pairs[i] + '#', pairs[i + 1]);
}

std::string BuildConstants::expand(std::string_view text) const {
  std::string current(text);
  if (current.find('#') == std::string::npos) return current;
  const size_t maxLength = current.size() > kMaxLength ? current.size() : kMaxLength;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    std::string next = current;
    for (const auto& [pattern, value] : constants_) {
      std::optional<std::string> replaced = replaceAllIgnoreCase(next, pattern, value, maxLength);
      if (!replaced) return current;  // runaway growth: keep the last whole pass
      next = std::move(*replaced);
    }
    if (next == current || next.find('#') == std::string::npos) return next;
    current = std::move(next);
  }
  return current;
}

}  // namespace kox
