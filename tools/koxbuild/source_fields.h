// Values in a setup source file.
//
// A field is either bare or quoted:
//   bare     the text as it stands, blanks (spaces, tabs) around it removed;
//            a backslash is an ordinary character ("data\" stays "data\")
//   quoted   between double quotes; inside, \\ is a backslash, \" a quote and
//            \xNN the byte with hexadecimal value NN; nothing else is escaped
// In a row of a list section the fields are separated by "|", so a value
// holding "|" must be quoted there. A `key = value` line has one field: a
// bare value runs to the end of the line, "|" and "=" included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

// Splits a row into its fields ("a | b |" gives "a", "b", ""). Throws
// EngineError for an unterminated quote, an unknown escape or text after a
// closing quote.
std::vector<std::string> parseRow(std::string_view row);

// The single field of a `key = value` line.
std::string parseValue(std::string_view value);

// Writes a value so that parseRow / parseValue read it back unchanged. In a
// row, an empty value and one holding "|" are quoted; 8-bit and control
// characters are always written as \xNN so a dumped source stays ASCII.
std::string quoteForRow(std::string_view value);
std::string quoteForValue(std::string_view value);

}  // namespace kox
