#include "engine/script/compile_checks.h"

#include "engine/vars/script_variables.h"

namespace kox {

bool passesVariableReferenceTest(const TVariableManager& variables, std::string_view text, bool plainTextPasses) {
  std::string name = ReferenceName(text);
  if (!name.empty()) return variables.Exists(name);
  return plainTextPasses || variables.Exists(text);
}

bool isLegalFileName(std::string_view text) {
  size_t separator = text.find_last_of("\\:");
  std::string_view fileName = separator == std::string_view::npos ? text : text.substr(separator + 1);
  // After the last "\" or ":" only "/", "*", "?", "\"", "<", ">" and "|" can remain.
  return fileName.find_first_of("\\/:*?\"<>|") == std::string_view::npos;
}

}  // namespace kox
