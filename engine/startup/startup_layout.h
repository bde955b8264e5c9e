// Where the start-up progress window goes relative to the splash picture.
#pragma once

namespace kox {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// Start-up progress window: client size and its controls.
inline constexpr int kInitClientWidth = 369;
inline constexpr int kInitClientHeight = 89;

// Centred on a screen of the given size.
Rect centred(int width, int height, int screenWidth, int screenHeight);

// The progress window's left edge goes 50 pixels right of the splash's middle
// and its top 25 pixels below the splash; then it is pulled back so its top
// stays within screen height - 45 - its height and its left within screen
// width - 25 - its width.
Rect progressBesideSplash(const Rect& splash, int width, int height, int screenWidth, int screenHeight);

}  // namespace kox
