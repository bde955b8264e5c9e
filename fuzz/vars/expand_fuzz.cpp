// ExpandReferences and ExpandReferencesQuoted against a store that holds
// self-referencing, mutually referencing and doubling values. The expansion
// must end, stay within its growth limit, and leave text without "$" alone.
//
// Input: the text to expand. A first line starting with "=" defines extra
// variables as NAME=VALUE pairs separated by "|", so the fuzzer can build its
// own cycles.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/vars/variable_manager.h"

namespace {

void fillStore(kox::TVariableManager& store) {
  store.Put("A", "x$A$");
  store.Put("SELF", "$SELF$");
  store.Put("PING", "$PONG$");
  store.Put("PONG", "<$PING$>");
  store.Put("TWICE", "$TWICE$$TWICE$");
  store.Put("HALF", "$ON");
  store.Put("ONE", "1");
  store.Put("TAIL", "$");
  store.Put("EMPTY", "");
  store.Put("QUOTE", "say \"hi\"");
  store.Put("NEWLINE", "\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  kox::TVariableManager store;
  // Smaller limits than the engine's keep each run short; the code paths are the same.
  store.SetExpansionLimits({64, 4000, 1u << 18});
  fillStore(store);

  if (!input.empty() && input.front() == '=') {
    size_t end = input.find('\n');
    std::string_view definitions = input.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    while (!definitions.empty()) {
      size_t bar = definitions.find('|');
      std::string_view pair = definitions.substr(0, bar);
      size_t equals = pair.find('=');
      if (equals != std::string_view::npos) store.Put(pair.substr(0, equals), pair.substr(equals + 1));
      definitions = bar == std::string_view::npos ? std::string_view() : definitions.substr(bar + 1);
    }
  }

  const std::string text(input);
  const kox::ExpansionLimits& limits = store.expansionLimits();
  for (bool quoted : {false, true}) {
    std::string result = quoted ? store.ExpandReferencesQuoted(text) : store.ExpandReferences(text);
    if (result.size() > text.size() + limits.maxGrowth) std::abort();
    if (text.find('$') == std::string::npos && result != text) std::abort();
  }
  return 0;
}
