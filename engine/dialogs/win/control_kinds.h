// The 39 component kinds a dialog definition may hold, and the Win32 window
// each one becomes. Kinds without a Win32 equivalent are drawn by the dialog
// (owner-drawn statics, our container class); the glass component has no
// window at all.
#pragma once

#include <windows.h>

#include <string_view>

namespace kox {

enum class ControlKind {
  Label, Edit, Memo, Button, CheckBox, RadioButton, ListBox, ComboBox, GroupBox, Panel,
  BitBtn, SpeedButton, MaskEdit, Image, Shape, Bevel, StaticText, Gauge, PageControl, TabSheet,
  RichEdit, TrackBar, ProgressBar, UpDown, Animate, CheckListBox, TreeView, HtmlViewer,
  FileListBox, DirectoryListBox, DriveComboBox, FilterComboBox, ShellTree, ShellList, ShellCombo,
  FlashFrame, FormShape, BmpButton, VistaGlass,
};

// How the dialog treats a kind beyond its window class.
enum class ControlTraits : unsigned {
  None = 0,
  Container = 1,      // may hold child controls (our container class or the tab control)
  Graphic = 2,        // a designer graphic control: below the windowed controls, no tab stop
  WindowColor = 4,    // default background clWindow rather than the parent's colour
  HasCaption = 8,     // "Caption" is its window text
  HasText = 16,       // "Text" is its window text
  OwnerDrawn = 32,    // painted by the dialog in WM_DRAWITEM
};
constexpr ControlTraits operator|(ControlTraits a, ControlTraits b) {
  return static_cast<ControlTraits>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool has(ControlTraits set, ControlTraits trait) {
  return (static_cast<unsigned>(set) & static_cast<unsigned>(trait)) != 0;
}

struct ControlKindInfo {
  const char* className;    // the designer's class name, "TLabel"
  ControlKind kind;
  const char* windowClass;  // Win32 class; nullptr: no window
  DWORD style;              // besides WS_CHILD, visibility and WS_DISABLED
  DWORD exStyle;
  ControlTraits traits;
};

// The kind of a designer class name (letter case ignored), or nullptr when
// a definition may not hold it.
const ControlKindInfo* findControlKind(std::string_view className);

// Our window class of panels, group boxes and tab sheets.
inline constexpr char kContainerClass[] = "KoxContainer";
// Window class of the rich edit kinds (riched20.dll).
inline constexpr char kRichEditClass[] = "RichEdit20A";

}  // namespace kox
