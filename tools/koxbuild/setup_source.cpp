#include "tools/koxbuild/setup_source.h"

#include <charconv>
#include <optional>
#include <unordered_map>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "tools/koxbuild/source_fields.h"

namespace kox {

namespace {

// Builds a message from its parts.
std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// The list sections: each row holds a fixed number of fields that are
// appended to one list of the package in order.
struct ListSection {
  const char* header;
  size_t fields;
  const char* layout;
  std::vector<std::string> SetupPackage::*list;
};

constexpr const char* kRawParameters = "raw-parameters";

const ListSection kListSections[] = {
    {"build-constants", 2, "name | value", &SetupPackage::buildConstants},
    {"plugins", 1, "command name", &SetupPackage::pluginCommands},
    {"web-media-passwords", 2, "block | scrambled password", &SetupPackage::webMediaPasswords},
    {"component-sizes", 2, "component | size in bytes", &SetupPackage::componentSizes},
    {"file-placements", 3, "block | path in the media | target folder", &SetupPackage::filePlacements},
    {"command-headers", 2, "header | command index", &SetupPackage::commandHeaders},
    {kRawParameters, 1, "parameter line", &SetupPackage::parameters},
};

// The single values of [setup].
struct TextSetting {
  const char* key;
  std::string& (*field)(SetupPackage&);
  bool required;
};

const TextSetting kTextSettings[] = {
    {"title", [](SetupPackage& p) -> std::string& { return p.productTitle; }, true},
    {"product-code", [](SetupPackage& p) -> std::string& { return p.productCode; }, true},
    {"revision-code", [](SetupPackage& p) -> std::string& { return p.revisionCode; }, true},
    {"publisher", [](SetupPackage& p) -> std::string& { return p.productInfo.publisher; }, false},
    {"contact", [](SetupPackage& p) -> std::string& { return p.productInfo.contact; }, false},
    {"help-link", [](SetupPackage& p) -> std::string& { return p.productInfo.helpLink; }, false},
    {"update-info-link", [](SetupPackage& p) -> std::string& { return p.productInfo.updateInfoLink; }, false},
    {"comments", [](SetupPackage& p) -> std::string& { return p.productInfo.comments; }, false},
    {"version", [](SetupPackage& p) -> std::string& { return p.productInfo.version; }, false},
    {"language-selection", [](SetupPackage& p) -> std::string& { return p.languageSelection; }, false},
    {"default-language", [](SetupPackage& p) -> std::string& { return p.defaultLanguage; }, false},
};

struct NumberSetting {
  const char* key;
  int32_t SetupPackage::*field;
};

const NumberSetting kNumberSettings[] = {
    {"code-page", &SetupPackage::codePage},
    {"build-mode", &SetupPackage::buildMode},
};

struct SourceCommand {
  size_t line = 0;  // of its "command =" line
  std::string name;
  std::optional<std::string> id;
  size_t idLine = 0;
  std::optional<std::string> flag;
  std::optional<std::string> media;
  std::optional<std::string> lineMap;
  std::vector<std::string> params;
  std::vector<size_t> paramLines;
};

uint64_t fnv1a(std::string_view text, uint64_t basis) {
  uint64_t hash = basis;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001B3ull;
  }
  return hash;
}

// Spreads every input bit over the whole value (FNV alone changes few high
// bits for inputs that differ only at the end).
uint64_t mix(uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A GUID-shaped identifier that depends only on the setup and the position.
std::string derivedIdentifier(const SetupPackage& p, size_t index) {
  const std::string seed = p.productCode + "\n" + p.productTitle + "\n" + std::to_string(index);
  const uint64_t high = mix(fnv1a(seed, 0xCBF29CE484222325ull));
  const uint64_t low = mix(fnv1a(seed, high ^ 0x9E3779B97F4A7C15ull));
  static const char kHex[] = "0123456789ABCDEF";
  std::string digits;
  for (uint64_t part : {high, low})
    for (int shift = 60; shift >= 0; shift -= 4) digits += kHex[(part >> shift) & 0xF];
  for (size_t dash : {8, 13, 18, 23}) digits.insert(dash, 1, '-');
  return joined({"{", digits, "}"});
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

class SourceReader {
 public:
  explicit SourceReader(std::string_view fileName) : fileName_(fileName) {
    package_.languageSelection = "FALSE";
    package_.defaultLanguage = "English";
    package_.codePage = 1252;
    package_.buildMode = 0;
  }

  SetupPackage read(std::string_view text) {
    std::vector<std::string_view> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
      line_ = i + 1;
      try {
        readLine(lines[i]);
      } catch (const EngineError& e) {
        if (std::string_view(e.what()).starts_with(fileName_ + ":")) throw;
        fail(e.what());
      }
    }
    finish();
    return std::move(package_);
  }

 private:
  [[noreturn]] void failAt(size_t line, const std::string& message) const {
    throw EngineError(fileName_ + ":" + std::to_string(line) + ": " + message);
  }
  [[noreturn]] void fail(const std::string& message) const { failAt(line_, message); }

  // A package line holds no line break, and a list section cannot hold a
  // line that is exactly its end marker.
  void checkValue(const std::string& value, const char* what, bool inList) const {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
      fail(joined({"the ", what, " holds CR, LF or NUL; a package value is one line"}));
    if (inList && value == "$")
      fail(joined({"the ", what, " cannot be a lone \"$\": it would end its package section"}));
  }

  void readLine(std::string_view raw) {
    std::string_view line = trimBlanks(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';') return;
    if (line.front() == '[') return openSection(line);
    if (section_.empty()) fail("text before the first [section]");
    if (section_ == "setup") return readSetting(line);
    if (section_ == "script") return readCommandLine(line);
    readRow(line);
  }

  void openSection(std::string_view line) {
    if (line.back() != ']') fail("a section header ends with \"]\"");
    std::string name = toLowerAscii(trimBlanks(line.substr(1, line.size() - 2)));
    bool known = name == "setup" || name == "script";
    for (const ListSection& s : kListSections) known = known || name == s.header;
    if (!known)
      fail("unknown section [" + name +
           "] (known: setup, script, build-constants, plugins, web-media-passwords, component-sizes, "
           "file-placements, command-headers, raw-parameters)");
    section_ = name;
    if (name == "setup" && setupLine_ == 0) setupLine_ = line_;
  }

  std::pair<std::string, std::string> splitKeyValue(std::string_view line) const {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) fail("expected \"key = value\"");
    return {toLowerAscii(trimBlanks(line.substr(0, eq))), parseValue(line.substr(eq + 1))};
  }

  void readSetting(std::string_view line) {
    auto [key, value] = splitKeyValue(line);
    if (!seenSettings_.emplace(key, line_).second) fail("\"" + key + "\" is given twice");
    for (const TextSetting& s : kTextSettings) {
      if (key != s.key) continue;
      checkValue(value, s.key, false);
      s.field(package_) = value;
      return;
    }
    for (const NumberSetting& s : kNumberSettings) {
      if (key != s.key) continue;
      int32_t number = 0;
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (value.empty() || error != std::errc() || end != value.data() + value.size())
        fail("\"" + key + "\" must be a decimal integer, not \"" + value + "\"");
      package_.*s.field = number;
      return;
    }
    fail("unknown setting \"" + key + "\" in [setup]");
  }

  void readCommandLine(std::string_view line) {
    std::pair<std::string, std::string> keyValue = splitKeyValue(line);
    const std::string& key = keyValue.first;
    std::string& value = keyValue.second;
    if (key == "command") {
      checkValue(value, "command name", true);
      SourceCommand& command = commands_.emplace_back();
      command.line = line_;
      command.name = value;
      return;
    }
    if (commands_.empty()) fail("\"" + key + "\" before the first \"command =\" line");
    SourceCommand& command = commands_.back();
    auto setOnce = [&](std::optional<std::string>& field, const char* what) {
      if (field) fail(joined({"the command already has its ", what}));
      checkValue(value, what, true);
      field = value;
    };
    if (key == "param") {
      checkValue(value, "parameter", false);
      command.params.push_back(value);
      command.paramLines.push_back(line_);
    } else if (key == "id") {
      setOnce(command.id, "id");
      command.idLine = line_;
    } else if (key == "disabled") {
      if (equalsIgnoreCase(value, "true")) value.assign(1, 'C');
      else if (equalsIgnoreCase(value, "false")) value.clear();
      else fail("\"disabled\" is true or false, not \"" + value + "\"");
      setOnce(command.flag, "disabled flag");
    } else if (key == "flag") {
      setOnce(command.flag, "disabled flag");
    } else if (key == "media") {
      setOnce(command.media, "media folder");
    } else if (key == "line") {
      setOnce(command.lineMap, "source line");
    } else {
      fail("unknown command key \"" + key + "\" (known: command, id, disabled, flag, media, line, param)");
    }
  }

  void readRow(std::string_view line) {
    const ListSection* section = nullptr;
    for (const ListSection& s : kListSections)
      if (section_ == s.header) section = &s;
    std::vector<std::string> fields = parseRow(line);
    if (fields.size() != section->fields)
      fail("a row of [" + section_ + "] has " + std::to_string(section->fields) + " field" +
           (section->fields == 1 ? "" : "s") + " (" + section->layout + "), this one has " +
           std::to_string(fields.size()) + (section->fields == 1 ? " (quote a value that holds \"|\")" : ""));
    const bool rawParameters = section_ == kRawParameters;
    if (rawParameters && rawParametersLine_ == 0) rawParametersLine_ = line_;
    for (std::string& field : fields) {
      checkValue(field, rawParameters ? "parameter" : "value", !rawParameters);
      (package_.*section->list).push_back(std::move(field));
    }
  }

  void finish() {
    for (const TextSetting& s : kTextSettings)
      if (s.required && !seenSettings_.contains(s.key))
        failAt(setupLine_ ? setupLine_ : 1, joined({"[setup] has no \"", s.key, "\""}));

    std::unordered_map<std::string, size_t> idIndex;  // upper-cased id -> command
    for (size_t i = 0; i < commands_.size(); ++i) {
      SourceCommand& c = commands_[i];
      if (!c.id) c.id = derivedIdentifier(package_, i);
      auto [it, fresh] = idIndex.emplace(toUpperAscii(*c.id), i);
      if (!fresh)
        failAt(c.idLine ? c.idLine : c.line, "the identifier " + *c.id + " is already the one of the command at line " +
                                                 std::to_string(commands_[it->second].line));
    }

    for (size_t i = 0; i < commands_.size(); ++i) {
      SourceCommand& c = commands_[i];
      if (!c.params.empty() && rawParametersLine_ != 0)
        failAt(c.paramLines.front(), "a command has no \"param\" lines when the source has [raw-parameters] (line " +
                                         std::to_string(rawParametersLine_) + ")");
      // The engine finds a command's parameters by the first line that equals
      // its identifier; a parameter with that text would be taken for it.
      for (size_t k = 0; k < c.params.size(); ++k) {
        auto it = idIndex.find(toUpperAscii(c.params[k]));
        if (it != idIndex.end())
          failAt(c.paramLines[k], "a parameter cannot be the identifier of the command at line " +
                                      std::to_string(commands_[it->second].line) +
                                      ": the engine would take it for the start of that command's parameters");
      }
      package_.commandNames.push_back(c.name);
      package_.commandIds.push_back(*c.id);
      package_.disabledFlags.push_back(c.flag.value_or(""));
      package_.commandMediaFolders.push_back(c.media.value_or(""));
      package_.sourceLineMap.push_back(c.lineMap ? *c.lineMap : fileName_ + "*" + std::to_string(c.line - 1));
      if (!c.params.empty()) {
        package_.parameters.push_back(*c.id);
        package_.parameters.insert(package_.parameters.end(), c.params.begin(), c.params.end());
      }
    }
  }

  std::string fileName_;
  size_t line_ = 0;
  std::string section_;
  size_t setupLine_ = 0;
  size_t rawParametersLine_ = 0;
  std::unordered_map<std::string, size_t> seenSettings_;
  std::vector<SourceCommand> commands_;
  SetupPackage package_;
};

}  // namespace

SetupPackage parseSetupSource(std::string_view text, std::string_view fileName) {
  return SourceReader(fileName).read(text);
}

}  // namespace kox
