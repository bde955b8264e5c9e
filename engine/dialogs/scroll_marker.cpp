#include "engine/dialogs/scroll_marker.h"

namespace kox {

bool isScrollMessage(uint32_t message) { return message == kMessageVScroll || message == kMessageMouseWheel; }

bool scrolledToEnd(int32_t nMax, int32_t nPos, uint32_t nPage) {
  const int64_t left = static_cast<int64_t>(nMax) - nPos;
  return left < 0 || left <= static_cast<int64_t>(nPage);
}

}  // namespace kox
