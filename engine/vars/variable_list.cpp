#include "engine/vars/variable_list.h"

namespace kox {
namespace {

// Bytes 1..32 separate items like blanks; byte 0 is an ordinary byte.
bool isSeparatorByte(char c) {
  auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}

bool needsQuotes(std::string_view item) {
  for (char c : item)
    if (c == '"' || c == ',' || isSeparatorByte(c)) return true;
  return false;
}

void appendItem(std::string& out, std::string_view item) {
  if (!needsQuotes(item)) {
    out += item;
    return;
  }
  out += '"';
  for (char c : item) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void skipSeparators(std::string_view text, size_t& pos) {
  while (pos < text.size() && isSeparatorByte(text[pos])) ++pos;
}

std::string readQuotedItem(std::string_view text, size_t& pos) {
  std::string item;
  ++pos;  // opening quote
  while (pos < text.size()) {
    char c = text[pos++];
    if (c != '"') {
      item += c;
    } else if (pos < text.size() && text[pos] == '"') {
      item += '"';
      ++pos;
    } else {
      break;  // closing quote
    }
  }
  return item;
}

std::string readBareItem(std::string_view text, size_t& pos) {
  size_t start = pos;
  while (pos < text.size() && text[pos] != ',' && !isSeparatorByte(text[pos])) ++pos;
  return std::string(text.substr(start, pos - start));
}

}  // namespace

std::string formatVariableList(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += ',';
    appendItem(out, items[i]);
  }
  return out;
}

std::vector<std::string> parseVariableList(std::string_view text) {
  std::vector<std::string> items;
  size_t pos = 0;
  skipSeparators(text, pos);
  while (pos < text.size()) {
    items.push_back(text[pos] == '"' ? readQuotedItem(text, pos) : readBareItem(text, pos));
    skipSeparators(text, pos);
    if (pos < text.size() && text[pos] == ',') {
      ++pos;
      if (pos == text.size()) items.emplace_back();
      skipSeparators(text, pos);
    }
  }
  return items;
}

}  // namespace kox
