// The whole-file rewrite of "Write to Text File": load a file as lines, add
// text as further lines, save every line ended by CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

// Splits at every CR LF, LF or lone CR. A text that ends with a line break
// has no empty line after it; an empty text has no lines.
std::vector<std::string> splitTextLines(std::string_view text);

// The lines of the file, or nothing when it cannot be read.
std::vector<std::string> loadLines(const std::string& path);

// The lines that text adds to a list: one per line break plus one, so an
// empty text is one empty line and "a" CR LF is "a" and an empty line.
std::vector<std::string> linesOfAddedText(std::string_view text);

// Writes every line followed by CR LF, replacing the file. False on failure.
bool saveLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace kox
