#include "engine/startup/startup_windows.h"

#include <commctrl.h>

#include "engine/base/error.h"
#include "engine/startup/startup_layout.h"

namespace kox {
namespace {

constexpr const char* kSplashClass = "TSetupSplash";
constexpr const char* kInitClass = "TSetupInit";

void registerClassOnce(const char* name) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(GetModuleHandleA(nullptr), name, &existing)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (!RegisterClassExA(&wc)) throw EngineError(std::string("Unable to register the window class ") + name);
}

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

RECT windowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

bool isXpOrLater() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
  return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1);
}

}  // namespace

bool TSetupSplash::load(const std::string& bitmapPath) {
  bitmap_.reset(static_cast<HBITMAP>(LoadImageA(nullptr, bitmapPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
  if (!bitmap_) return false;
  registerClassOnce(kSplashClass);
  BITMAP info{};
  GetObjectA(bitmap_.get(), sizeof(info), &info);
  // The window and its picture take the picture's size.
  window_.reset(CreateWindowExA(WS_EX_TOOLWINDOW, kSplashClass, "", WS_POPUP, 0, 0, info.bmWidth, info.bmHeight,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  if (!window_) return false;
  HWND picture = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, info.bmWidth,
                                 info.bmHeight, window_.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (picture) SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
  return true;
}

void TSetupSplash::showCentred() {
  if (!window_) return;
  RECT r = windowRect(window_.get());
  Rect c = centred(r.right - r.left, r.bottom - r.top, screenWidth(), screenHeight());
  SetWindowPos(window_.get(), HWND_TOP, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  repaint();
}

bool TSetupSplash::visible() const { return window_ && IsWindowVisible(window_.get()); }

RECT TSetupSplash::bounds() const { return window_ ? windowRect(window_.get()) : RECT{}; }

void TSetupSplash::repaint() {
  if (window_) RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TSetupSplash::destroy() {
  if (window_) ShowWindow(window_.get(), SW_HIDE);
  window_.reset();
}

void TSetupInit::create(const std::string& caption, const std::string& label) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  registerClassOnce(kInitClass);
  // A fixed single border and a caption without title-bar buttons.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER;
  const DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT r{0, 0, kInitClientWidth, kInitClientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  window_.reset(CreateWindowExA(exStyle, kInitClass, caption.c_str(), style, 0, 0, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, instance, nullptr));
  if (!window_) throw EngineError("Unable to create the start-up progress window");
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  // The same place holds one icon for Windows XP and later and another for older systems.
  HWND icon = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, 16, 16, 32, 32, window_.get(),
                              nullptr, instance, nullptr);
  if (icon)
    SendMessageA(icon, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIcon(nullptr, isXpOrLater() ? IDI_INFORMATION : IDI_APPLICATION)), 0);
  HWND text = CreateWindowExA(0, "STATIC", label.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 56, 16, 297, 33,
                              window_.get(), nullptr, instance, nullptr);
  if (text) SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  progress_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 16, 56, 337, 17, window_.get(), nullptr,
                              instance, nullptr);
}

void TSetupInit::placeBesideSplash(const RECT& splash) {
  if (!window_) return;
  RECT own = windowRect(window_.get());
  Rect r = progressBesideSplash(Rect{splash.left, splash.top, splash.right - splash.left, splash.bottom - splash.top},
                                own.right - own.left, own.bottom - own.top, screenWidth(), screenHeight());
  SetWindowPos(window_.get(), HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void TSetupInit::centre() {
  if (!window_) return;
  RECT own = windowRect(window_.get());
  Rect r = centred(own.right - own.left, own.bottom - own.top, screenWidth(), screenHeight());
  SetWindowPos(window_.get(), HWND_TOP, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void TSetupInit::show() {
  if (!window_) return;
  ShowWindow(window_.get(), SW_SHOW);
  repaint();
}

void TSetupInit::setRange(int maximum, int position) {
  if (!progress_) return;
  SendMessageA(progress_, PBM_SETRANGE32, 0, maximum);
  SendMessageA(progress_, PBM_SETSTEP, 1, 0);
  SendMessageA(progress_, PBM_SETPOS, position, 0);
}

void TSetupInit::step() {
  if (progress_) SendMessageA(progress_, PBM_STEPIT, 0, 0);
}

void TSetupInit::repaint() {
  if (window_) RedrawWindow(window_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TSetupInit::destroy() {
  if (window_) ShowWindow(window_.get(), SW_HIDE);
  window_.reset();
  progress_ = nullptr;
}

}  // namespace kox
