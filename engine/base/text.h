// Helpers for the engine's 8-bit texts. Letter case is folded in ASCII only:
// the texts are in the system's ANSI code page and names compare as the
// engine always has, "a".."z" against "A".."Z".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

char asciiLower(char c);
char asciiUpper(char c);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Position of needle in haystack with ASCII case ignored, or npos.
size_t findIgnoreCase(std::string_view haystack, std::string_view needle, size_t from = 0);
bool startsWithIgnoreCase(std::string_view text, std::string_view prefix);

// Splits text into lines. A line ends at LF; a CR right before the LF belongs
// to the line end. A last line without LF is still a line; a text that ends
// with a line end has no empty line after it.
std::vector<std::string_view> splitLines(std::string_view text);

// Folder with exactly one trailing backslash ("" stays "").
std::string withBackslash(std::string_view folder);

}  // namespace kox
