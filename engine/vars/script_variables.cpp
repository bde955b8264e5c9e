#include "engine/vars/script_variables.h"

#include <cstdlib>

#include "engine/base/text.h"
#include "engine/vars/variable_list.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace kox {

bool WriteProtection::protects(std::string_view name) const {
  if (!silent) return false;
  for (size_t i = 0; i < commandLineVariables.size(); i += 2)
    if (equalsIgnoreCase(commandLineVariables[i], name)) return true;
  return false;
}

std::string ReadVariable(const TVariableManager& store, std::string_view name) {
  return store.Find(name).value_or(std::string());
}

bool VariableDefined(const TVariableManager& store, std::string_view name) { return store.Exists(name); }

void WriteVariable(TVariableManager& store, std::string_view name, std::string_view value,
                   std::string_view context, const WriteProtection& protection) {
  if (name.empty()) return;
  // The existence test and the write belong together; the lock is re-entrant.
  VariableStoreLock lock(store);
  if (store.Exists(name))
    AssignVariable(store, name, value, context, protection);
  else
    store.Put(name, value);
}

bool AssignVariable(TVariableManager& store, std::string_view name, std::string_view value,
                    std::string_view context, const WriteProtection& protection) {
  std::string spelling(name);
  if (protection.silent) {
    spelling = toUpperAscii(name);
    if (context != kInjectOverrideContext && protection.protects(spelling)) return false;
  }
  // Put replaces an existing value (keeping its spelling) or creates the
  // variable, which is what the unprotected write would do for a new name.
  store.Put(spelling, value);
  return true;
}

std::string ExpandText(const TVariableManager& store, std::string_view text) { return store.ExpandReferences(text); }

std::string ExpandTextQuoted(const TVariableManager& store, std::string_view text) {
  return store.ExpandReferencesQuoted(text);
}

std::string ReferenceName(std::string_view text) {
  if (text.size() < 2 || text.front() != '$' || text.back() != '$') return {};
  std::string_view inner = text.substr(1, text.size() - 2);
  if (inner.find('$') != std::string_view::npos) return {};
  return std::string(inner);
}

namespace {

std::string nameOf(std::string_view text) {
  std::string name = ReferenceName(text);
  return name.empty() ? std::string(text) : name;
}

}  // namespace

std::string ReadVariableExpanded(const TVariableManager& store, std::string_view text) {
  std::optional<std::string> value = store.Find(nameOf(text));
  if (!value) return std::string(kMissingVariableMarker);
  return store.ExpandReferences(*value);
}

std::string ReadVariableExpandedOrEmpty(const TVariableManager& store, std::string_view text) {
  std::optional<std::string> value = store.Find(nameOf(text));
  if (!value) return {};
  return store.ExpandReferences(*value);
}

std::string MarkersToLineBreaks(std::string_view text) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t found = findIgnoreCase(text, kNewLineMarker, pos);
    if (found == std::string_view::npos) break;
    out.append(text, pos, found - pos);
    out += "\r\n";
    pos = found + kNewLineMarker.size();
  }
  out.append(text, pos, std::string_view::npos);
  return out;
}

std::string LineBreaksToMarkers(std::string_view text) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t found = text.find("\r\n", pos);
    if (found == std::string_view::npos) break;
    out.append(text, pos, found - pos);
    out += kNewLineMarker;
    pos = found + 2;
  }
  out.append(text, pos, std::string_view::npos);
  return out;
}

std::string ExportVariables(const TVariableManager& store) {
  std::vector<std::string> items;
  store.Enumerate(items);
  return formatVariableList(items);
}

void ImportVariables(TVariableManager& store, std::string_view text) {
  std::vector<std::string> items = parseVariableList(text);
  VariableStoreLock lock(store);
  store.Clear();
  for (size_t i = 0; i + 1 < items.size(); i += 2) store.Put(items[i], items[i + 1]);
}

std::string BoolToText(bool value) { return value ? "TRUE" : "FALSE"; }

bool TextToBool(std::string_view text) { return equalsIgnoreCase(text, "TRUE") || text == "-1"; }

std::string EnvironmentText(const std::vector<std::string>& entries) {
  std::string out;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) out += kNewLineMarker;
    out += entries[i];
  }
  return out;
}

std::vector<std::string> processEnvironment() {
#ifdef _WIN32
  char** block = _environ;
#else
  char** block = environ;
#endif
  std::vector<std::string> entries;
  for (; block != nullptr && *block != nullptr; ++block) entries.emplace_back(*block);
  return entries;
}

std::string EnvironmentText() { return EnvironmentText(processEnvironment()); }

}  // namespace kox
