#include "engine/dialogs/win/control_painting.h"

#include <algorithm>
#include <string>

#include "engine/base/text.h"
#include "engine/dialogs/form_colors.h"
#include "engine/dialogs/win/control_access.h"

namespace kox {

namespace {

std::string designIdent(const DialogControl& control, std::string_view name, std::string_view fallback) {
  const FormValue* value = control.design->property(name);
  return value && value->type() == FormValueType::Ident ? value->identifier() : std::string(fallback);
}

int32_t designColor(const DialogControl& control, std::string_view name, int32_t fallback) {
  const FormValue* value = control.design->property(name);
  if (!value) return fallback;
  if (value->isInteger()) return static_cast<int32_t>(value->integer());
  if (value->type() == FormValueType::Ident) return colorFromText(value->identifier()).value_or(fallback);
  return fallback;
}

bool designBool(const DialogControl& control, std::string_view name, bool fallback) {
  const FormValue* value = control.design->property(name);
  return value && value->isBoolean() ? value->boolean() : fallback;
}

void drawPicture(const DialogControl& control, HDC dc, const RECT& area) {
  if (!control.picture) return;
  BITMAP info{};
  GetObjectA(control.picture.get(), sizeof info, &info);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, control.picture.get());
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (designBool(control, "Stretch", false)) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, 0, 0, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
  } else {
    const bool centre = designBool(control, "Center", false);
    const int x = centre ? (width - info.bmWidth) / 2 : 0, y = centre ? (height - info.bmHeight) / 2 : 0;
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

void drawShape(const DialogControl& control, HDC dc, RECT area) {
  const std::string shape = designIdent(control, "Shape", "stRectangle");
  const int penWidth = [&] {
    const FormValue* value = control.design->property("Pen.Width");
    return value && value->isInteger() ? static_cast<int>(value->integer()) : 1;
  }();
  const bool hollow = equalsIgnoreCase(designIdent(control, "Brush.Style", "bsSolid"), "bsClear");
  HPEN pen = CreatePen(PS_INSIDEFRAME, penWidth,
                       DialogWindow::systemColor(designColor(control, "Pen.Color", 0x000000)));
  HBRUSH brush = hollow ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                        : CreateSolidBrush(DialogWindow::systemColor(designColor(control, "Brush.Color", 0xFFFFFF)));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  if (equalsIgnoreCase(shape, "stSquare") || equalsIgnoreCase(shape, "stRoundSquare") ||
      equalsIgnoreCase(shape, "stCircle")) {
    const int side = std::min(area.right - area.left, area.bottom - area.top);
    area.left += (area.right - area.left - side) / 2;
    area.top += (area.bottom - area.top - side) / 2;
    area.right = area.left + side;
    area.bottom = area.top + side;
  }
  const int corner = std::min(area.right - area.left, area.bottom - area.top) / 4;
  if (equalsIgnoreCase(shape, "stEllipse") || equalsIgnoreCase(shape, "stCircle"))
    Ellipse(dc, area.left, area.top, area.right, area.bottom);
  else if (equalsIgnoreCase(shape, "stRoundRect") || equalsIgnoreCase(shape, "stRoundSquare"))
    RoundRect(dc, area.left, area.top, area.right, area.bottom, corner, corner);
  else
    Rectangle(dc, area.left, area.top, area.right, area.bottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  if (!hollow) DeleteObject(brush);
}

void drawBevel(const DialogControl& control, HDC dc, const RECT& area) {
  const std::string shape = designIdent(control, "Shape", "bsBox");
  const bool raised = equalsIgnoreCase(designIdent(control, "Style", "bsLowered"), "bsRaised");
  RECT edge = area;
  UINT sides = BF_RECT;
  if (equalsIgnoreCase(shape, "bsTopLine")) edge.bottom = edge.top + 2, sides = BF_TOP | BF_BOTTOM;
  else if (equalsIgnoreCase(shape, "bsBottomLine")) edge.top = edge.bottom - 2, sides = BF_TOP | BF_BOTTOM;
  else if (equalsIgnoreCase(shape, "bsLeftLine")) edge.right = edge.left + 2, sides = BF_LEFT | BF_RIGHT;
  else if (equalsIgnoreCase(shape, "bsRightLine")) edge.left = edge.right - 2, sides = BF_LEFT | BF_RIGHT;
  else if (equalsIgnoreCase(shape, "bsSpacer")) return;
  const UINT style = equalsIgnoreCase(shape, "bsFrame") ? (raised ? EDGE_BUMP : EDGE_ETCHED)
                     : equalsIgnoreCase(shape, "bsBox") ? (raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER)
                                                        : (raised ? EDGE_BUMP : EDGE_ETCHED);
  DrawEdge(dc, &edge, style, sides);
}

void drawGauge(const DialogControl& control, HDC dc, const RECT& area) {
  HBRUSH back = CreateSolidBrush(DialogWindow::systemColor(designColor(control, "BackColor", 0xFFFFFF)));
  FillRect(dc, &area, back);
  DeleteObject(back);
  const int span = std::max(1, control.gaugeMax - control.gaugeMin);
  const int done = std::clamp(control.gaugeProgress - control.gaugeMin, 0, span);
  RECT filled = area;
  filled.right = area.left + static_cast<int>(static_cast<int64_t>(area.right - area.left) * done / span);
  HBRUSH fore = CreateSolidBrush(DialogWindow::systemColor(designColor(control, "ForeColor", 0x000000)));
  FillRect(dc, &filled, fore);
  DeleteObject(fore);
  if (designBool(control, "ShowText", true)) {
    const std::string percent = std::to_string(static_cast<int64_t>(done) * 100 / span) + "%";
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(128, 128, 128));
    RECT text = area;
    DrawTextA(dc, percent.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

void drawCheckListItem(DialogWindow& dialog, DialogControl& control, const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const bool selected = item.itemState & ODS_SELECTED;
  FillRect(item.hDC, &item.rcItem,
           selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : dialog.brush(control.color));
  RECT box = checkBoxOfItem(item.rcItem);
  DrawFrameControl(item.hDC, &box, DFC_BUTTON,
                   DFCS_BUTTONCHECK | (itemChecked(control, static_cast<int>(item.itemID)) ? DFCS_CHECKED : 0));
  std::vector<std::string> lines = controlLines(control);
  if (item.itemID < lines.size()) {
    RECT text = item.rcItem;
    text.left = box.right + 4;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : DialogWindow::systemColor(control.fontColor));
    DrawTextA(item.hDC, lines[item.itemID].c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace

RECT checkBoxOfItem(const RECT& item) {
  const int size = std::min<int>(13, item.bottom - item.top);
  const int top = item.top + (item.bottom - item.top - size) / 2;
  return RECT{item.left + 2, top, item.left + 2 + size, top + size};
}

void drawOwnerDrawnControl(DialogWindow& dialog, DialogControl& control, const DRAWITEMSTRUCT& item) {
  if (control.is(ControlKind::CheckListBox)) {
    drawCheckListItem(dialog, control, item);
    return;
  }
  FillRect(item.hDC, &item.rcItem, dialog.brush(control.color));
  switch (control.kind->kind) {
    case ControlKind::Image:
    case ControlKind::FormShape: drawPicture(control, item.hDC, item.rcItem); break;
    case ControlKind::Shape: drawShape(control, item.hDC, item.rcItem); break;
    case ControlKind::Bevel: drawBevel(control, item.hDC, item.rcItem); break;
    case ControlKind::Gauge: drawGauge(control, item.hDC, item.rcItem); break;
    default: break;
  }
}

void paintContainer(DialogWindow& dialog, DialogControl& control, HDC dc) {
  RECT client;
  GetClientRect(control.window, &client);
  const std::string caption = windowText(control.window);
  HGDIOBJ oldFont = SelectObject(dc, control.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, DialogWindow::systemColor(control.fontColor));
  if (control.is(ControlKind::GroupBox)) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    RECT frame = client;
    frame.top += extent.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
      RECT label{8, 0, 8 + extent.cx + 4, extent.cy};
      FillRect(dc, &label, dialog.brush(control.color));
      TextOutA(dc, 10, 0, caption.c_str(), static_cast<int>(caption.size()));
    }
  } else if (control.is(ControlKind::Panel)) {
    const FormValue* outer = control.design->property("BevelOuter");
    const std::string bevel = outer && outer->type() == FormValueType::Ident ? outer->identifier() : "bvRaised";
    if (equalsIgnoreCase(bevel, "bvRaised")) DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    else if (equalsIgnoreCase(bevel, "bvLowered")) DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    RECT text = client;
    DrawTextA(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldFont);
}

}  // namespace kox
