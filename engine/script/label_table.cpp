#include "engine/script/label_table.h"

#include "engine/base/text.h"

namespace kox {

void LabelTable::clear() {
  entries_.clear();
  labels_.clear();
}

void LabelTable::addName(std::string_view name) {
  std::string upper = toUpperAscii(name);
  entries_.push_back(upper);
  labels_.emplace(std::move(upper), std::nullopt);
}

void LabelTable::add(std::string_view name, size_t commandIndex) {
  std::string upper = toUpperAscii(name);
  entries_.push_back(upper);
  entries_.push_back(std::to_string(commandIndex));
  labels_.emplace(std::move(upper), commandIndex);
}

bool LabelTable::contains(std::string_view name) const { return labels_.count(toUpperAscii(name)) != 0; }

std::optional<size_t> LabelTable::commandIndex(std::string_view name) const {
  auto it = labels_.find(toUpperAscii(name));
  return it == labels_.end() ? std::nullopt : it->second;
}

}  // namespace kox
