// Reading and changing the state of live dialog controls, whatever Win32
// class carries them: texts, item lists, selection, check marks, positions
// and limits. The property interface and dialog preparation both go
// through here, so a control kind is handled in one place.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/dialogs/win/dialog_window.h"

namespace kox {

std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view text);

// True for kinds whose content is a list of items (list boxes, combo boxes).
bool hasItems(const DialogControl& control);
// True for the memo and the rich edit, whose content is lines.
bool hasLines(const DialogControl& control);

// The items of a list kind or the lines of a memo or rich edit.
std::vector<std::string> controlLines(const DialogControl& control);
void setControlLines(DialogControl& control, const std::vector<std::string>& lines);

int itemIndex(const DialogControl& control);
void setItemIndex(DialogControl& control, int index);

bool itemChecked(const DialogControl& control, int index);
void setItemChecked(DialogControl& control, int index, bool checked);

bool buttonChecked(const DialogControl& control);
void setButtonChecked(DialogControl& control, bool checked);

// Position, minimum and maximum of track bars, progress bars, up-downs and gauges.
bool hasPosition(const DialogControl& control);
int position(const DialogControl& control);
void setPosition(DialogControl& control, int value);
int rangeMin(const DialogControl& control);
int rangeMax(const DialogControl& control);
void setRange(DialogControl& control, int minimum, int maximum);

// Edits, memos and rich edits.
bool hasMaxLength(const DialogControl& control);
void setMaxLength(DialogControl& control, int32_t maxLength);
bool readOnly(const DialogControl& control);
void setReadOnly(DialogControl& control, bool value);

// Text of a rich edit from RTF (or plain text when rtf is false).
void setRichText(HWND richEdit, std::string_view text, bool rtf);

}  // namespace kox
