// Colours of dialog definitions as the designer writes them: an identifier
// ("clBtnFace", "clRed") or a number. A number's high byte says what it is:
// 0x00 an RGB value stored as $00BBGGRR, 0x80 (or 0xFF) a system colour whose
// low byte is the GetSysColor index. clNone and clDefault are the two
// special values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kox {

constexpr int32_t kColorNone = 0x1FFFFFFF;
constexpr int32_t kColorDefault = 0x20000000;

// The colour an identifier names (letter case ignored), or a number in
// decimal or "$" hexadecimal; nullopt for anything else.
std::optional<int32_t> colorFromText(std::string_view text);

// The designer's text of a colour: its identifier when it has one, otherwise
// "$" and eight hexadecimal digits.
std::string colorToText(int32_t color);

// The system colour index of a colour value, or nullopt for an RGB value.
std::optional<int> systemColorIndex(int32_t color);

}  // namespace kox
