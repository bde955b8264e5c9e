// Small tests the compiler applies to parameters.
#pragma once

#include <string_view>

#include "engine/vars/variable_manager.h"

namespace kox {

// The variable-reference test. The reference form of a text is NAME when the
// text is "$NAME$" (no other "$"), else nothing.
//   plainTextPasses set:   true without a reference form, else true when NAME is defined;
//   plainTextPasses clear: with a reference form, true when NAME is defined,
//                          otherwise true when the whole text names a defined variable.
bool passesVariableReferenceTest(const TVariableManager& variables, std::string_view text, bool plainTextPasses);

// True when the file-name part of the text (after its last "\" or ":") holds
// none of \ / : * ? " < > |.
bool isLegalFileName(std::string_view text);

}  // namespace kox
