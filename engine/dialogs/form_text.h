// The readable text form of a dialog definition, turned into the binary form
// file that the engine loads. Setup authors and tests write dialogs as text:
//
//   object WelcomeDialog: TWelcomeDialog
//     Caption = 'Welcome to $TITLE$'
//     object Label1: TLabel
//       Left = 10
//       Caption = 'First line'#13#10 +
//         'second line'
//       Anchors = [akLeft, akTop]
//     end
//   end
//
// Values: integers (decimal, or hexadecimal after "$"; a "-" or "+" in front),
// floats ("1.5", "2E3"; the suffix s, c or d makes a Single, Currency or Date,
// otherwise an Extended), quoted strings with '' for a quote, #NNN (or #$HH)
// character codes and "+" joining the parts, identifiers (True, False, nil,
// Null, or names such as clWindow or Form1.Edit1), sets [a, b], lists ( v v ),
// collections < item ... end  item [2] ... end >, and binary data { hex }.
// A string with a code above 255 becomes a wide string; its other characters
// are taken as code points 0-255.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/dialogs/form_value.h"

namespace kox {

// Parses the text form into a tree. Errors throw EngineError starting with
// "line N: ".
FormObject parseFormText(std::string_view text);

// The complete binary ".dfm" file (resource header and object stream).
std::vector<uint8_t> formTextToBinary(std::string_view text);

}  // namespace kox
