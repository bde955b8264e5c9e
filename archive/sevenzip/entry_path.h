// Turns a stored entry name into path parts below the target folder, and
// refuses names that could land anywhere else.
#pragma once

#include <string>
#include <vector>

namespace kox::sevenzip {

// Splits `name` at '/' and '\'. Throws UnsafePath for an absolute name
// ("\x", "/x", "\\server\share"), a drive ("C:..."), a part that Windows would
// read as the parent folder or as nothing ("..", ".", ". ", "..."), a part
// with ':' (a drive or an alternate data stream), a part that is a device
// name ("con", "nul.txt", "com1") and an empty name. Empty parts from doubled
// separators are dropped.
std::vector<std::u16string> safeEntryPath(const std::u16string& name);

// The parts joined with '\'.
std::u16string joinEntryPath(const std::vector<std::u16string>& parts);

// UTF-16 to UTF-8 (unpaired surrogates become U+FFFD); for listings on hosts
// without a Windows code page and for messages.
std::string utf16ToUtf8(const std::u16string& text);
std::u16string utf8ToUtf16(const std::string& text);

}  // namespace kox::sevenzip
