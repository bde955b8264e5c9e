// Any rules text against a small dialog: parsing never fails, every part is
// taken from the line, and applying the rules only ever ends with the
// property interface's own error.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/dialog_rules.h"

namespace {

class SmallDialog : public kox::PropertyInterface {
 public:
  SmallDialog() {
    values_["edit1.text"] = "abc";
    values_["checkbox1.checked"] = "True";
    values_["button1.enabled"] = "False";
    values_["memo1.maxlength"] = "2147483647";
  }
  std::optional<std::string> read(std::string_view control, std::string_view property) override {
    const auto found = values_.find(key(control, property));
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }
  bool write(std::string_view control, std::string_view property, std::string_view value) override {
    const auto found = values_.find(key(control, property));
    if (found == values_.end()) return false;
    if (found->first == "memo1.maxlength" && value.find_first_not_of("0123456789") != std::string_view::npos)
      throw kox::EngineError("not an integer");
    found->second = std::string(value);
    return true;
  }

 private:
  static std::string key(std::string_view control, std::string_view property) {
    return kox::toLowerAscii(control) + "." + kox::toLowerAscii(property);
  }
  std::map<std::string, std::string> values_;
};

bool isPartOf(const std::string& part, std::string_view line) {
  return part.empty() || line.find(part) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  for (std::string_view line : kox::splitLines(text)) {
    lines.emplace_back(line);
    const kox::DialogRule rule = kox::parseRule(line);
    for (const std::string* part : {&rule.conditionControl, &rule.conditionProperty, &rule.conditionValue,
                                    &rule.targetControl, &rule.targetProperty, &rule.targetValue}) {
      if (!isPartOf(*part, line)) std::abort();
    }
  }
  SmallDialog dialog;
  try {
    kox::applyDialogRules(dialog, lines);
  } catch (const kox::EngineError&) {
  }
  return 0;
}
