// The expression evaluator: decides the truth of a condition such as
//   "TRUE" = "TRUE" and ("x" <> "" or "b" >= "a")
// after the caller has replaced variable references by quoted values
// (ExpandTextQuoted). Pure functions of their input, safe from any thread;
// they never throw and never read past the input.
#pragma once

#include <string>
#include <string_view>

namespace kox {

// "TRUE", "FALSE", or "ERROR" when the text departs from the grammar.
std::string Evaluate(std::string_view text);

// Syntax check of an expression as written in the script, references still in
// it: false exactly when the text with every "$" turned into a double quote
// evaluates to "ERROR" (so $A$ reads as the operand "A").
bool SyntaxOK(std::string_view text);

}  // namespace kox
