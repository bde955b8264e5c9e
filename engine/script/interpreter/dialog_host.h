// What the interpreter asks of the dialog engine. The dialog engine owns the
// preloaded wizard dialogs (keyed by the "Display Dialog" command's index in
// decimal) and implements this interface; until it does, and in tests, the
// silent host below answers.
#pragma once

#include <cstdint>
#include <string>

namespace kox {

// Result codes of a modal dialog.
enum class DialogCode : int {
  NotModal = 0,
  Cancel = 2,
  Next = 6,
  Back = 7,
  Text = 8,  // the dialog returned a text (DialogOutcome::text)
};

struct DialogOutcome {
  int code = static_cast<int>(DialogCode::NotModal);
  std::string text;  // for DialogCode::Text
};

class DialogHost {
 public:
  virtual ~DialogHost() = default;
  // Freezes drawing of the visible dialog, prepares the dialog for display
  // (control values from variables, rules), releases drawing.
  virtual void prepare(const std::string& key) = 0;
  // Shows the dialog modally and returns when the user leaves it.
  virtual DialogOutcome showModal(const std::string& key) = 0;
  // Shows the dialog modelessly; returns its window handle (0 when none).
  virtual uintptr_t showModeless(const std::string& key) = 0;
  virtual void hide(const std::string& key) = 0;
  // The script ends: hide and destroy every dialog and the engine's windows.
  virtual void destroyAll() = 0;
};

// Answers as a silent run: every modal dialog returns Next, modeless ones
// have no window.
class SilentDialogHost : public DialogHost {
 public:
  void prepare(const std::string&) override {}
  DialogOutcome showModal(const std::string&) override { return {static_cast<int>(DialogCode::Next), {}}; }
  uintptr_t showModeless(const std::string&) override { return 0; }
  void hide(const std::string&) override {}
  void destroyAll() override {}
};

// The dialog host of the engine process: the silent host until the dialog
// engine installs its own.
DialogHost& engineDialogHost();
void setEngineDialogHost(DialogHost* host);  // nullptr restores the silent host

}  // namespace kox
