#include "archive/sevenzip/name_match.h"

#include <vector>

#include "engine/base/text.h"

namespace kox::sevenzip {
namespace {

char fold(char c) { return c == '/' ? '\\' : kox::asciiLower(c); }

}  // namespace

bool matchesEntryName(std::string_view pattern, std::string_view name) {
  // Iterative glob match: remember the last '*' and retry from there.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool isLegalPattern(std::string_view pattern) {
  if (pattern.empty() || pattern[0] == '/' || pattern[0] == '\\') return false;
  if (pattern.find(':') != std::string_view::npos) return false;
  size_t start = 0;
  while (start <= pattern.size()) {
    size_t end = pattern.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = pattern.size();
    if (pattern.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace kox::sevenzip
