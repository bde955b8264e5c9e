#include "engine/script/values/path_value.h"

#include "engine/script/values/platform_text.h"

namespace kox {

std::string CollapseDoubledBackslashes(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    result += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return result;
}

std::string PathValueOf(std::string_view expanded) {
  std::string result = CollapseDoubledBackslashes(expanded);
  bool network = expanded.starts_with("\\\\");
  if (network && !result.starts_with("\\\\")) result.insert(0, 1, '\\');
  return result;
}

std::string PathValue(std::string_view expanded) {
  selectAnsiFileApis();
  return PathValueOf(expanded);
}

}  // namespace kox
