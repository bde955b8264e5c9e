// The compile step and build-constant expansion on arbitrary script lists.
// The input is read like the package's list sections: lines (LF or CR LF)
// in five sections, each ended by a line "$": command names, identifiers,
// disabled flags, parameter blocks, build constant pairs. Missing sections are
// empty. Compilation must end with a result, never crash or hang, and every
// parameter's build constants must expand within the limits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/base/text.h"
#include "engine/script/compiler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::vector<std::string>> sections(5);
  size_t section = 0;
  for (std::string_view line : kox::splitLines(text)) {
    if (line == "$") {
      if (++section == sections.size()) break;
      continue;
    }
    sections[section].emplace_back(line);
  }
  kox::ScriptLists lists;
  lists.commandNames = sections[0];
  lists.commandIds = sections[1];
  lists.disabledFlags = sections[2];
  lists.parameters = sections[3];
  lists.buildConstants = sections[4];
  kox::ScriptStore script(std::move(lists));

  kox::TVariableManager variables;
  kox::CompileResult result = kox::compileScript(script, variables);
  if (result.succeeded() != (result.message == kox::kCompileSuccessMessage)) std::abort();
  if (!result.succeeded() && result.index != kox::kBlockBalanceFailureIndex &&
      (result.index < 0 || static_cast<size_t>(result.index) >= script.commandCount()))
    std::abort();
  if (script.executionMarks().size() > script.commandCount()) std::abort();

  for (const std::string& parameter : sections[3]) {
    std::string expanded = script.expandBuildConstants(parameter);
    if (expanded.size() > std::max(parameter.size(), kox::BuildConstants::kMaxLength)) std::abort();
  }
  return 0;
}
