#include "tools/koxbuild/source_fields.h"

#include "engine/base/error.h"

namespace kox {

namespace {

// Builds a message from its parts.
std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void skipBlanks(std::string_view text, size_t& pos) {
  while (pos < text.size() && isBlank(text[pos])) ++pos;
}

// Reads a quoted field whose opening quote is at `pos`; leaves `pos` behind
// the closing quote.
std::string readQuoted(std::string_view text, size_t& pos) {
  std::string value;
  ++pos;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == '"') return value;
    if (c != '\\') {
      value += c;
      continue;
    }
    if (pos >= text.size()) break;
    char escaped = text[pos++];
    if (escaped == '\\' || escaped == '"') {
      value += escaped;
    } else if (escaped == 'x' && pos + 1 < text.size() && hexDigit(text[pos]) >= 0 &&
               hexDigit(text[pos + 1]) >= 0) {
      value += static_cast<char>(hexDigit(text[pos]) * 16 + hexDigit(text[pos + 1]));
      pos += 2;
    } else {
      throw EngineError(joined({"unknown escape \"\\", std::string_view(&escaped, 1),
                                "\" in a quoted value (use \\\\, \\\" or \\xNN)"}));
    }
  }
  throw EngineError("a quoted value has no closing quote");
}

// Reads the field at `pos`. With a separator, a bare field ends at it.
std::string readField(std::string_view text, size_t& pos, bool splitAtBars) {
  skipBlanks(text, pos);
  if (pos < text.size() && text[pos] == '"') {
    std::string value = readQuoted(text, pos);
    skipBlanks(text, pos);
    if (pos < text.size() && !(splitAtBars && text[pos] == '|'))
      throw EngineError("text after a closing quote (a value with quotes inside is quoted whole, with \\\")");
    return value;
  }
  size_t end = splitAtBars ? text.find('|', pos) : std::string_view::npos;
  if (end == std::string_view::npos) end = text.size();
  std::string_view bare = text.substr(pos, end - pos);
  while (!bare.empty() && isBlank(bare.back())) bare.remove_suffix(1);
  pos = end;
  return std::string(bare);
}

bool needsQuotes(std::string_view value, bool inRow) {
  if (inRow && value.empty()) return true;
  if (!value.empty() && (isBlank(value.front()) || isBlank(value.back()) || value.front() == '"')) return true;
  for (char c : value) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) return true;
    if (inRow && c == '|') return true;
  }
  // A row must not look like a comment or a section header.
  return inRow && (value.front() == '#' || value.front() == ';' || value.front() == '[');
}

std::string quote(std::string_view value, bool inRow) {
  if (!needsQuotes(value, inRow)) return std::string(value);
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : value) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (u < 0x20 || u >= 0x7F) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace

std::vector<std::string> parseRow(std::string_view row) {
  std::vector<std::string> fields;
  size_t pos = 0;
  for (;;) {
    fields.push_back(readField(row, pos, true));
    if (pos >= row.size()) return fields;
    ++pos;  // the "|"
  }
}

std::string parseValue(std::string_view value) {
  size_t pos = 0;
  return readField(value, pos, false);
}

std::string quoteForRow(std::string_view value) { return quote(value, true); }
std::string quoteForValue(std::string_view value) { return quote(value, false); }

}  // namespace kox
