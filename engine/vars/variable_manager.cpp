#include "engine/vars/variable_manager.h"

#include "engine/base/text.h"

namespace kox {

size_t TVariableManager::NameHash::operator()(std::string_view name) const {
  // FNV-1a over the folded bytes, so names that compare equal hash equal.
  size_t hash = static_cast<size_t>(1469598103934665603ull);
  for (char c : name) {
    hash ^= static_cast<unsigned char>(caseSensitive ? c : asciiLower(c));
    hash *= static_cast<size_t>(1099511628211ull);
  }
  return hash;
}

bool TVariableManager::NameEqual::operator()(std::string_view a, std::string_view b) const {
  return caseSensitive ? a == b : equalsIgnoreCase(a, b);
}

TVariableManager::TVariableManager(bool caseSensitive, bool alwaysLock)
    : caseSensitive_(caseSensitive),
      alwaysLock_(alwaysLock),
      map_(0, NameHash{caseSensitive}, NameEqual{caseSensitive}) {}

void TVariableManager::Lock(bool force) const {
  if (force || alwaysLock_) mutex_.lock();
}

void TVariableManager::Unlock(bool force) const {
  if (force || alwaysLock_) mutex_.unlock();
}

void TVariableManager::SetExpansionLimits(const ExpansionLimits& limits) {
  std::lock_guard guard(mutex_);
  limits_ = limits;
}

void TVariableManager::Put(std::string_view name, std::string_view value) {
  if (name.empty()) return;
  std::lock_guard guard(mutex_);
  auto it = map_.find(name);
  if (it != map_.end())
    it->second.assign(value);
  else
    map_.emplace(std::string(name), std::string(value));
}

std::optional<std::string> TVariableManager::Find(std::string_view name) const {
  if (name.empty()) return std::nullopt;
  ReadGuard guard(*this);
  auto it = map_.find(name);
  if (it == map_.end()) return std::nullopt;
  return it->second;
}

std::string TVariableManager::Get(std::string_view name) const {
  return Find(name).value_or(std::string());
}

bool TVariableManager::Exists(std::string_view name) const {
  if (name.empty()) return false;
  ReadGuard guard(*this);
  return map_.find(name) != map_.end();
}

void TVariableManager::Clear() {
  std::lock_guard guard(mutex_);
  map_.clear();
}

size_t TVariableManager::Enumerate(std::vector<std::string>& list) const {
  std::lock_guard guard(mutex_);
  list.clear();
  list.reserve(map_.size() * 2);
  for (const auto& [name, value] : map_) {
    list.push_back(name);
    list.push_back(value);
  }
  return list.size();
}

size_t TVariableManager::Count() const {
  std::lock_guard guard(mutex_);
  return map_.size();
}

std::string TVariableManager::ExpandReferences(std::string_view text) const { return expand(text, false); }

std::string TVariableManager::ExpandReferencesQuoted(std::string_view text) const { return expand(text, true); }

TVariableManager& variableStore() {
  static TVariableManager store(false, true);
  return store;
}

}  // namespace kox
