// Painting of the kinds Win32 has no control for: images, shapes, bevels,
// gauges, check list items, and the frames and captions of panels, group
// boxes and tab sheets.
#pragma once

#include <windows.h>

#include "engine/dialogs/win/dialog_window.h"

namespace kox {

// WM_DRAWITEM of an owner-drawn static or check list box.
void drawOwnerDrawnControl(DialogWindow& dialog, DialogControl& control, const DRAWITEMSTRUCT& item);

// WM_PAINT of a container (panel, group box, tab sheet).
void paintContainer(DialogWindow& dialog, DialogControl& control, HDC dc);

// The check box area of a check list item, left of its text.
RECT checkBoxOfItem(const RECT& item);

}  // namespace kox
