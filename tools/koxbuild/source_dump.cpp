#include "tools/koxbuild/source_dump.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/base/text.h"

#include "tools/koxbuild/source_fields.h"

namespace kox {

namespace {

// The parameter lines of each command, or nothing when the parameter section
// is not a run of blocks "identifier, then at least one parameter" in
// command order, each identifier spelt as in the identifier section, with no
// parameter that equals an identifier (the source refuses those).
std::optional<std::vector<std::vector<std::string>>> splitIntoBlocks(const SetupPackage& p) {
  std::unordered_map<std::string, std::vector<size_t>> commandsById;
  std::unordered_set<std::string> upperCaseIds;
  for (size_t i = 0; i < p.commandIds.size(); ++i) {
    commandsById[p.commandIds[i]].push_back(i);
    upperCaseIds.insert(toUpperAscii(p.commandIds[i]));
  }
  // The first command at or after `from` whose identifier is `line`.
  auto commandAtOrAfter = [&](const std::string& line, size_t from) -> std::optional<size_t> {
    auto it = commandsById.find(line);
    if (it == commandsById.end()) return std::nullopt;
    for (size_t index : it->second)
      if (index >= from) return index;
    return std::nullopt;
  };

  std::vector<std::vector<std::string>> blocks(p.commandIds.size());
  const std::vector<std::string>& lines = p.parameters;
  size_t pos = 0;
  size_t nextCommand = 0;
  while (pos < lines.size()) {
    std::optional<size_t> owner = commandAtOrAfter(lines[pos], nextCommand);
    if (!owner) return std::nullopt;
    ++pos;
    // The block runs until a line that starts the block of a later command.
    while (pos < lines.size() && !commandAtOrAfter(lines[pos], *owner + 1)) {
      if (upperCaseIds.contains(toUpperAscii(lines[pos]))) return std::nullopt;
      blocks[*owner].push_back(lines[pos++]);
    }
    if (blocks[*owner].empty()) return std::nullopt;  // the writer writes no block without parameters
    nextCommand = *owner + 1;
  }
  return blocks;
}

// "$DOLLAR$" is how the writer spells a lone "$"; other spellings stay literal.
std::string shownParameter(const std::string& line) { return line == "$DOLLAR$" ? "$" : line; }

void setting(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += value.empty() ? " =" : " = " + quoteForValue(value);
  out += '\n';
}

void rows(std::string& out, const char* header, const std::vector<std::string>& list, size_t fields) {
  if (list.empty()) return;
  out += "\n[";
  out += header;
  out += "]\n";
  for (size_t i = 0; i + fields <= list.size(); i += fields) {
    for (size_t k = 0; k < fields; ++k) {
      if (k > 0) out += " | ";
      out += quoteForRow(list[i + k]);
    }
    out += '\n';
  }
}

}  // namespace

std::string dumpSetupSource(const SetupPackage& p) {
  std::string out = "# Setup source written by koxbuild dump.\n\n[setup]\n";
  setting(out, "title", p.productTitle);
  setting(out, "product-code", p.productCode);
  setting(out, "revision-code", p.revisionCode);
  setting(out, "publisher", p.productInfo.publisher);
  setting(out, "contact", p.productInfo.contact);
  setting(out, "help-link", p.productInfo.helpLink);
  setting(out, "update-info-link", p.productInfo.updateInfoLink);
  setting(out, "comments", p.productInfo.comments);
  setting(out, "version", p.productInfo.version);
  setting(out, "language-selection", p.languageSelection);
  setting(out, "default-language", p.defaultLanguage);
  setting(out, "code-page", std::to_string(p.codePage));
  setting(out, "build-mode", std::to_string(p.buildMode));

  rows(out, "build-constants", p.buildConstants, 2);
  rows(out, "plugins", p.pluginCommands, 1);
  rows(out, "web-media-passwords", p.webMediaPasswords, 2);
  rows(out, "component-sizes", p.componentSizes, 2);
  rows(out, "file-placements", p.filePlacements, 3);
  rows(out, "command-headers", p.commandHeaders, 2);

  std::optional<std::vector<std::vector<std::string>>> blocks = splitIntoBlocks(p);
  if (!blocks) {
    std::vector<std::string> shown;
    for (const std::string& line : p.parameters) shown.push_back(shownParameter(line));
    rows(out, "raw-parameters", shown, 1);
  }

  out += "\n[script]\n";
  for (size_t i = 0; i < p.commandNames.size(); ++i) {
    auto at = [](const std::vector<std::string>& list, size_t index) {
      return index < list.size() ? list[index] : std::string();
    };
    out += i > 0 ? "\n" : "";
    setting(out, "command", p.commandNames[i]);
    setting(out, "id", at(p.commandIds, i));
    const std::string flag = at(p.disabledFlags, i);
    if (flag == "C") out += "disabled = true\n";
    else if (!flag.empty()) setting(out, "flag", flag);
    const std::string media = at(p.commandMediaFolders, i);
    if (!media.empty()) setting(out, "media", media);
    setting(out, "line", at(p.sourceLineMap, i));
    if (blocks)
      for (const std::string& line : (*blocks)[i]) setting(out, "param", shownParameter(line));
  }
  return out;
}

}  // namespace kox
