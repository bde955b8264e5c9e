// kox_dialog_preview FOLDER DIALOG [SECONDS] [NAME=VALUE ...]
// Loads FOLDER\DIALOG.dfm as the engine preloads it, sets the variables,
// prepares the dialog and shows it for SECONDS (default 10), so a page can
// be looked at, or photographed, without running a setup.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "engine/base/text.h"
#include "engine/dialogs/win/dialog_engine.h"
#include "engine/vars/script_variables.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace kox;
  if (__argc < 3) {
    MessageBoxA(nullptr, "usage: kox_dialog_preview FOLDER DIALOG [SECONDS] [NAME=VALUE ...]", "kox_dialog_preview",
                MB_OK);
    return 2;
  }
  const std::string folder = withBackslash(__argv[1]);
  const int seconds = __argc > 3 ? std::atoi(__argv[3]) : 10;
  for (int i = 4; i < __argc; ++i) {
    const std::string assignment = __argv[i];
    const size_t equals = assignment.find('=');
    if (equals != std::string::npos)
      WriteVariable(variableStore(), assignment.substr(0, equals), assignment.substr(equals + 1), "Preview", {});
  }
  try {
    DialogEngine& engine = dialogEngine();
    engine.init({folder, false, "This movie cannot be played here."});
    HWND window = engine.loadDialog("0", folder + __argv[2] + ".dfm");
    engine.prepareDialog("0");
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (message.message == WM_TIMER && message.hwnd == nullptr) break;
      if (IsDialogMessageA(window, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    engine.freeDialogs();
  } catch (const std::exception& e) {
    MessageBoxA(nullptr, e.what(), "kox_dialog_preview", MB_OK | MB_ICONERROR);
    return 1;
  }
  return 0;
}
