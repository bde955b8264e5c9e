#include "engine/dialogs/win/dialog_window.h"

#include <commctrl.h>

#include "engine/base/text.h"
#include "engine/dialogs/form_colors.h"
#include "engine/dialogs/win/control_painting.h"

namespace kox {

namespace {

HINSTANCE moduleInstance() { return GetModuleHandleA(nullptr); }

bool isNotification(UINT message) {
  switch (message) {
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM: case WM_HSCROLL: case WM_VSCROLL:
    case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
      return true;
    default:
      return false;
  }
}

// Containers and the tab control pass their children's notifications on to
// the dialog window, which handles all of them.
LRESULT forwardToDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
}

LRESULT CALLBACK tabControlSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (isNotification(message)) return forwardToDialog(window, message, wParam, lParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

struct DialogWindowProcs {
  static LRESULT CALLBACK dialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self) {
      if (std::optional<LRESULT> handled = self->handle(window, message, wParam, lParam)) return *handled;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK container(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (isNotification(message)) return forwardToDialog(window, message, wParam, lParam);
    DialogWindow* dialog = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(GetAncestor(window, GA_ROOT), GWLP_USERDATA));
    DialogControl* control = dialog ? dialog->controlOfWindow(window) : nullptr;
    if (control) {
      if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, dialog->brush(control->color));
        return 1;
      }
      if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        paintContainer(*dialog, *control, dc);
        EndPaint(window, &paint);
        return 0;
      }
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }
};

std::optional<LRESULT> DialogWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush(color_));
      return 1;
    }
    case WM_CTLCOLORSTATIC: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN: {
      DialogControl* control = controlOfWindow(reinterpret_cast<HWND>(lParam));
      if (!control) return std::nullopt;
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, systemColor(control->fontColor));
      SetBkColor(dc, systemColor(control->color));
      if (control->kind->traits == ControlTraits::None || has(control->kind->traits, ControlTraits::Graphic))
        SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(brush(control->color));
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measure->itemHeight = 17;
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      DialogControl* control = controlOfWindow(item->hwndItem);
      if (!control) return std::nullopt;
      drawOwnerDrawnControl(*this, *control, *item);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == TCN_SELCHANGE) {
        DialogControl* pages = controlOfWindow(header->hwndFrom);
        if (!pages) return std::nullopt;
        const int index = static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        int n = 0;
        for (const auto& sheet : controls_) {
          if (sheet->parent == pages && sheet->is(ControlKind::TabSheet) && n++ == index) {
            showPage(*pages, *sheet);
            break;
          }
        }
        return 0;
      }
      return std::nullopt;
    }
    case WM_CLOSE:
      // The engine decides when a dialog goes (the cancel role does it for the user).
      return 0;
    default:
      return std::nullopt;
  }
}

void registerDialogClasses() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_ANIMATE_CLASS |
                                                       ICC_UPDOWN_CLASS | ICC_TREEVIEW_CLASSES |
                                                       ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // The rich edit classes stay registered for the whole process.
    LoadLibraryA("riched20.dll");
    WNDCLASSEXA dialogClass{};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.lpfnWndProc = DialogWindowProcs::dialog;
    dialogClass.hInstance = moduleInstance();
    dialogClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    dialogClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    dialogClass.lpszClassName = kDialogWindowClass;
    RegisterClassExA(&dialogClass);
    WNDCLASSEXA containerClass = dialogClass;
    containerClass.lpfnWndProc = DialogWindowProcs::container;
    containerClass.hIcon = nullptr;
    containerClass.lpszClassName = kContainerClass;
    RegisterClassExA(&containerClass);
    return true;
  }();
  (void)registered;
}

DialogWindow::~DialogWindow() = default;

DialogControl* DialogWindow::findControl(std::string_view name) const {
  for (const auto& control : controls_)
    if (equalsIgnoreCase(control->name, name)) return control.get();
  return nullptr;
}

DialogControl* DialogWindow::controlOfWindow(HWND window) const {
  if (!window) return nullptr;
  for (const auto& control : controls_)
    if (control->window == window) return control.get();
  return nullptr;
}

COLORREF DialogWindow::systemColor(int32_t color) {
  if (color == kColorNone || color == kColorDefault) return GetSysColor(COLOR_BTNFACE);
  if (std::optional<int> index = systemColorIndex(color)) return GetSysColor(*index);
  return static_cast<COLORREF>(color) & 0xFFFFFF;
}

HBRUSH DialogWindow::brush(int32_t color) {
  for (const auto& [key, brush] : brushes_)
    if (key == color) return static_cast<HBRUSH>(brush.get());
  brushes_.emplace_back(color, UniqueGdiObject(CreateSolidBrush(systemColor(color))));
  return static_cast<HBRUSH>(brushes_.back().second.get());
}

void DialogWindow::repaint(const DialogControl& control) const {
  if (control.window) InvalidateRect(control.window, nullptr, TRUE);
}

void DialogWindow::showPage(DialogControl& pageControl, const DialogControl& sheet) {
  int n = 0;
  for (const auto& child : controls_) {
    if (child->parent != &pageControl || !child->is(ControlKind::TabSheet)) continue;
    const bool active = child.get() == &sheet;
    if (active) SendMessageA(pageControl.window, TCM_SETCURSEL, n, 0);
    ShowWindow(child->window, active ? SW_SHOWNA : SW_HIDE);
    ++n;
  }
}

DialogControl* DialogWindow::activePage(const DialogControl& pageControl) const {
  for (const auto& child : controls_) {
    if (child->parent == &pageControl && child->is(ControlKind::TabSheet) &&
        (GetWindowLongA(child->window, GWL_STYLE) & WS_VISIBLE))
      return child.get();
  }
  return nullptr;
}

RECT DialogWindow::controlRect(const DialogControl& control) const {
  RECT rect{};
  if (!control.window) return rect;
  GetWindowRect(control.window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(control.window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void subclassTabControl(HWND tabControl) { SetWindowSubclass(tabControl, tabControlSubclass, 1, 0); }

}  // namespace kox
