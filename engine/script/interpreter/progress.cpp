#include "engine/script/interpreter/progress.h"

#include "engine/script/interpreter/condition.h"
#include "engine/vars/variable_manager.h"

namespace kox {

void reportProgress(TVariableManager& store, uint64_t tick, std::string text, int64_t minimum, int64_t maximum,
                    int64_t position) {
  store.Put(kLastDelegateTickVariable, std::to_string(tick));
  if (text == kProgressReuse) {
    // Values that are not numbers (a script may write anything) count as 0.
    text = store.Get(kProgressTextVariable);
    position = parseDecimal(store.Get(kProgressVariable)).value_or(0);
    maximum = parseDecimal(store.Get(kProgressMaxVariable)).value_or(0);
    minimum = parseDecimal(store.Get(kProgressMinVariable)).value_or(0);
  }
  if (position != -1) {
    store.Put(kProgressMaxVariable, std::to_string(maximum));
    store.Put(kProgressMinVariable, std::to_string(minimum));
    store.Put(kProgressVariable, std::to_string(position));
  }
  if (text != kProgressKeepText) store.Put(kProgressTextVariable, text);
}

std::atomic<bool>& delegatedProgress() {
  static std::atomic<bool> flag{false};
  return flag;
}

}  // namespace kox
