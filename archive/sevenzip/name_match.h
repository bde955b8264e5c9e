// Matching the names of a caller's file list against entry names. Names are
// 8-bit texts; '/' and '\' are the same separator; ASCII letter case is
// ignored; '*' matches any run of characters and '?' any one character (a
// name that the code page could not represent lists its unknown characters
// as '?', so it still finds its entry).
#pragma once

#include <string_view>

namespace kox::sevenzip {

bool matchesEntryName(std::string_view pattern, std::string_view name);

// False for an empty pattern, an absolute one, one with a drive ("C:") and
// one with a ".." part: such a list entry can never name an archive entry.
bool isLegalPattern(std::string_view pattern);

}  // namespace kox::sevenzip
