// The two windows shown while the engine unpacks the setup and preloads its
// dialogs: the splash picture (TSetupSplash, only when "setup.bmp" lies beside
// the executable) and the small progress window (TSetupInit).
#pragma once

#include <windows.h>

#include <string>

#include "engine/base/win/handle.h"

namespace kox {

class TSetupSplash {
 public:
  // Loads the bitmap; false when the file is missing or not a bitmap.
  bool load(const std::string& bitmapPath);
  void showCentred();
  bool visible() const;
  RECT bounds() const;
  void repaint();
  void destroy();
  HWND handle() const { return window_.get(); }

 private:
  win::UniqueBitmap bitmap_;
  win::UniqueWindow window_;
};

class TSetupInit {
 public:
  // caption and label are message texts 23 and 24.
  void create(const std::string& caption, const std::string& label);
  void placeBesideSplash(const RECT& splash);
  void centre();
  void show();
  void setRange(int maximum, int position);
  void step();
  void repaint();
  void destroy();
  HWND handle() const { return window_.get(); }

 private:
  win::UniqueWindow window_;
  HWND progress_ = nullptr;
};

}  // namespace kox
