// The read-to-the-end marker of licence memos: a watched memo or rich edit
// whose MaxLength is kScrolledToEndMaxLength has been scrolled to its end,
// and display rules test for that value. The dialog window watches vertical
// scrolls and wheel turns and asks scrolledToEnd with the scroll information.
#pragma once

#include <cstdint>

namespace kox {

constexpr int32_t kScrolledToEndMaxLength = 2147483647;
constexpr uint32_t kMessageVScroll = 0x0115;     // WM_VSCROLL
constexpr uint32_t kMessageMouseWheel = 0x020A;  // WM_MOUSEWHEEL

// True for the messages after which the watcher looks at the scroll position.
bool isScrollMessage(uint32_t message);

// True when the last page is in view: nMax - nPos is negative or not greater
// than nPage. Computed in 64 bits, so extreme ranges cannot overflow.
bool scrolledToEnd(int32_t nMax, int32_t nPos, uint32_t nPage);

}  // namespace kox
