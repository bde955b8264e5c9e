// The property interface over a live dialog: the display rules and the
// tests read and write the controls' published properties by name, as the
// designer's property editors show them. The properties each kind has:
//
//   Name, Tag, Hint                      every component (Name read-only)
//   Enabled                              every component
//   Left, Top, Width, Height, Visible,   every control with a window
//   TabOrder, Color
//   Caption                              kinds with a caption (labels, buttons,
//                                        check boxes, panels, group boxes ...)
//   Text                                 edits, memos, rich edits, combo boxes
//   Lines                                memos and rich edits (lines joined by CR LF)
//   Items, ItemIndex                     list and combo kinds
//   Checked                              check boxes and radio buttons
//   MaxLength, ReadOnly                  edits, mask edits, memos, rich edits
//   Position, Min, Max                   track bars, progress bars, up-downs
//   Progress, MinValue, MaxValue         gauges
//   ActivePage                           page controls (the name of the sheet)
#pragma once

#include "engine/dialogs/property_interface.h"
#include "engine/dialogs/win/dialog_window.h"

namespace kox {

class DialogProperties : public PropertyInterface {
 public:
  explicit DialogProperties(DialogWindow& dialog) : dialog_(dialog) {}

  std::optional<std::string> read(std::string_view control, std::string_view property) override;
  bool write(std::string_view control, std::string_view property, std::string_view value) override;

 private:
  DialogWindow& dialog_;
};

}  // namespace kox
