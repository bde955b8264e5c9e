#include "engine/startup/startup_layout.h"

namespace kox {

Rect centred(int width, int height, int screenWidth, int screenHeight) {
  return Rect{(screenWidth - width) / 2, (screenHeight - height) / 2, width, height};
}

Rect progressBesideSplash(const Rect& splash, int width, int height, int screenWidth, int screenHeight) {
  Rect r{splash.left + splash.width / 2 + 50, splash.top + splash.height + 25, width, height};
  if (r.top > screenHeight - 45 - height) r.top = screenHeight - 45 - height;
  if (r.left > screenWidth - 25 - width) r.left = screenWidth - 25 - width;
  return r;
}

}  // namespace kox
