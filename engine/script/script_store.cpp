#include "engine/script/script_store.h"

namespace kox {
namespace {

const std::string& entryOrEmpty(const std::vector<std::string>& list, size_t index) {
  static const std::string empty;
  return index < list.size() ? list[index] : empty;
}

}  // namespace

ScriptStore::ScriptStore(ScriptLists lists)
    : names_(std::move(lists.commandNames)),
      ids_(std::move(lists.commandIds)),
      flags_(std::move(lists.disabledFlags)),
      parameters_(std::move(lists.parameters)),
      constants_(lists.buildConstants),
      headers_(std::move(lists.commandHeaders)) {}

const std::string& ScriptStore::commandName(size_t index) const { return entryOrEmpty(names_, index); }

const std::string& ScriptStore::commandId(size_t index) const { return entryOrEmpty(ids_, index); }

bool ScriptStore::isDisabled(size_t index) const { return entryOrEmpty(flags_, index) == "C"; }

std::string ScriptStore::parameter(size_t index, size_t k) const {
  const std::string& id = commandId(index);
  // An empty identifier would match the first empty parameter line.
  if (id.empty()) return {};
  return parameters_.fetch(id, k);
}

void ScriptStore::fillLabelTable() {
  labels_.clear();
  for (size_t i = 0; i < commandCount(); ++i)
    if (names_[i] == "Label") labels_.add(parameter(i, 1), i);
}

void ScriptStore::markExecuted(size_t index) {
  if (index < marks_.size()) marks_[index] = kMarkRun;
}

}  // namespace kox
