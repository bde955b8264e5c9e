// The variable store: one map from variable name to text value per engine
// process, shared by the interpreter, the dialogs, the timers, the worker
// threads and (through the variable list text) the plug-in libraries.
//
// Names compare with the ASCII letters folded ("Target" and "TARGET" are one
// variable); every other byte must match exactly. A name keeps the spelling of
// its first insertion. An empty name is never stored; an empty value is a value.
//
// Every operation holds the lock only for its own duration. The lock is
// re-entrant, so a caller that holds it (Lock(true) ... Unlock(true)) can still
// call every operation, for example to read several progress variables as one
// consistent set.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kox {

// Limits of reference expansion. Inserted values are scanned again, so a value
// that refers to itself (A = "x$A$") would expand for ever; no real script
// comes near these numbers. When one is reached, the reference in hand and
// the rest of the text stay as they are (a reference deeper than the nesting
// limit is left unexpanded and the scan goes on after it).
struct ExpansionLimits {
  size_t maxNesting = 64;               // values inside values inside values ...
  size_t maxSubstitutions = 1'000'000;  // references replaced in one expansion
  size_t maxGrowth = 16u << 20;         // bytes the result may exceed the input by
};

class TVariableManager {
 public:
  // caseSensitive: names compare byte for byte instead of folding ASCII
  // letters. alwaysLock: Get and Exists take the lock too (the engine's store
  // sets it; only a store private to one thread may leave it clear).
  explicit TVariableManager(bool caseSensitive = false, bool alwaysLock = true);

  TVariableManager(const TVariableManager&) = delete;
  TVariableManager& operator=(const TVariableManager&) = delete;

  // Empty name: nothing. Existing name: value replaced, first spelling kept.
  void Put(std::string_view name, std::string_view value);
  // The value, or empty text when the name is empty or missing.
  std::string Get(std::string_view name) const;
  // The value when the variable exists (one locked lookup).
  std::optional<std::string> Find(std::string_view name) const;
  bool Exists(std::string_view name) const;
  void Clear();
  // Empties list and appends name, value for every variable (in the map's
  // own order). Returns the number of entries, twice the number of variables.
  size_t Enumerate(std::vector<std::string>& list) const;
  size_t Count() const;
  // Calls visit(value) under the lock when the variable exists and returns
  // whether it does; spares the copy of a value that is only looked at.
  // visit runs with the lock held, so other threads wait for it: keep it short.
  template <typename Visit>
  bool WithValue(std::string_view name, Visit&& visit) const {
    if (name.empty()) return false;
    ReadGuard guard(*this);
    auto it = map_.find(name);
    if (it == map_.end()) return false;
    visit(static_cast<const std::string&>(it->second));
    return true;
  }

  // Text with every known $NAME$ replaced by its value; values are scanned
  // again, so references inside values expand too. Unknown references stay.
  std::string ExpandReferences(std::string_view text) const;
  // The same, each value inserted between double quotes (inner quotes as they are).
  std::string ExpandReferencesQuoted(std::string_view text) const;

  void Lock(bool force) const;
  void Unlock(bool force) const;

  void SetExpansionLimits(const ExpansionLimits& limits);
  const ExpansionLimits& expansionLimits() const { return limits_; }

 private:
  // Transparent, so lookups by string_view need no temporary std::string.
  struct NameHash {
    using is_transparent = void;
    bool caseSensitive;
    size_t operator()(std::string_view name) const;
  };
  struct NameEqual {
    using is_transparent = void;
    bool caseSensitive;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  // Lock(false) ... Unlock(false) for one read.
  class ReadGuard {
   public:
    explicit ReadGuard(const TVariableManager& store) : store_(store) { store_.Lock(false); }
    ~ReadGuard() { store_.Unlock(false); }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;

   private:
    const TVariableManager& store_;
  };
  using Map = std::unordered_map<std::string, std::string, NameHash, NameEqual>;

  std::string expand(std::string_view text, bool quoted) const;

  bool caseSensitive_;
  bool alwaysLock_;
  ExpansionLimits limits_;
  mutable std::recursive_mutex mutex_;
  Map map_;
};

// Holds the store's lock for a scope (always, whatever the always-lock flag).
class VariableStoreLock {
 public:
  explicit VariableStoreLock(const TVariableManager& store) : store_(store) { store_.Lock(true); }
  ~VariableStoreLock() { store_.Unlock(true); }
  VariableStoreLock(const VariableStoreLock&) = delete;
  VariableStoreLock& operator=(const VariableStoreLock&) = delete;

 private:
  const TVariableManager& store_;
};

// The engine's one store: case-insensitive names, always-lock flag set.
// Created on first use and kept until process exit.
TVariableManager& variableStore();

}  // namespace kox
