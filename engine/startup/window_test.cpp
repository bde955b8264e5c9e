#include <gtest/gtest.h>

#include "engine/startup/startup_layout.h"
#include "engine/startup/window_title.h"

namespace kox {
namespace {

TEST(WindowTitle, Rule) {
  EXPECT_EQ(windowTitle("My App", false), "My App - Velmora Wizard");
  EXPECT_EQ(windowTitle("", false), "Velmora Wizard");
  EXPECT_EQ(windowTitle("My App", true), "My App");
  EXPECT_EQ(windowTitle("", true), "");
  EXPECT_EQ(windowTitleSuffix(), " - Velmora Wizard");
}

TEST(StartupLayout, ProgressBesideSplash) {
  // Splash 400x300 centred on 1280x1024: left 440, top 362.
  Rect splash = centred(400, 300, 1280, 1024);
  EXPECT_EQ(splash, (Rect{440, 362, 400, 300}));
  EXPECT_EQ(progressBesideSplash(splash, 375, 120, 1280, 1024), (Rect{690, 687, 375, 120}));
}

TEST(StartupLayout, PulledBackOnScreen) {
  // Bottom edge at 1000 on a 1024-high screen, window 120 high: top 1024 - 45 - 120.
  Rect splash{100, 700, 401, 300};
  Rect r = progressBesideSplash(splash, 375, 120, 1280, 1024);
  EXPECT_EQ(r.top, 859);
  EXPECT_EQ(r.left, 100 + 200 + 50);
  // Far right: left pulled to screen width - 25 - width.
  Rect right = progressBesideSplash(Rect{1000, 100, 400, 300}, 375, 120, 1280, 1024);
  EXPECT_EQ(right.left, 1280 - 25 - 375);
  EXPECT_EQ(right.top, 425);
}

}  // namespace
}  // namespace kox
