// A wizard dialog as a live Win32 window, built from its definition: the
// root object becomes the top-level window (class "TPoolTemplate"), every
// nested object a child control of the kind its class names, inside its
// parent object's control. The window keeps a record of each component in
// creation order (depth first, as the definition lists them), with the
// designer properties that Win32 controls do not hold themselves.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/win/handle.h"
#include "engine/dialogs/form_value.h"
#include "engine/dialogs/win/control_kinds.h"

namespace kox {

using UniqueGdiObject = std::unique_ptr<void, win::GdiObjectDeleter>;

inline constexpr char kDialogWindowClass[] = "TPoolTemplate";
// The component of a definition that is never a control.
inline constexpr std::string_view kFormDesignerComponent = "cmpFormDesigner";

struct DialogControl {
  std::string name;
  const ControlKindInfo* kind = nullptr;
  const FormObject* design = nullptr;  // its object in the dialog's definition
  HWND window = nullptr;               // none for components without a window
  DialogControl* parent = nullptr;     // nullptr: the dialog window itself
  int tag = 0;
  std::string hint;
  int tabOrder = -1;
  int32_t maxLength = 0;  // 0: no limit; kept in full, the edit gets at most what Win32 allows
  bool enabled = true;    // for components without a window
  int32_t color = 0;      // designer colour of the background
  int32_t fontColor = 0;  // designer colour of the text
  HFONT font = nullptr;   // owned by the dialog window
  win::UniqueBitmap picture;
  // Gauge values (an owner-drawn control keeps them here).
  int gaugeMin = 0, gaugeMax = 100, gaugeProgress = 0;

  bool is(ControlKind k) const { return kind->kind == k; }
};

class DialogWindow {
 public:
  // Builds the window (hidden) from a definition; dialogFileName is the
  // definition's file name without folder, kept as the window's hint and the
  // key of its text templates. A component class that a definition may not
  // hold throws EngineError ("Class TFoo not found").
  static std::unique_ptr<DialogWindow> create(const FormObject& definition, std::string dialogFileName);
  // Only create() makes dialog windows.
  struct Key {
   private:
    Key() = default;
    friend class DialogWindow;
  };
  explicit DialogWindow(Key) {}
  ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  HWND handle() const { return window_.get(); }
  const std::string& fileName() const { return fileName_; }
  int tag() const { return tag_; }
  const FormObject& definition() const { return *definition_; }

  // Components in creation order; the dialog's rules and preparation walk them.
  const std::vector<std::unique_ptr<DialogControl>>& controls() const { return controls_; }
  // The component of that name (letter case ignored), or nullptr.
  DialogControl* findControl(std::string_view name) const;
  DialogControl* controlOfWindow(HWND window) const;

  std::vector<std::string>& ruleLines() { return ruleLines_; }

  // The read-only memo and rich edit whose scrolling to the end the rules
  // watch (slot 0 the memo, slot 1 the rich edit); nullptr when none.
  DialogControl*& watched(int slot) { return watched_[slot]; }

  // Win32 colour of a designer colour (system colours resolved).
  static COLORREF systemColor(int32_t color);
  HBRUSH brush(int32_t color);
  void repaint(const DialogControl& control) const;

  // Shows the tab sheet in its page control and hides the others.
  void showPage(DialogControl& pageControl, const DialogControl& sheet);
  DialogControl* activePage(const DialogControl& pageControl) const;

  // The position of a child control within its parent's client area.
  RECT controlRect(const DialogControl& control) const;

 private:
  friend class DialogBuilder;
  friend struct DialogWindowProcs;

  std::optional<LRESULT> handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::string fileName_;
  int tag_ = 0;
  int32_t color_ = 0;
  int32_t fontColor_ = 0;
  std::unique_ptr<FormObject> definition_;
  std::vector<std::unique_ptr<DialogControl>> controls_;
  std::vector<std::string> ruleLines_;
  DialogControl* watched_[2] = {nullptr, nullptr};
  std::vector<std::pair<std::string, UniqueGdiObject>> fonts_;  // by font description
  std::vector<std::pair<int32_t, UniqueGdiObject>> brushes_;     // by designer colour
  // Declared last, so the window goes before the fonts and brushes it uses.
  win::UniqueWindow window_;
};

// Registers the window classes of dialogs and loads the control libraries
// (common controls, rich edit); safe to call more than once.
void registerDialogClasses();
// Lets a tab control pass its pages' notifications on to the dialog.
void subclassTabControl(HWND tabControl);

}  // namespace kox
