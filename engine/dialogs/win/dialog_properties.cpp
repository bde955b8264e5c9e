#include "engine/dialogs/win/dialog_properties.h"

#include <commctrl.h>

#include <charconv>
#include <functional>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/form_colors.h"
#include "engine/dialogs/win/control_access.h"

namespace kox {

namespace {

std::string boolText(bool value) { return value ? "True" : "False"; }

bool parseBool(std::string_view text) {
  if (equalsIgnoreCase(text, "True")) return true;
  if (equalsIgnoreCase(text, "False")) return false;
  throw EngineError("'" + std::string(text) + "' is not a valid boolean value");
}

int32_t parseInt(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  int32_t value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
    throw EngineError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

bool windowed(const DialogControl& c) { return c.window != nullptr; }
bool captioned(const DialogControl& c) { return windowed(c) && has(c.kind->traits, ControlTraits::HasCaption); }
bool texted(const DialogControl& c) { return windowed(c) && has(c.kind->traits, ControlTraits::HasText); }
bool listed(const DialogControl& c) { return hasItems(c); }
bool checkable(const DialogControl& c) { return c.is(ControlKind::CheckBox) || c.is(ControlKind::RadioButton); }
bool limited(const DialogControl& c) { return windowed(c) && hasMaxLength(c); }
bool positioned(const DialogControl& c) { return windowed(c) && hasPosition(c) && !c.is(ControlKind::Gauge); }
bool gauge(const DialogControl& c) { return c.is(ControlKind::Gauge); }
bool anyComponent(const DialogControl&) { return true; }

// Left, Top, Width or Height, moved or sized in the parent's client area.
void setBounds(DialogWindow& dialog, DialogControl& control, int which, int32_t value) {
  RECT rect = dialog.controlRect(control);
  int bounds[4] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  bounds[which] = value;
  SetWindowPos(control.window, nullptr, bounds[0], bounds[1], bounds[2], bounds[3], SWP_NOZORDER | SWP_NOACTIVATE);
}

int bound(DialogWindow& dialog, const DialogControl& control, int which) {
  const RECT rect = dialog.controlRect(control);
  const int bounds[4] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  return bounds[which];
}

void setCaption(DialogWindow& dialog, DialogControl& control, std::string_view text) {
  setWindowText(control.window, text);
  if (control.is(ControlKind::TabSheet) && control.parent) {
    // The sheet's caption is also its tab's text.
    int index = 0;
    for (const auto& other : dialog.controls()) {
      if (other.get() == &control) break;
      if (other->parent == control.parent && other->is(ControlKind::TabSheet)) ++index;
    }
    std::string copy(text);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = copy.data();
    SendMessageA(control.parent->window, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
  }
  dialog.repaint(control);
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  return text;
}

struct PropertyEntry {
  const char* name;
  bool (*applies)(const DialogControl&);
  std::function<std::string(DialogWindow&, DialogControl&)> read;
  // Empty for read-only properties.
  std::function<void(DialogWindow&, DialogControl&, std::string_view)> write;
};

const std::vector<PropertyEntry>& propertyTable() {
  static const std::vector<PropertyEntry> table = {
      {"Name", anyComponent, [](DialogWindow&, DialogControl& c) { return c.name; }, {}},
      {"Tag", anyComponent, [](DialogWindow&, DialogControl& c) { return std::to_string(c.tag); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { c.tag = parseInt(v); }},
      {"Hint", anyComponent, [](DialogWindow&, DialogControl& c) { return c.hint; },
       [](DialogWindow&, DialogControl& c, std::string_view v) { c.hint = v; }},
      {"Enabled", anyComponent,
       [](DialogWindow&, DialogControl& c) {
         return boolText(c.window ? (GetWindowLongA(c.window, GWL_STYLE) & WS_DISABLED) == 0 : c.enabled);
       },
       [](DialogWindow&, DialogControl& c, std::string_view v) {
         c.enabled = parseBool(v);
         if (c.window) EnableWindow(c.window, c.enabled);
       }},
      {"Visible", windowed,
       [](DialogWindow&, DialogControl& c) { return boolText(GetWindowLongA(c.window, GWL_STYLE) & WS_VISIBLE); },
       [](DialogWindow&, DialogControl& c, std::string_view v) {
         ShowWindow(c.window, parseBool(v) ? SW_SHOWNA : SW_HIDE);
       }},
      {"Left", windowed, [](DialogWindow& d, DialogControl& c) { return std::to_string(bound(d, c, 0)); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) { setBounds(d, c, 0, parseInt(v)); }},
      {"Top", windowed, [](DialogWindow& d, DialogControl& c) { return std::to_string(bound(d, c, 1)); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) { setBounds(d, c, 1, parseInt(v)); }},
      {"Width", windowed, [](DialogWindow& d, DialogControl& c) { return std::to_string(bound(d, c, 2)); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) { setBounds(d, c, 2, parseInt(v)); }},
      {"Height", windowed, [](DialogWindow& d, DialogControl& c) { return std::to_string(bound(d, c, 3)); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) { setBounds(d, c, 3, parseInt(v)); }},
      {"TabOrder", windowed, [](DialogWindow&, DialogControl& c) { return std::to_string(c.tabOrder); }, {}},
      {"Color", windowed, [](DialogWindow&, DialogControl& c) { return colorToText(c.color); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) {
         std::optional<int32_t> color = colorFromText(v);
         if (!color) throw EngineError("'" + std::string(v) + "' is not a valid colour");
         c.color = *color;
         d.repaint(c);
       }},
      {"Caption", captioned, [](DialogWindow&, DialogControl& c) { return windowText(c.window); },
       [](DialogWindow& d, DialogControl& c, std::string_view v) { setCaption(d, c, v); }},
      {"Text", texted, [](DialogWindow&, DialogControl& c) { return windowText(c.window); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setWindowText(c.window, v); }},
      {"Lines", hasLines, [](DialogWindow&, DialogControl& c) { return windowText(c.window); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setWindowText(c.window, v); }},
      {"Items", listed, [](DialogWindow&, DialogControl& c) { return joined(controlLines(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) {
         std::vector<std::string> lines;
         for (std::string_view line : splitLines(v)) lines.emplace_back(line);
         setControlLines(c, lines);
       }},
      {"ItemIndex", listed, [](DialogWindow&, DialogControl& c) { return std::to_string(itemIndex(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setItemIndex(c, parseInt(v)); }},
      {"Checked", checkable, [](DialogWindow&, DialogControl& c) { return boolText(buttonChecked(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setButtonChecked(c, parseBool(v)); }},
      {"MaxLength", limited, [](DialogWindow&, DialogControl& c) { return std::to_string(c.maxLength); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setMaxLength(c, parseInt(v)); }},
      {"ReadOnly", limited, [](DialogWindow&, DialogControl& c) { return boolText(readOnly(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setReadOnly(c, parseBool(v)); }},
      {"Position", positioned, [](DialogWindow&, DialogControl& c) { return std::to_string(position(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setPosition(c, parseInt(v)); }},
      {"Min", positioned, [](DialogWindow&, DialogControl& c) { return std::to_string(rangeMin(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setRange(c, parseInt(v), rangeMax(c)); }},
      {"Max", positioned, [](DialogWindow&, DialogControl& c) { return std::to_string(rangeMax(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setRange(c, rangeMin(c), parseInt(v)); }},
      {"Progress", gauge, [](DialogWindow&, DialogControl& c) { return std::to_string(position(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setPosition(c, parseInt(v)); }},
      {"MinValue", gauge, [](DialogWindow&, DialogControl& c) { return std::to_string(rangeMin(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setRange(c, parseInt(v), rangeMax(c)); }},
      {"MaxValue", gauge, [](DialogWindow&, DialogControl& c) { return std::to_string(rangeMax(c)); },
       [](DialogWindow&, DialogControl& c, std::string_view v) { setRange(c, rangeMin(c), parseInt(v)); }},
      {"ActivePage", [](const DialogControl& c) { return c.is(ControlKind::PageControl); },
       [](DialogWindow& d, DialogControl& c) {
         const DialogControl* page = d.activePage(c);
         return page ? page->name : std::string();
       },
       [](DialogWindow& d, DialogControl& c, std::string_view v) {
         const DialogControl* sheet = d.findControl(v);
         if (!sheet || sheet->parent != &c || !sheet->is(ControlKind::TabSheet))
           throw EngineError("'" + std::string(v) + "' is not a page of " + c.name);
         d.showPage(c, *sheet);
       }},
  };
  return table;
}

const PropertyEntry* findEntry(const DialogControl& control, std::string_view property) {
  for (const PropertyEntry& entry : propertyTable())
    if (equalsIgnoreCase(entry.name, property) && entry.applies(control)) return &entry;
  return nullptr;
}

}  // namespace

std::optional<std::string> DialogProperties::read(std::string_view controlName, std::string_view property) {
  DialogControl* control = dialog_.findControl(controlName);
  if (!control) return std::nullopt;
  const PropertyEntry* entry = findEntry(*control, property);
  if (!entry) return std::nullopt;
  return entry->read(dialog_, *control);
}

bool DialogProperties::write(std::string_view controlName, std::string_view property, std::string_view value) {
  DialogControl* control = dialog_.findControl(controlName);
  if (!control) return false;
  const PropertyEntry* entry = findEntry(*control, property);
  if (!entry) return false;
  if (!entry->write) throw EngineError("property " + std::string(entry->name) + " is read-only");
  entry->write(dialog_, *control, value);
  return true;
}

}  // namespace kox
