// Writes a form tree as a binary form file, the inverse of readFormFile
// (the layout is described in form_reader.h). Values are written with the
// type they carry, so reading the bytes back gives an equal tree.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/dialogs/form_value.h"

namespace kox {

// The object stream alone: "TPF0" and the root object.
std::vector<uint8_t> writeFormStream(const FormObject& root);

// A complete ".dfm" file: the resource header (named after the root's class,
// upper-cased) followed by the object stream.
std::vector<uint8_t> writeFormFile(const FormObject& root);

}  // namespace kox
