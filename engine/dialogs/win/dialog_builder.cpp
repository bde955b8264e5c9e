// DialogWindow::create: the definition's objects turned into windows.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/form_colors.h"
#include "engine/dialogs/form_pictures.h"
#include "engine/dialogs/win/control_access.h"
#include "engine/dialogs/win/dialog_window.h"

namespace kox {

namespace {

constexpr int32_t kWindowColor = static_cast<int32_t>(0x80000005u);
constexpr int32_t kBtnFaceColor = static_cast<int32_t>(0x8000000Fu);
constexpr int32_t kWindowTextColor = static_cast<int32_t>(0x80000008u);

struct FontSpec {
  std::string name = "Tahoma";
  int height = -11;
  bool bold = false, italic = false, underline = false, strikeOut = false;
  int charset = DEFAULT_CHARSET;
  int32_t color = kWindowTextColor;

  std::string key() const {
    return name + "|" + std::to_string(height) + "|" + std::to_string(bold) + std::to_string(italic) +
           std::to_string(underline) + std::to_string(strikeOut) + "|" + std::to_string(charset);
  }
};

const FormValue* property(const FormObject& object, std::string_view name) { return object.property(name); }

int64_t integerProperty(const FormObject& object, std::string_view name, int64_t fallback) {
  const FormValue* value = property(object, name);
  return value && value->isInteger() ? value->integer() : fallback;
}

bool booleanProperty(const FormObject& object, std::string_view name, bool fallback) {
  const FormValue* value = property(object, name);
  return value && value->isBoolean() ? value->boolean() : fallback;
}

std::string identProperty(const FormObject& object, std::string_view name) {
  const FormValue* value = property(object, name);
  return value && value->type() == FormValueType::Ident ? value->identifier() : std::string();
}

std::string textProperty(const FormObject& object, std::string_view name) {
  const FormValue* value = property(object, name);
  if (!value) return {};
  if (value->isText()) return value->text();
  return propertyText(*value).value_or(std::string());
}

std::optional<int32_t> colorProperty(const FormObject& object, std::string_view name) {
  const FormValue* value = property(object, name);
  if (!value) return std::nullopt;
  if (value->isInteger()) return static_cast<int32_t>(value->integer());
  if (value->type() == FormValueType::Ident) return colorFromText(value->identifier());
  return std::nullopt;
}

bool hasSetItem(const FormObject& object, std::string_view name, std::string_view item) {
  const FormValue* value = property(object, name);
  if (!value || value->type() != FormValueType::Set) return false;
  const auto& items = value->setItems();
  return std::any_of(items.begin(), items.end(), [&](const std::string& i) { return equalsIgnoreCase(i, item); });
}

std::vector<std::string> stringList(const FormObject& object, std::string_view name) {
  std::vector<std::string> lines;
  const FormValue* value = property(object, name);
  if (!value || value->type() != FormValueType::List) return lines;
  for (const FormValue& item : value->listItems())
    if (item.isText()) lines.push_back(item.text());
  return lines;
}

bool hasFontProperties(const FormObject& object) {
  for (const FormProperty& p : object.properties)
    if (startsWithIgnoreCase(p.name, "Font.")) return true;
  return false;
}

FontSpec fontOf(const FormObject& object, const FontSpec& parentFont) {
  const bool parentFontFlag = booleanProperty(object, "ParentFont", !hasFontProperties(object));
  if (parentFontFlag) return parentFont;
  FontSpec font = parentFont;
  if (const FormValue* name = property(object, "Font.Name"); name && name->isText()) font.name = name->text();
  if (const FormValue* height = property(object, "Font.Height"); height && height->isInteger())
    font.height = static_cast<int>(height->integer());
  else if (const FormValue* size = property(object, "Font.Size"); size && size->isInteger())
    font.height = -MulDiv(static_cast<int>(size->integer()), 96, 72);
  if (property(object, "Font.Style")) {
    font.bold = hasSetItem(object, "Font.Style", "fsBold");
    font.italic = hasSetItem(object, "Font.Style", "fsItalic");
    font.underline = hasSetItem(object, "Font.Style", "fsUnderline");
    font.strikeOut = hasSetItem(object, "Font.Style", "fsStrikeOut");
  }
  font.charset = static_cast<int>(integerProperty(object, "Font.Charset", font.charset));
  if (std::optional<int32_t> color = colorProperty(object, "Font.Color")) font.color = *color;
  return font;
}

}  // namespace

class DialogBuilder {
 public:
  explicit DialogBuilder(DialogWindow& dialog) : dialog_(dialog) {}

  void build(const FormObject& root) {
    const FontSpec font = fontOf(root, FontSpec{});
    dialog_.color_ = colorProperty(root, "Color").value_or(kBtnFaceColor);
    dialog_.fontColor_ = font.color;
    dialog_.tag_ = static_cast<int>(integerProperty(root, "Tag", 0));

    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    const int clientWidth = static_cast<int>(integerProperty(root, "ClientWidth", 0));
    const int clientHeight = static_cast<int>(integerProperty(root, "ClientHeight", 0));
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = clientWidth ? frame.right - frame.left : static_cast<int>(integerProperty(root, "Width", 500));
    const int height = clientHeight ? frame.bottom - frame.top : static_cast<int>(integerProperty(root, "Height", 380));
    int left = static_cast<int>(integerProperty(root, "Left", 0));
    int top = static_cast<int>(integerProperty(root, "Top", 0));
    const std::string placement = identProperty(root, "Position");
    if (placement.empty() || equalsIgnoreCase(placement, "poScreenCenter") ||
        equalsIgnoreCase(placement, "poDesktopCenter") || equalsIgnoreCase(placement, "poMainFormCenter")) {
      left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
      top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    HWND window = CreateWindowExA(exStyle, kDialogWindowClass, textProperty(root, "Caption").c_str(), style, left,
                                  top, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), &dialog_);
    if (!window) throw EngineError("cannot create the dialog window: " + win::systemErrorText());
    dialog_.window_.reset(window);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle(font)), FALSE);

    createChildren(root, window, nullptr, font, dialog_.color_);
    arrangeTabOrder();
  }

 private:
  void createChildren(const FormObject& object, HWND parentWindow, DialogControl* parent, const FontSpec& parentFont,
                      int32_t parentColor) {
    RECT free{};
    GetClientRect(parentWindow, &free);
    if (parent && parent->is(ControlKind::GroupBox)) free.top += 16;  // below the caption
    for (const FormObject& child : object.children) {
      if (equalsIgnoreCase(child.name, kFormDesignerComponent)) continue;
      const ControlKindInfo* kind = findControlKind(child.className);
      if (!kind) throw EngineError("Class " + child.className + " not found");
      auto record = std::make_unique<DialogControl>();
      DialogControl& control = *record;
      control.name = child.name;
      control.kind = kind;
      control.design = &child;
      control.parent = parent;
      control.tag = static_cast<int>(integerProperty(child, "Tag", 0));
      control.hint = textProperty(child, "Hint");
      control.tabOrder = static_cast<int>(integerProperty(child, "TabOrder", -1));
      control.enabled = booleanProperty(child, "Enabled", true);
      const FontSpec font = fontOf(child, parentFont);
      control.fontColor = font.color;
      const bool parentColorFlag =
          booleanProperty(child, "ParentColor", !has(kind->traits, ControlTraits::WindowColor));
      control.color = colorProperty(child, "Color").value_or(parentColorFlag ? parentColor : kWindowColor);
      dialog_.controls_.push_back(std::move(record));
      if (!kind->windowClass) continue;  // a component without a window

      const RECT rect = placeControl(child, parent, parentWindow, free);
      createWindow(control, child, parentWindow, rect, font);
      initialise(control, child);
      if (has(kind->traits, ControlTraits::Container)) createChildren(child, control.window, &control, font, control.color);
      if (control.is(ControlKind::PageControl)) selectDesignedPage(control, child);
    }
  }

  // Position in the parent's client area; Align takes strips of what is left.
  RECT placeControl(const FormObject& object, DialogControl* parent, HWND parentWindow, RECT& free) {
    if (parent && parent->is(ControlKind::PageControl)) {
      RECT display{};
      GetClientRect(parentWindow, &display);
      SendMessageA(parentWindow, TCM_INSERTITEMA, SendMessageA(parentWindow, TCM_GETITEMCOUNT, 0, 0),
                   reinterpret_cast<LPARAM>(tabItem(object)));
      SendMessageA(parentWindow, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
      return display;
    }
    const int left = static_cast<int>(integerProperty(object, "Left", 0));
    const int top = static_cast<int>(integerProperty(object, "Top", 0));
    const int width = static_cast<int>(integerProperty(object, "Width", 75));
    const int height = static_cast<int>(integerProperty(object, "Height", 25));
    const std::string align = identProperty(object, "Align");
    RECT rect{left, top, left + width, top + height};
    if (equalsIgnoreCase(align, "alTop")) {
      rect = {free.left, free.top, free.right, free.top + height};
      free.top += height;
    } else if (equalsIgnoreCase(align, "alBottom")) {
      rect = {free.left, free.bottom - height, free.right, free.bottom};
      free.bottom -= height;
    } else if (equalsIgnoreCase(align, "alLeft")) {
      rect = {free.left, free.top, free.left + width, free.bottom};
      free.left += width;
    } else if (equalsIgnoreCase(align, "alRight")) {
      rect = {free.right - width, free.top, free.right, free.bottom};
      free.right -= width;
    } else if (equalsIgnoreCase(align, "alClient")) {
      rect = free;
    }
    return rect;
  }

  TCITEMA* tabItem(const FormObject& sheet) {
    tabText_ = textProperty(sheet, "Caption");
    tabItem_ = TCITEMA{};
    tabItem_.mask = TCIF_TEXT;
    tabItem_.pszText = tabText_.data();
    return &tabItem_;
  }

  static DWORD styleFor(const DialogControl& control, const FormObject& object) {
    DWORD style = control.kind->style;
    const ControlKind kind = control.kind->kind;
    if (!booleanProperty(object, "TabStop", true)) style &= ~WS_TABSTOP;
    const std::string alignment = identProperty(object, "Alignment");
    switch (kind) {
      case ControlKind::Label:
      case ControlKind::StaticText:
        if (equalsIgnoreCase(alignment, "taCenter")) style |= SS_CENTER;
        else if (equalsIgnoreCase(alignment, "taRightJustify")) style |= SS_RIGHT;
        else if (kind == ControlKind::Label && !booleanProperty(object, "WordWrap", false)) style |= SS_LEFTNOWORDWRAP;
        if (kind == ControlKind::StaticText && equalsIgnoreCase(identProperty(object, "BorderStyle"), "sbsSunken"))
          style |= SS_SUNKEN;
        break;
      case ControlKind::Memo:
      case ControlKind::RichEdit: {
        const std::string bars = identProperty(object, "ScrollBars");
        if (kind == ControlKind::RichEdit || equalsIgnoreCase(bars, "ssVertical") || equalsIgnoreCase(bars, "ssBoth"))
          style |= WS_VSCROLL;
        if (kind == ControlKind::RichEdit || equalsIgnoreCase(bars, "ssHorizontal") || equalsIgnoreCase(bars, "ssBoth"))
          style |= WS_HSCROLL;
        if (!booleanProperty(object, "WordWrap", true)) style |= ES_AUTOHSCROLL;
        if (booleanProperty(object, "ReadOnly", false)) style |= ES_READONLY;
        break;
      }
      case ControlKind::Edit:
      case ControlKind::MaskEdit:
        if (booleanProperty(object, "ReadOnly", false)) style |= ES_READONLY;
        if (const FormValue* password = property(object, "PasswordChar"); password && password->isText() &&
                                                                          password->text() != std::string(1, '\0'))
          style |= ES_PASSWORD;
        if (equalsIgnoreCase(identProperty(object, "CharCase"), "ecUpperCase")) style |= ES_UPPERCASE;
        if (equalsIgnoreCase(identProperty(object, "CharCase"), "ecLowerCase")) style |= ES_LOWERCASE;
        break;
      case ControlKind::ListBox:
        if (booleanProperty(object, "MultiSelect", false)) style |= LBS_EXTENDEDSEL;
        if (booleanProperty(object, "Sorted", false)) style |= LBS_SORT;
        break;
      case ControlKind::ComboBox: {
        const std::string comboStyle = identProperty(object, "Style");
        if (equalsIgnoreCase(comboStyle, "csDropDownList")) style = (style & ~CBS_DROPDOWN) | CBS_DROPDOWNLIST;
        else if (equalsIgnoreCase(comboStyle, "csSimple")) style = (style & ~CBS_DROPDOWN) | CBS_SIMPLE;
        if (booleanProperty(object, "Sorted", false)) style |= CBS_SORT;
        break;
      }
      case ControlKind::TrackBar:
        if (equalsIgnoreCase(identProperty(object, "Orientation"), "trVertical")) style |= TBS_VERT;
        break;
      case ControlKind::ProgressBar:
        if (equalsIgnoreCase(identProperty(object, "Orientation"), "pbVertical")) style |= PBS_VERTICAL;
        if (booleanProperty(object, "Smooth", false)) style |= PBS_SMOOTH;
        break;
      case ControlKind::UpDown:
        if (equalsIgnoreCase(identProperty(object, "Orientation"), "udHorizontal")) style |= UDS_HORZ;
        break;
      default:
        break;
    }
    if (booleanProperty(object, "Visible", true)) style |= WS_VISIBLE;
    if (!booleanProperty(object, "Enabled", true)) style |= WS_DISABLED;
    return style;
  }

  void createWindow(DialogControl& control, const FormObject& object, HWND parentWindow, RECT rect,
                    const FontSpec& font) {
    DWORD exStyle = control.kind->exStyle;
    if ((exStyle & WS_EX_CLIENTEDGE) && equalsIgnoreCase(identProperty(object, "BorderStyle"), "bsNone"))
      exStyle &= ~WS_EX_CLIENTEDGE;
    int height = rect.bottom - rect.top;
    // A combo box's window height includes its drop-down list.
    if (std::string_view(control.kind->windowClass) == "ComboBox") height += 200;
    std::string text;
    if (has(control.kind->traits, ControlTraits::HasCaption)) text = textProperty(object, "Caption");
    else if (has(control.kind->traits, ControlTraits::HasText)) text = textProperty(object, "Text");
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | styleFor(control, object);
    control.window = CreateWindowExA(exStyle, control.kind->windowClass, text.c_str(), style, rect.left, rect.top,
                                     rect.right - rect.left, height, parentWindow,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + dialog_.controls_.size())),
                                     GetModuleHandleA(nullptr), nullptr);
    if (!control.window)
      throw EngineError(std::string("cannot create the ") + control.kind->className + std::string(" ") + control.name + ": " +
                        win::systemErrorText());
    control.font = fontHandle(font);
    SendMessageA(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    if (control.is(ControlKind::PageControl)) subclassTabControl(control.window);
  }

  // Designer properties that Win32 sets after creation.
  void initialise(DialogControl& control, const FormObject& object) {
    switch (control.kind->kind) {
      case ControlKind::Memo:
      case ControlKind::RichEdit:
        setControlLines(control, stringList(object, "Lines.Strings"));
        break;
      case ControlKind::ListBox:
      case ControlKind::CheckListBox:
      case ControlKind::ComboBox:
        setControlLines(control, stringList(object, "Items.Strings"));
        if (control.is(ControlKind::ComboBox) && (GetWindowLongA(control.window, GWL_STYLE) & 3) != CBS_DROPDOWNLIST)
          setWindowText(control.window, textProperty(object, "Text"));
        if (property(object, "ItemIndex")) setItemIndex(control, static_cast<int>(integerProperty(object, "ItemIndex", -1)));
        break;
      case ControlKind::CheckBox:
      case ControlKind::RadioButton:
        setButtonChecked(control, booleanProperty(object, "Checked", false) ||
                                      equalsIgnoreCase(identProperty(object, "State"), "cbChecked"));
        break;
      case ControlKind::TrackBar:
        setRange(control, static_cast<int>(integerProperty(object, "Min", 0)),
                 static_cast<int>(integerProperty(object, "Max", 10)));
        setPosition(control, static_cast<int>(integerProperty(object, "Position", 0)));
        break;
      case ControlKind::ProgressBar:
      case ControlKind::UpDown:
        setRange(control, static_cast<int>(integerProperty(object, "Min", 0)),
                 static_cast<int>(integerProperty(object, "Max", 100)));
        setPosition(control, static_cast<int>(integerProperty(object, "Position", 0)));
        break;
      case ControlKind::Gauge:
        control.gaugeMin = static_cast<int>(integerProperty(object, "MinValue", 0));
        control.gaugeMax = static_cast<int>(integerProperty(object, "MaxValue", 100));
        control.gaugeProgress = static_cast<int>(integerProperty(object, "Progress", 0));
        break;
      case ControlKind::Image:
      case ControlKind::FormShape:
        control.picture = pictureOf(object, "Picture.Data");
        break;
      case ControlKind::FileListBox:
      case ControlKind::DirectoryListBox:
      case ControlKind::DriveComboBox:
      case ControlKind::ShellCombo:
        fillFolderKind(control);
        break;
      case ControlKind::FilterComboBox:
        fillFilters(control, textProperty(object, "Filter"));
        break;
      default:
        break;
    }
    if (hasMaxLength(control)) setMaxLength(control, static_cast<int32_t>(integerProperty(object, "MaxLength", 0)));
  }

  static void fillFolderKind(DialogControl& control) {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string pattern = withBackslash(folder) + "*";
    switch (control.kind->kind) {
      case ControlKind::FileListBox:
        SendMessageA(control.window, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern.c_str()));
        break;
      case ControlKind::DirectoryListBox:
        SendMessageA(control.window, LB_DIR, DDL_DIRECTORY | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>(pattern.c_str()));
        break;
      default:
        SendMessageA(control.window, CB_DIR, DDL_DRIVES | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>("*"));
        SendMessageA(control.window, CB_SETCURSEL, 0, 0);
        break;
    }
  }

  // "Text files (*.txt)|*.txt|All files (*.*)|*.*": the descriptions are the items.
  static void fillFilters(DialogControl& control, const std::string& filter) {
    std::vector<std::string> descriptions;
    size_t start = 0;
    for (int part = 0; start <= filter.size(); ++part) {
      size_t bar = filter.find('|', start);
      if (bar == std::string::npos) bar = filter.size();
      if (part % 2 == 0 && bar > start) descriptions.push_back(filter.substr(start, bar - start));
      start = bar + 1;
    }
    setControlLines(control, descriptions);
    SendMessageA(control.window, CB_SETCURSEL, 0, 0);
  }

  static win::UniqueBitmap pictureOf(const FormObject& object, std::string_view name) {
    const FormValue* value = property(object, name);
    if (!value || value->type() != FormValueType::Binary) return nullptr;
    std::optional<std::span<const uint8_t>> file = bitmapFileOfPicture(value->bytes());
    if (!file) return nullptr;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file->data() + sizeof(BITMAPFILEHEADER));
    const uint32_t pixelOffset = *reinterpret_cast<const uint32_t*>(file->data() + 10);
    if (info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || info->bmiHeader.biSize > pixelOffset) return nullptr;
    // The pixel rows must fit in the file before GDI reads them.
    const int64_t width = info->bmiHeader.biWidth;
    const int64_t rows = info->bmiHeader.biHeight < 0 ? -int64_t(info->bmiHeader.biHeight) : info->bmiHeader.biHeight;
    const int64_t stride = ((width * info->bmiHeader.biBitCount + 31) / 32) * 4;
    if (width <= 0 || rows <= 0 || info->bmiHeader.biCompression != BI_RGB ||
        stride * rows > static_cast<int64_t>(file->size() - pixelOffset))
      return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, file->data() + pixelOffset, info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return win::UniqueBitmap(bitmap);
  }

  void selectDesignedPage(DialogControl& pageControl, const FormObject& object) {
    const std::string active = identProperty(object, "ActivePage");
    DialogControl* first = nullptr;
    for (const auto& child : dialog_.controls_) {
      if (child->parent != &pageControl || !child->is(ControlKind::TabSheet)) continue;
      if (!first) first = child.get();
      if (equalsIgnoreCase(child->name, active)) {
        dialog_.showPage(pageControl, *child);
        return;
      }
    }
    if (first) dialog_.showPage(pageControl, *first);
  }

  // Windowed controls come first in each parent, by tab order (the order the
  // keyboard visits them); the designer's graphic controls lie below them.
  void arrangeTabOrder() {
    std::vector<DialogControl*> ordered;
    for (const auto& control : dialog_.controls_)
      if (control->window) ordered.push_back(control.get());
    std::stable_sort(ordered.begin(), ordered.end(), [](const DialogControl* a, const DialogControl* b) {
      const bool graphicA = has(a->kind->traits, ControlTraits::Graphic);
      const bool graphicB = has(b->kind->traits, ControlTraits::Graphic);
      if (graphicA != graphicB) return graphicB;
      if (graphicA) return false;
      return a->tabOrder < b->tabOrder;
    });
    for (DialogControl* control : ordered)
      SetWindowPos(control->window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  HFONT fontHandle(const FontSpec& font) {
    const std::string key = font.key();
    for (const auto& [k, handle] : dialog_.fonts_)
      if (k == key) return static_cast<HFONT>(handle.get());
    LOGFONTA description{};
    description.lfHeight = font.height;
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = font.italic;
    description.lfUnderline = font.underline;
    description.lfStrikeOut = font.strikeOut;
    description.lfCharSet = static_cast<BYTE>(font.charset);
    lstrcpynA(description.lfFaceName, font.name.c_str(), LF_FACESIZE);
    dialog_.fonts_.emplace_back(key, UniqueGdiObject(CreateFontIndirectA(&description)));
    return static_cast<HFONT>(dialog_.fonts_.back().second.get());
  }

  DialogWindow& dialog_;
  std::string tabText_;
  TCITEMA tabItem_{};
};

std::unique_ptr<DialogWindow> DialogWindow::create(const FormObject& definition, std::string dialogFileName) {
  registerDialogClasses();
  auto dialog = std::make_unique<DialogWindow>(DialogWindow::Key{});
  dialog->fileName_ = std::move(dialogFileName);
  dialog->definition_ = std::make_unique<FormObject>(definition);
  DialogBuilder(*dialog).build(*dialog->definition_);
  return dialog;
}

}  // namespace kox
