// ImportVariables on arbitrary variable list text, then a round trip: what
// ExportVariables writes must import to the same store.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/vars/script_variables.h"
#include "engine/vars/variable_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  // The list reader alone: every item list it gives must survive writing.
  std::vector<std::string> items = kox::parseVariableList(text);
  if (!(items.size() == 1 && items[0].empty()) && kox::parseVariableList(kox::formatVariableList(items)) != items)
    std::abort();

  kox::TVariableManager store;
  store.Put("STALE", "must go");
  kox::ImportVariables(store, text);

  kox::TVariableManager copy;
  kox::ImportVariables(copy, kox::ExportVariables(store));
  std::vector<std::string> original, imported;
  store.Enumerate(original);
  copy.Enumerate(imported);
  if (original.size() != imported.size()) std::abort();
  for (size_t i = 0; i < original.size(); i += 2) {
    auto value = copy.Find(original[i]);
    if (!value || *value != original[i + 1]) std::abort();
  }
  return 0;
}
