#include "engine/script/parameter_store.h"

#include <stdexcept>

#include "engine/base/text.h"

namespace kox {

namespace {

// FNV-1a over the bytes with the ASCII letters folded.
uint32_t foldedHash(std::string_view text) {
  uint32_t hash = 2166136261u;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(asciiLower(c));
    hash *= 16777619u;
  }
  return hash;
}

}  // namespace

IndexedLines::IndexedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {
  if (lines_.size() >= UINT32_MAX) throw std::length_error("parameter list too long");
  size_t capacity = 16;
  while (capacity < lines_.size() * 2) capacity *= 2;
  slots_.resize(capacity);
  const size_t mask = capacity - 1;
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto hash = foldedHash(lines_[i]);
    for (size_t s = hash & mask;; s = (s + 1) & mask) {
      Slot& slot = slots_[s];
      if (slot.linePlusOne == 0) {
        slot = Slot{hash, static_cast<uint32_t>(i + 1)};
        break;
      }
      // An equal line is already in: the first occurrence keeps the slot.
      if (slot.hash == hash && equalsIgnoreCase(lines_[slot.linePlusOne - 1], lines_[i])) break;
    }
  }
}

size_t IndexedLines::find(std::string_view text) const {
  if (slots_.empty()) return std::string::npos;
  const auto hash = foldedHash(text);
  const size_t mask = slots_.size() - 1;
  for (size_t s = hash & mask;; s = (s + 1) & mask) {
    const Slot& slot = slots_[s];
    if (slot.linePlusOne == 0) return std::string::npos;
    if (slot.hash == hash && equalsIgnoreCase(lines_[slot.linePlusOne - 1], text)) return slot.linePlusOne - 1;
  }
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
