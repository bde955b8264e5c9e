#include "engine/dialogs/win/dialog_preparation.h"

#include <commctrl.h>

#include <fstream>
#include <iterator>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/content_files.h"
#include "engine/dialogs/control_values.h"
#include "engine/dialogs/dialog_paths.h"
#include "engine/dialogs/html_rtf.h"
#include "engine/dialogs/scroll_marker.h"
#include "engine/dialogs/win/control_access.h"
#include "engine/vars/script_variables.h"

namespace kox {

namespace {

constexpr int32_t kContentMaxLength = 1048576;
constexpr UINT_PTR kScrollWatchId = 0x4B4F58;

bool folderExists(const std::string& folder) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> lines(std::string_view text) {
  std::vector<std::string> out;
  for (std::string_view line : splitLines(text)) out.emplace_back(line);
  return out;
}

std::string joinLines(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) text += (i ? "\r\n" : "") + items[i];
  return text;
}

int32_t strictInteger(std::string_view text) {
  try {
    size_t used = 0;
    const long long value = std::stoll(std::string(text), &used, 10);
    if (used == text.size() && value >= INT32_MIN && value <= INT32_MAX) return static_cast<int32_t>(value);
  } catch (const std::exception&) {
  }
  throw EngineError("'" + std::string(text) + "' is not a valid integer value");
}

LRESULT CALLBACK scrollWatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data);

// One preparation pass over a dialog.
class Preparation {
 public:
  Preparation(DialogEngine& engine, DialogWindow& dialog)
      : engine_(engine), dialog_(dialog), store_(variableStore()) {
    browseStart_ = browseStartFolder(ReadVariableExpandedOrEmpty(store_, "$TARGETDIR$"), folderExists);
    language_ = ReadVariable(store_, "LANGUAGE");
  }

  void run() {
    for (const auto& control : dialog_.controls()) prepare(*control);
    prepareCaption();
  }

 private:
  std::string expand(std::string_view text) const { return ExpandText(store_, text); }

  // Hint names the bound variable; "defined" when it exists.
  bool bound(const DialogControl& c) const { return !c.hint.empty(); }
  bool defined(const DialogControl& c) const {
    return bound(c) && ReadVariableExpanded(store_, c.hint) != kMissingVariableMarker;
  }
  std::string value(const DialogControl& c) const { return ReadVariableExpandedOrEmpty(store_, c.hint); }

  std::string templated(const DialogControl& c, const std::string& current) {
    return templateControlText(engine_.templates(), engine_.translations(), dialog_.fileName(), c.name, current,
                               [this](std::string_view text) { return expand(text); });
  }

  void templateCaption(DialogControl& c) {
    setWindowText(c.window, templated(c, windowText(c.window)));
    if (c.is(ControlKind::TabSheet) && c.parent) refreshTab(c);
  }

  void refreshTab(DialogControl& sheet) {
    int index = 0;
    for (const auto& other : dialog_.controls()) {
      if (other.get() == &sheet) break;
      if (other->parent == sheet.parent && other->is(ControlKind::TabSheet)) ++index;
    }
    std::string text = windowText(sheet.window);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(sheet.parent->window, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
  }

  void prepareCaption() {
    HWND window = dialog_.handle();
    std::string caption = templateControlText(engine_.templates(), engine_.translations(), dialog_.fileName(),
                                              dialog_.fileName(), windowText(window),
                                              [this](std::string_view text) { return expand(text); });
    setWindowText(window, wizardCaption(caption, TextToBool(ReadVariable(store_, "KELDLOGO"))));
  }

  void prepare(DialogControl& c) {
    if (!c.window) return;
    switch (c.kind->kind) {
      case ControlKind::Label: case ControlKind::Panel: case ControlKind::GroupBox: case ControlKind::TabSheet:
      case ControlKind::Button: case ControlKind::BmpButton: case ControlKind::SpeedButton: case ControlKind::BitBtn:
        templateCaption(c);
        if (c.is(ControlKind::Panel) || c.is(ControlKind::GroupBox) || c.is(ControlKind::Label)) dialog_.repaint(c);
        break;
      case ControlKind::StaticText:
        templateCaption(c);
        if (c.tag == 1) setWindowText(c.window, ReadVariableExpandedOrEmpty(store_, "$PROGRESSTEXT$"));
        break;
      case ControlKind::ProgressBar:
        if (c.tag == 1) {
          if (std::optional<int> at = progressPosition(ReadVariableExpandedOrEmpty(store_, "$PROGRESS$")))
            setPosition(c, *at);
        }
        break;
      case ControlKind::Gauge:
        if (c.tag == 1 && ReadVariableExpanded(store_, "$PROGRESS$") != kMissingVariableMarker) {
          if (std::optional<int> at = progressPosition(ReadVariableExpandedOrEmpty(store_, "$PROGRESS$")))
            setPosition(c, *at);
        }
        break;
      case ControlKind::TrackBar:
        if (defined(c)) setPosition(c, strictInteger(value(c)));
        break;
      case ControlKind::CheckBox: case ControlKind::RadioButton:
        if (defined(c)) setButtonChecked(c, TextToBool(value(c)));
        templateCaption(c);
        break;
      case ControlKind::Memo: case ControlKind::RichEdit:
        prepareMemo(c);
        break;
      case ControlKind::ListBox: case ControlKind::CheckListBox: case ControlKind::ComboBox:
        prepareList(c);
        break;
      case ControlKind::HtmlViewer:
        if (c.tag == 1) loadHtml(c);
        break;
      case ControlKind::FlashFrame:
        if (c.tag == 1) showMovie(c);
        break;
      case ControlKind::Animate:
        SendMessageA(c.window, ACM_PLAY, static_cast<WPARAM>(-1), MAKELONG(0, 0xFFFF));  // a failure is ignored
        break;
      case ControlKind::TreeView:
        expandTreeTexts(c.window, TVI_ROOT);
        break;
      case ControlKind::Edit: case ControlKind::MaskEdit:
        prepareEdit(c);
        break;
      case ControlKind::FileListBox: case ControlKind::ShellList:
        if (defined(c) && folderExists(folderPart(value(c)))) showFolder(c, folderPart(value(c)));
        if (c.tag == 1 && folderExists(browseStart_)) showFolder(c, browseStart_);
        break;
      case ControlKind::DirectoryListBox: case ControlKind::ShellTree:
        if (defined(c) && folderExists(value(c))) showFolder(c, value(c));
        if (c.tag == 1) {
          if (folderExists(browseStart_)) showFolder(c, browseStart_);
          else if (folderExists(folderPart(browseStart_))) showFolder(c, folderPart(browseStart_));
        }
        break;
      case ControlKind::DriveComboBox:
        if (defined(c) && !value(c).empty() && folderExists(value(c).substr(0, 1) + ":\\")) selectDrive(c, value(c)[0]);
        if (c.tag == 1 && folderExists(browseStart_) && !browseStart_.empty()) selectDrive(c, browseStart_[0]);
        break;
      case ControlKind::ShellCombo:
        if (defined(c) && folderExists(value(c))) selectDrive(c, value(c)[0]);
        if (c.tag == 1 && folderExists(browseStart_)) selectDrive(c, browseStart_[0]);
        break;
      default:
        break;
    }
  }

  void prepareEdit(DialogControl& c) {
    const bool mask = c.is(ControlKind::MaskEdit);
    std::string text =
        templateEditText(engine_.templates(), engine_.translations(), dialog_.fileName(), c.name, windowText(c.window));
    if (defined(c)) text = mask ? value(c) : collapseBackslashes(value(c));
    if (text.empty()) {
      text = expand(editDefaultText(c.tag));
      if (!mask) text = collapseBackslashes(text);
    }
    setWindowText(c.window, text);
  }

  void prepareMemo(DialogControl& c) {
    const bool rich = c.is(ControlKind::RichEdit);
    engine_.templates().remember(dialog_.fileName(), c.name, windowText(c.window), engine_.translations());
    std::string text = engine_.templates().templateText(dialog_.fileName(), c.name);
    setReadOnly(c, !bound(c));
    const bool content = c.tag == 1 || c.tag == 2;
    if (content && c.maxLength < kContentMaxLength) setMaxLength(c, kContentMaxLength);
    if (defined(c)) text = MarkersToLineBreaks(collapseBackslashes(value(c)));
    else if (!bound(c)) text = MarkersToLineBreaks(expand(text));
    setWindowText(c.window, text);
    if (content) {
      std::optional<ContentFileChoice> choice =
          findContentFile(rich ? ContentControl::RichEdit : ContentControl::Memo, c.tag, language_,
                          engine_.settings().supportFolder, fileExists);
      if (choice && choice->path) {
        const std::string body = readTextFile(*choice->path);
        if (rich) setRichText(c.window, body, endsWithIgnoreCase(*choice->path, ".rtf"));
        else setWindowText(c.window, body);
      } else if (choice) {
        setWindowText(c.window, choice->missingText);
      }
    }
    if (!bound(c)) watch(c, rich ? 1 : 0);
  }

  static bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && equalsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
  }

  void watch(DialogControl& c, int slot) {
    if (dialog_.watched(slot)) return;
    dialog_.watched(slot) = &c;
    if (c.maxLength == kScrolledToEndMaxLength) return;
    if (!(GetWindowLongA(c.window, GWL_STYLE) & WS_VSCROLL)) {
      setMaxLength(c, kScrolledToEndMaxLength);
      return;
    }
    SetWindowSubclass(c.window, scrollWatch, kScrollWatchId, reinterpret_cast<DWORD_PTR>(&dialog_));
  }

  void prepareList(DialogControl& c) {
    std::vector<std::string> items = lines(templated(c, joinLines(controlLines(c))));
    std::erase_if(items, [](const std::string& item) { return item.empty(); });
    setControlLines(c, items);
    if (!defined(c)) return;
    const std::string v = value(c);
    auto indexOf = [&](std::string_view wanted) {
      for (size_t i = 0; i < items.size(); ++i)
        if (equalsIgnoreCase(items[i], wanted)) return static_cast<int>(i);
      return -1;
    };
    if (c.is(ControlKind::ListBox)) {
      if (int i = indexOf(v); i >= 0) setItemIndex(c, i);
    } else if (c.is(ControlKind::CheckListBox)) {
      for (const std::string& line : lines(MarkersToLineBreaks(v)))
        for (size_t i = 0; i < items.size(); ++i)
          if (equalsIgnoreCase(items[i], line)) setItemChecked(c, static_cast<int>(i), true);
    } else if ((GetWindowLongA(c.window, GWL_STYLE) & 3) == CBS_DROPDOWNLIST) {
      if (int i = indexOf(v); i >= 0) setItemIndex(c, i);
    } else {
      setWindowText(c.window, v);
    }
  }

  void loadHtml(DialogControl& c) {
    std::optional<ContentFileChoice> choice = findContentFile(ContentControl::HtmlViewer, c.tag, language_,
                                                              engine_.settings().supportFolder, fileExists);
    if (!choice) return;
    if (choice->path) setRichText(c.window, htmlToRtf(readTextFile(*choice->path)), true);
    else setRichText(c.window, textToRtf(choice->missingText), true);
  }

  // Movies are not played: the frame says so, or asks for the movie.
  void showMovie(DialogControl& c) {
    std::optional<ContentFileChoice> choice = findContentFile(ContentControl::FlashFrame, c.tag, language_,
                                                              engine_.settings().supportFolder, fileExists);
    if (!choice) return;
    setWindowText(c.window, choice->path ? engine_.settings().flashUnavailableText : choice->missingText);
  }

  void expandTreeTexts(HWND tree, HTREEITEM parent) {
    for (auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                              reinterpret_cast<LPARAM>(parent == TVI_ROOT ? nullptr : parent)));
         item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
      char buffer[1024] = "";
      TVITEMA node{};
      node.mask = TVIF_TEXT;
      node.hItem = item;
      node.pszText = buffer;
      node.cchTextMax = sizeof buffer;
      SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&node));
      std::string expanded = expand(buffer);
      node.pszText = expanded.data();
      SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&node));
      expandTreeTexts(tree, item);
    }
  }

  void showFolder(DialogControl& c, const std::string& folder) {
    const std::string pattern = withBackslash(folder) + "*";
    switch (c.kind->kind) {
      case ControlKind::FileListBox:
        SendMessageA(c.window, LB_RESETCONTENT, 0, 0);
        SendMessageA(c.window, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>(pattern.c_str()));
        break;
      case ControlKind::DirectoryListBox:
        SendMessageA(c.window, LB_RESETCONTENT, 0, 0);
        SendMessageA(c.window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(withBackslash(folder).c_str()));
        SendMessageA(c.window, LB_DIR, DDL_DIRECTORY | DDL_EXCLUSIVE, reinterpret_cast<LPARAM>(pattern.c_str()));
        break;
      case ControlKind::ShellTree: {
        SendMessageA(c.window, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
        std::string text = withBackslash(folder);
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = text.data();
        auto node = reinterpret_cast<HTREEITEM>(SendMessageA(c.window, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        SendMessageA(c.window, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
        break;
      }
      case ControlKind::ShellList: {
        SendMessageA(c.window, LVM_DELETEALLITEMS, 0, 0);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) break;
        int row = 0;
        do {
          if (std::string_view(found.cFileName) == "." || std::string_view(found.cFileName) == "..") continue;
          LVITEMA item{};
          item.mask = LVIF_TEXT;
          item.iItem = row++;
          item.pszText = found.cFileName;
          SendMessageA(c.window, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        } while (FindNextFileA(search, &found));
        FindClose(search);
        break;
      }
      default:
        break;
    }
  }

  // Drive combos list drives as "[-c-]"; the one of the letter is selected.
  static void selectDrive(DialogControl& c, char letter) {
    const std::string wanted = std::string("[-") + asciiLower(letter) + "-]";
    const LRESULT index = SendMessageA(c.window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(wanted.c_str()));
    if (index != CB_ERR) SendMessageA(c.window, CB_SETCURSEL, index, 0);
  }

  DialogEngine& engine_;
  DialogWindow& dialog_;
  TVariableManager& store_;
  std::string browseStart_;
  std::string language_;
};

LRESULT CALLBACK scrollWatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (!isScrollMessage(message)) return result;
  auto* dialog = reinterpret_cast<DialogWindow*>(data);
  DialogControl* control = dialog->controlOfWindow(window);
  if (!control || control->maxLength == kScrolledToEndMaxLength) return result;
  SCROLLINFO info{sizeof info, SIF_ALL};
  if (GetScrollInfo(window, SB_VERT, &info) && scrolledToEnd(info.nMax, info.nPos, info.nPage)) {
    setMaxLength(*control, kScrolledToEndMaxLength);
    try {
      dialogEngine().applyRules(*dialog);
    } catch (const std::exception&) {
      // A refused rule value cannot travel through a window procedure.
    }
  }
  return result;
}

}  // namespace

void prepareDialogControls(DialogEngine& engine, DialogWindow& dialog) { Preparation(engine, dialog).run(); }

void stopWatching(DialogWindow& dialog) {
  for (int slot = 0; slot < 2; ++slot) {
    if (DialogControl* control = dialog.watched(slot)) {
      if (control->window) RemoveWindowSubclass(control->window, scrollWatch, kScrollWatchId);
      dialog.watched(slot) = nullptr;
    }
  }
}

}  // namespace kox
