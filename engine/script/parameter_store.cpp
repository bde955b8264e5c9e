#include "engine/script/parameter_store.h"

#include "engine/base/text.h"

namespace kox {

size_t FoldedHash::operator()(std::string_view text) const {
  size_t hash = static_cast<size_t>(1469598103934665603ull);
  for (char c : text) {
    hash ^= static_cast<unsigned char>(asciiLower(c));
    hash *= static_cast<size_t>(1099511628211ull);
  }
  return hash;
}

bool FoldedEqual::operator()(std::string_view a, std::string_view b) const { return equalsIgnoreCase(a, b); }

IndexedLines::IndexedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {
  firstLine_.reserve(lines_.size());
  // emplace keeps an existing entry, so each text maps to its first line.
  for (size_t i = 0; i < lines_.size(); ++i) firstLine_.emplace(lines_[i], i);
}

size_t IndexedLines::find(std::string_view text) const {
  auto it = firstLine_.find(text);
  return it == firstLine_.end() ? std::string::npos : it->second;
}

ParameterStore::ParameterStore(std::vector<std::string> parameterList) { addList(std::move(parameterList)); }

void ParameterStore::addList(std::vector<std::string> parameterList) {
  lists_.emplace_back(std::move(parameterList));
}

std::string ParameterStore::fetch(std::string_view identifier, size_t k) const {
  for (const IndexedLines& list : lists_) {
    size_t line = list.find(identifier);
    if (line == std::string::npos) continue;
    if (k >= list.size() - line) return {};
    return list[line + k];
  }
  return {};
}

bool ParameterStore::has(std::string_view identifier) const {
  for (const IndexedLines& list : lists_)
    if (list.find(identifier) != std::string::npos) return true;
  return false;
}

}  // namespace kox
