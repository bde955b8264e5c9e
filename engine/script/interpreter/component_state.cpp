#include "engine/script/interpreter/component_state.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/script/interpreter/condition.h"
#include "engine/vars/script_variables.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

constexpr const char* kSectionEnd = "$";
constexpr int kComponentSections = 6;  // "$" lines before the variables
constexpr const char* kPlatformModeName = "KELD64WOW";
constexpr const char* kOverrideCacheName = "OVERRIDECACHE";

bool containsIgnoreCase(const std::vector<std::string>& list, std::string_view name) {
  for (const auto& entry : list)
    if (equalsIgnoreCase(entry, name)) return true;
  return false;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LineWriter {
 public:
  explicit LineWriter(const std::string& path) : path_(path), out_(path, std::ios::binary | std::ios::trunc) {
    if (!out_) throw EngineError("Unable to create the component state file " + path);
  }
  void line(std::string_view text) { out_ << text << "\r\n"; }
  void lines(const std::vector<std::string>& list) {
    for (const auto& entry : list) line(entry);
  }
  void close() {
    out_.close();
    if (!out_) throw EngineError("Unable to write the component state file " + path_);
  }

 private:
  std::string path_;
  std::ofstream out_;
};

// Lines 11 to 13.
void writeVariables(LineWriter& out, const ComponentModel& model, const TVariableManager& store) {
  std::vector<std::string> written;
  for (const auto& name : model.persistentVariables) {
    if (containsIgnoreCase(written, name)) continue;  // the list may repeat a name; the file does not
    written.push_back(name);
    out.line(name);
    out.line(LineBreaksToMarkers(ReadVariable(store, name)));
  }
  out.line(kPlatformModeName);
  out.line(model.platformMode);
  out.line(kOverrideCacheName);
  out.line(ReadVariable(store, kOverrideCacheName));
}

}  // namespace

void ComponentModel::clearComponents() {
  components.clear();
  selections.clear();
  descriptions.clear();
  sizes.clear();
  deleted.clear();
  hidden.clear();
  fixed.clear();
}

void ComponentModel::selectPredefinedComponent() {
  for (size_t i = 0; i < components.size(); ++i) {
    if (components[i] != kPredefinedComponent) continue;
    if (i < selections.size()) selections[i] = "TRUE";
    return;
  }
  components.push_back(kPredefinedComponent);
  selections.resize(components.size() - 1);
  selections.push_back("TRUE");
}

void ComponentModel::addPersistentVariable(const std::string& name) {
  if (!containsIgnoreCase(persistentVariables, name)) persistentVariables.push_back(name);
}

int64_t ComponentModel::selectedSize() const {
  int64_t total = 0;
  for (size_t i = 0; i < components.size(); ++i) {
    if (i >= selections.size() || !TextToBool(selections[i]) || containsIgnoreCase(deleted, components[i])) continue;
    for (size_t s = 0; s + 1 < sizes.size(); s += 2) {
      if (!equalsIgnoreCase(sizes[s], components[i])) continue;
      total += parseDecimal(sizes[s + 1]).value_or(0);
      break;
    }
  }
  return total;
}

ComponentModel& componentModel() {
  static ComponentModel model;
  return model;
}

void writeComponentStateFile(const std::string& path, const ComponentModel& model, const TVariableManager& store,
                             const StateFileFolders& folders) {
  LineWriter out(path);
  out.lines(model.components);
  out.line(kSectionEnd);
  for (size_t i = 0; i < model.components.size(); ++i)
    out.line(i < model.selections.size() && !model.selections[i].empty() ? model.selections[i] : "FALSE");
  out.line(kSectionEnd);
  out.lines(model.deleted);
  out.line(kSectionEnd);
  out.lines(model.hidden);
  out.line(kSectionEnd);
  out.lines(model.fixed);
  out.line(kSectionEnd);
  out.lines(model.sizes);
  out.line(kSectionEnd);
  for (const char* name : {"TARGETDIR", "ALLUSERS", "STARTMENU"}) out.line(ReadVariable(store, name));
  out.line(folders.mediaDataFolderShort);
  writeVariables(out, model, store);
  out.close();
}

void refreshComponentStateFile(const std::string& path, const ComponentModel& model, const TVariableManager& store) {
  const std::optional<std::string> old = readWholeFile(path);
  if (!old) return;
  const std::string fresh = path + ".dat";
  {
    LineWriter out(fresh);
    int separators = 0;
    int afterSections = 0;
    for (std::string_view line : splitLines(*old)) {
      if (separators < kComponentSections) {
        if (line == kSectionEnd) ++separators;
      } else if (++afterSections > 4) {
        break;  // lines 9 and 10 kept; the variables are written anew
      }
      out.line(line);
    }
    writeVariables(out, model, store);
    out.close();
  }
  // Replace the old file only once the new one is complete.
  if (std::remove(path.c_str()) != 0 || std::rename(fresh.c_str(), path.c_str()) != 0) {
    std::remove(fresh.c_str());
    throw EngineError("Unable to replace the component state file " + path);
  }
}

bool loadComponentStateFile(const std::string& path, ComponentModel& model, const StateVariableWrite& write,
                            const LoadOptions& options) {
  const std::optional<std::string> text = readWholeFile(path);
  if (!text) return false;
  const std::vector<std::string_view> lines = splitLines(*text);

  std::vector<std::string> sections[kComponentSections];
  size_t next = 0;
  int separators = 0;
  for (; next < lines.size() && separators < kComponentSections; ++next) {
    if (lines[next] == kSectionEnd)
      ++separators;
    else
      sections[separators].emplace_back(lines[next]);
  }
  auto& [names, selections, deleted, hidden, fixed, sizes] = sections;

  if (!options.merge) {
    model.components.insert(model.components.end(), names.begin(), names.end());
    model.selections.insert(model.selections.end(), selections.begin(), selections.end());
    model.deleted.insert(model.deleted.end(), deleted.begin(), deleted.end());
    model.hidden.insert(model.hidden.end(), hidden.begin(), hidden.end());
    model.fixed.insert(model.fixed.end(), fixed.begin(), fixed.end());
    if (!options.skipSizes) model.sizes.insert(model.sizes.end(), sizes.begin(), sizes.end());
  } else {
    for (size_t f = 0; f < names.size() && f < selections.size(); ++f) {
      for (size_t c = 0; c < model.components.size(); ++c) {
        if (!equalsIgnoreCase(model.components[c], names[f])) continue;
        if (model.selections.size() <= c) model.selections.resize(c + 1);
        model.selections[c] = selections[f];
      }
    }
    model.deleted = std::move(deleted);
    model.hidden = std::move(hidden);
    model.fixed = std::move(fixed);
  }

  auto take = [&]() -> std::optional<std::string> {
    if (next >= lines.size()) return std::nullopt;
    return std::string(lines[next++]);
  };
  for (const char* name : {"TARGETDIR", "ALLUSERS", "STARTMENU"})
    if (auto value = take()) write(name, *value);
  take();  // the media data folder of the writing run
  while (auto name = take()) {
    auto value = take();
    if (!value) break;  // a name without its value line
    if (*name == kPlatformModeName) {
      model.platformMode = *value;
      // The pair after the platform mode is the cache override: restored,
      // but not kept as a persistent variable.
      auto overrideName = take();
      auto overrideValue = take();
      if (overrideName && overrideValue)
        write(*overrideName, *overrideValue);
      continue;
    }
    model.addPersistentVariable(*name);
    write(*name, *value);
  }
  return true;
}

}  // namespace kox
