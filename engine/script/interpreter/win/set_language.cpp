#include "engine/script/interpreter/win/set_language.h"

#include <windows.h>

#include "engine/base/win/handle.h"
#include "engine/startup/startup_settings.h"

namespace kox {
namespace {

constexpr const char* kWindowClass = "TSetLanguage";
constexpr int kListId = 100;
constexpr int kLabelHeight = 36;

struct LanguageWindowState {
  HWND list = nullptr;
  bool done = false;
  std::optional<std::string> chosen;
};

LRESULT CALLBACK languageWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<LanguageWindowState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
      if (!state) break;
      if (LOWORD(wParam) == IDOK || (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_DBLCLK)) {
        const LRESULT index = SendMessageA(state->list, LB_GETCURSEL, 0, 0);
        if (index != LB_ERR) {
          std::string text(static_cast<size_t>(SendMessageA(state->list, LB_GETTEXTLEN, index, 0)), '\0');
          SendMessageA(state->list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
          state->chosen = text;
        }
        state->done = true;
        return 0;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        state->done = true;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (state) state->done = true;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

std::optional<std::string> TSetLanguage::choose(const std::string& title, const std::vector<std::string>& languages,
                                                size_t preselected) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = languageWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  windowClass.hIcon = LoadIcon(nullptr, IDI_QUESTION);
  RegisterClassA(&windowClass);  // fails harmlessly when registered before

  MessageTable& texts = messageTable();
  RECT frame{0, 0, 320, 240};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  AdjustWindowRect(&frame, style, FALSE);
  win::UniqueWindow window(CreateWindowExA(WS_EX_DLGMODALFRAME, kWindowClass,
                                           (title + " - " + texts.text(kMsgSelectLanguageCaption)).c_str(), style,
                                           CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                           frame.bottom - frame.top, nullptr, nullptr, instance, nullptr));
  if (!window) return languages.empty() ? std::nullopt : std::optional<std::string>(languages[preselected]);
  LanguageWindowState state;
  SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto child = [&](const char* cls, const std::string& text, DWORD childStyle, int x, int y, int w, int h, int id) {
    HWND control = CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | childStyle, x, y, w, h, window.get(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return control;
  };
  child("STATIC", texts.text(kMsgSelectLanguageLabel), 0, 12, 12, 296, kLabelHeight, 0);
  state.list = child("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 12, 12 + kLabelHeight, 296, 140, kListId);
  child("BUTTON", texts.text(38), BS_DEFPUSHBUTTON | WS_TABSTOP, 148, 200, 76, 26, IDOK);
  child("BUTTON", texts.text(39), WS_TABSTOP, 232, 200, 76, 26, IDCANCEL);
  for (const auto& name : languages) SendMessageA(state.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(state.list, LB_SETCURSEL, preselected, 0);

  // Centred on the screen, modal by its own message loop.
  RECT bounds{};
  GetWindowRect(window.get(), &bounds);
  SetWindowPos(window.get(), HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2, 0, 0, SWP_NOSIZE);
  ShowWindow(window.get(), SW_SHOW);
  SetFocus(state.list);
  MSG message;
  while (!state.done && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(window.get(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  SetWindowLongPtrA(window.get(), GWLP_USERDATA, 0);
  return state.chosen;
}

}  // namespace kox
