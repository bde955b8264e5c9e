// The variable list text: how the whole store travels to a plug-in library and
// back. A comma-separated list of items, alternately a name and its value.
//
// Writing: an item is written bare unless it holds a double quote, a comma or
// a byte 1..32; then it is written between double quotes with every inner
// quote doubled. An empty item is written as nothing; items are separated by
// one comma, with none after the last.
//
// Reading: bytes 1..32 before an item are skipped. A quoted item runs to the
// next quote that is not doubled; any other item runs to the next comma or
// byte 1..32. After an item bytes 1..32 are skipped and a comma is consumed; a
// comma that is the very last byte adds one empty item.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

std::string formatVariableList(const std::vector<std::string>& items);
std::vector<std::string> parseVariableList(std::string_view text);

}  // namespace kox
