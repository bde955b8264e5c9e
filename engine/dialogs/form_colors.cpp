#include "engine/dialogs/form_colors.h"

#include <cstdio>

#include "engine/base/text.h"

namespace kox {

namespace {

struct NamedColor {
  const char* name;
  int32_t value;
};

constexpr int32_t sys(int index) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index)); }

constexpr NamedColor kNamedColors[] = {
    {"clBlack", 0x000000},       {"clMaroon", 0x000080},      {"clGreen", 0x008000},
    {"clOlive", 0x008080},       {"clNavy", 0x800000},        {"clPurple", 0x800080},
    {"clTeal", 0x808000},        {"clGray", 0x808080},        {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},         {"clLime", 0x00FF00},        {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},        {"clFuchsia", 0xFF00FF},     {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},       {"clMoneyGreen", 0xC0DCC0},  {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},       {"clMedGray", 0xA4A0A0},     {"clNone", kColorNone},
    {"clDefault", kColorDefault},
    {"clScrollBar", sys(0)},     {"clBackground", sys(1)},    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)}, {"clMenu", sys(4)},        {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},   {"clMenuText", sys(7)},      {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},   {"clActiveBorder", sys(10)}, {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)}, {"clHighlight", sys(13)},    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},      {"clBtnShadow", sys(16)},    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},      {"clInactiveCaptionText", sys(19)}, {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},   {"cl3DLight", sys(22)},      {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},       {"clHotLight", sys(26)},     {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)}, {"clMenuHighlight", sys(29)}, {"clMenuBar", sys(30)},
};

std::optional<int64_t> numberFromText(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const bool hex = !text.empty() && text[0] == '$';
  if (hex) text.remove_prefix(1);
  if (text.empty() || text.size() > (hex ? 8u : 10u)) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * (hex ? 16 : 10) + digit;
  }
  return negative ? -value : value;
}

}  // namespace

std::optional<int32_t> colorFromText(std::string_view text) {
  for (const NamedColor& color : kNamedColors)
    if (equalsIgnoreCase(color.name, text)) return color.value;
  std::optional<int64_t> number = numberFromText(text);
  if (!number || *number < INT32_MIN || *number > UINT32_MAX) return std::nullopt;
  return static_cast<int32_t>(static_cast<uint32_t>(*number));
}

std::string colorToText(int32_t color) {
  for (const NamedColor& named : kNamedColors)
    if (named.value == color) return named.name;
  char text[16];
  std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(color));
  return text;
}

std::optional<int> systemColorIndex(int32_t color) {
  const uint32_t bits = static_cast<uint32_t>(color);
  if ((bits >> 24) == 0x80 || (bits >> 24) == 0xFF) return static_cast<int>(bits & 0xFF);
  return std::nullopt;
}

}  // namespace kox
