// Reader of binary form files (".dfm"): the dialog definitions of the wizard.
//
// A form file is an optional 16-bit resource header followed by the object
// stream. All numbers are little-endian.
//
//   resource header (optional, starts with 0xFF):
//     0xFF, type word 10 (RCDATA)
//     resource name: NUL-terminated text, or 0xFF and a 16-bit ordinal
//     flags word (0x1030 as written by the authoring tool)
//     32-bit size of the object stream that follows
//
//   object stream:
//     form-file   = "TPF0" object
//     object      = [ prefix ] short-string(class) short-string(name)
//                   { property } 0x00 { object } 0x00
//     prefix      = byte 0xF0 | flags; flags 1 inherited, 2 child position
//                   (an integer value follows), 4 inline
//     property    = short-string(name, not empty) value
//     short-string= length byte, then that many characters
//     value       = type byte (FormValueType), then by type:
//       Null, Nil, False, True     nothing
//       Int8 / Int16 / Int32 / Int64  1 / 2 / 4 / 8 bytes, signed
//       Extended                   10 bytes, x87 80-bit float
//       Single / Double / Date     4 / 8 / 8 bytes, IEEE float
//       Currency                   8 bytes, signed count of 1/10000
//       String, Ident              short-string
//       LString, UTF8String        32-bit length, then the characters
//       WString                    32-bit count of UTF-16 units, then the units
//       Binary                     32-bit length, then the bytes (pictures,
//                                  image lists and other streamed data)
//       Set                        short-strings until an empty one
//       List                       values until a Null type byte
//       Collection                 items until a Null type byte; an item is
//                                  [ integer value (its order) ] List type byte,
//                                  properties until an empty name
//
// The reader trusts nothing: every length is checked against the bytes that
// are left, and objects, lists and collections may nest at most
// kMaxFormNesting levels deep. A damaged stream throws EngineError naming
// the fault and its offset; the caller adds the file name.
#pragma once

#include <cstdint>
#include <span>

#include "engine/dialogs/form_value.h"

namespace kox {

constexpr int kMaxFormNesting = 64;

// Reads a whole form file, with or without the resource header.
FormObject readFormFile(std::span<const uint8_t> bytes);

}  // namespace kox
