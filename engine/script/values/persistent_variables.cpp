#include "engine/script/values/persistent_variables.h"

#include <algorithm>
#include <mutex>

namespace kox {
namespace {

struct PersistentList {
  std::mutex mutex;
  std::vector<std::string> names;
};

PersistentList& persistentList() {
  static PersistentList list;
  return list;
}

}  // namespace

void AddPersistentVariable(std::string_view name) {
  PersistentList& list = persistentList();
  std::lock_guard lock(list.mutex);
  if (std::find(list.names.begin(), list.names.end(), name) == list.names.end()) list.names.emplace_back(name);
}

std::vector<std::string> PersistentVariables() {
  PersistentList& list = persistentList();
  std::lock_guard lock(list.mutex);
  return list.names;
}

bool IsPersistentVariable(std::string_view name) {
  PersistentList& list = persistentList();
  std::lock_guard lock(list.mutex);
  return std::find(list.names.begin(), list.names.end(), name) != list.names.end();
}

void ClearPersistentVariables() {
  PersistentList& list = persistentList();
  std::lock_guard lock(list.mutex);
  list.names.clear();
}

}  // namespace kox
