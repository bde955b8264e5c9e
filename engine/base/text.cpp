#include "engine/base/text.h"

namespace kox {

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string toLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

std::string toUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiUpper(c);
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  return true;
}

size_t findIgnoreCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string_view::npos;
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i)
    if (equalsIgnoreCase(haystack.substr(i, needle.size()), needle)) return i;
  return std::string_view::npos;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    size_t end = (lf == std::string_view::npos) ? text.size() : lf;
    size_t len = end - start;
    if (lf != std::string_view::npos && len > 0 && text[end - 1] == '\r') --len;
    lines.push_back(text.substr(start, len));
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

std::string withBackslash(std::string_view folder) {
  std::string out(folder);
  if (!out.empty() && out.back() != '\\') out += '\\';
  return out;
}

}  // namespace kox
