#include "engine/dialogs/win/control_access.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "engine/base/text.h"

namespace kox {

namespace {

bool isListBox(const DialogControl& control) { return std::string_view(control.kind->windowClass) == "ListBox"; }
bool isComboBox(const DialogControl& control) { return std::string_view(control.kind->windowClass) == "ComboBox"; }

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

struct StreamSource {
  std::string_view text;
  size_t at = 0;
};

DWORD CALLBACK readStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
  auto* source = reinterpret_cast<StreamSource*>(cookie);
  const size_t n = std::min(static_cast<size_t>(wanted), source->text.size() - source->at);
  std::copy_n(source->text.data() + source->at, n, buffer);
  source->at += n;
  *given = static_cast<LONG>(n);
  return 0;
}

}  // namespace

std::string windowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void setWindowText(HWND window, std::string_view text) { SetWindowTextA(window, std::string(text).c_str()); }

bool hasItems(const DialogControl& control) {
  return control.window && control.kind->windowClass && (isListBox(control) || isComboBox(control));
}

bool hasLines(const DialogControl& control) { return control.is(ControlKind::Memo) || control.is(ControlKind::RichEdit); }

std::vector<std::string> controlLines(const DialogControl& control) {
  std::vector<std::string> lines;
  if (hasLines(control)) {
    for (std::string_view line : splitLines(windowText(control.window))) lines.emplace_back(line);
    return lines;
  }
  if (!hasItems(control)) return lines;
  const bool list = isListBox(control);
  const int count = static_cast<int>(SendMessageA(control.window, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageA(control.window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0);
    std::string item(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    SendMessageA(control.window, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    lines.push_back(std::move(item));
  }
  return lines;
}

void setControlLines(DialogControl& control, const std::vector<std::string>& lines) {
  if (hasLines(control)) {
    setWindowText(control.window, joinLines(lines));
    return;
  }
  if (!hasItems(control)) return;
  const bool list = isListBox(control);
  SendMessageA(control.window, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines)
    SendMessageA(control.window, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

int itemIndex(const DialogControl& control) {
  if (!hasItems(control)) return -1;
  if (isListBox(control)) {
    if (GetWindowLongA(control.window, GWL_STYLE) & LBS_EXTENDEDSEL)
      return static_cast<int>(SendMessageA(control.window, LB_GETCARETINDEX, 0, 0));
    return static_cast<int>(SendMessageA(control.window, LB_GETCURSEL, 0, 0));
  }
  return static_cast<int>(SendMessageA(control.window, CB_GETCURSEL, 0, 0));
}

void setItemIndex(DialogControl& control, int index) {
  if (!hasItems(control)) return;
  if (isListBox(control)) {
    if (GetWindowLongA(control.window, GWL_STYLE) & LBS_EXTENDEDSEL) {
      SendMessageA(control.window, LB_SETSEL, FALSE, -1);
      if (index >= 0) SendMessageA(control.window, LB_SETSEL, TRUE, index);
      SendMessageA(control.window, LB_SETCARETINDEX, index, FALSE);
    } else {
      SendMessageA(control.window, LB_SETCURSEL, index, 0);
    }
  } else {
    SendMessageA(control.window, CB_SETCURSEL, index, 0);
  }
}

bool itemChecked(const DialogControl& control, int index) {
  if (!control.is(ControlKind::CheckListBox)) return false;
  const LRESULT data = SendMessageA(control.window, LB_GETITEMDATA, index, 0);
  return data != LB_ERR && data != 0;
}

void setItemChecked(DialogControl& control, int index, bool checked) {
  if (!control.is(ControlKind::CheckListBox)) return;
  SendMessageA(control.window, LB_SETITEMDATA, index, checked ? 1 : 0);
  InvalidateRect(control.window, nullptr, TRUE);
}

bool buttonChecked(const DialogControl& control) {
  return control.window && SendMessageA(control.window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setButtonChecked(DialogControl& control, bool checked) {
  if (control.window) SendMessageA(control.window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool hasPosition(const DialogControl& control) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar: case ControlKind::ProgressBar: case ControlKind::UpDown: case ControlKind::Gauge:
      return true;
    default:
      return false;
  }
}

int position(const DialogControl& control) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar: return static_cast<int>(SendMessageA(control.window, TBM_GETPOS, 0, 0));
    case ControlKind::ProgressBar: return static_cast<int>(SendMessageA(control.window, PBM_GETPOS, 0, 0));
    case ControlKind::UpDown: return static_cast<int>(SendMessageA(control.window, UDM_GETPOS32, 0, 0));
    case ControlKind::Gauge: return control.gaugeProgress;
    default: return 0;
  }
}

void setPosition(DialogControl& control, int value) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar: SendMessageA(control.window, TBM_SETPOS, TRUE, value); break;
    case ControlKind::ProgressBar: SendMessageA(control.window, PBM_SETPOS, value, 0); break;
    case ControlKind::UpDown: SendMessageA(control.window, UDM_SETPOS32, 0, value); break;
    case ControlKind::Gauge:
      control.gaugeProgress = std::clamp(value, control.gaugeMin, std::max(control.gaugeMin, control.gaugeMax));
      InvalidateRect(control.window, nullptr, TRUE);
      break;
    default: break;
  }
}

int rangeMin(const DialogControl& control) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar: return static_cast<int>(SendMessageA(control.window, TBM_GETRANGEMIN, 0, 0));
    case ControlKind::ProgressBar: return static_cast<int>(SendMessageA(control.window, PBM_GETRANGE, TRUE, 0));
    case ControlKind::UpDown: {
      INT low = 0, high = 0;
      SendMessageA(control.window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
      return low;
    }
    case ControlKind::Gauge: return control.gaugeMin;
    default: return 0;
  }
}

int rangeMax(const DialogControl& control) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar: return static_cast<int>(SendMessageA(control.window, TBM_GETRANGEMAX, 0, 0));
    case ControlKind::ProgressBar: return static_cast<int>(SendMessageA(control.window, PBM_GETRANGE, FALSE, 0));
    case ControlKind::UpDown: {
      INT low = 0, high = 0;
      SendMessageA(control.window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
      return high;
    }
    case ControlKind::Gauge: return control.gaugeMax;
    default: return 0;
  }
}

void setRange(DialogControl& control, int minimum, int maximum) {
  switch (control.kind->kind) {
    case ControlKind::TrackBar:
      SendMessageA(control.window, TBM_SETRANGEMIN, FALSE, minimum);
      SendMessageA(control.window, TBM_SETRANGEMAX, TRUE, maximum);
      break;
    case ControlKind::ProgressBar: SendMessageA(control.window, PBM_SETRANGE32, minimum, maximum); break;
    case ControlKind::UpDown: SendMessageA(control.window, UDM_SETRANGE32, minimum, maximum); break;
    case ControlKind::Gauge:
      control.gaugeMin = minimum;
      control.gaugeMax = maximum;
      InvalidateRect(control.window, nullptr, TRUE);
      break;
    default: break;
  }
}

bool hasMaxLength(const DialogControl& control) {
  switch (control.kind->kind) {
    case ControlKind::Edit: case ControlKind::MaskEdit: case ControlKind::Memo: case ControlKind::RichEdit:
      return true;
    default:
      return false;
  }
}

void setMaxLength(DialogControl& control, int32_t maxLength) {
  control.maxLength = maxLength;
  // Win32 takes 0 as "its largest limit"; a negative limit means the same here.
  const WPARAM limit = maxLength <= 0 ? 0 : static_cast<WPARAM>(std::min<int32_t>(maxLength, 0x7FFFFFFE));
  if (control.is(ControlKind::RichEdit)) SendMessageA(control.window, EM_EXLIMITTEXT, 0, limit ? limit : 0x7FFFFFFE);
  else SendMessageA(control.window, EM_SETLIMITTEXT, limit, 0);
}

bool readOnly(const DialogControl& control) {
  return control.window && (GetWindowLongA(control.window, GWL_STYLE) & ES_READONLY) != 0;
}

void setReadOnly(DialogControl& control, bool value) {
  if (control.window) SendMessageA(control.window, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void setRichText(HWND richEdit, std::string_view text, bool rtf) {
  StreamSource source{text};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, readStream};
  SendMessageA(richEdit, EM_STREAMIN, rtf ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
}

}  // namespace kox
