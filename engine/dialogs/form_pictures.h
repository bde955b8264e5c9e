// Pictures inside dialog definitions. The designer streams a picture
// property ("Picture.Data") as the graphic's class name (a short string,
// "TBitmap") followed by that class's data; a bitmap's data, and a button
// glyph ("Glyph.Data") on its own, is a 32-bit size and then a complete
// ".bmp" file. Only bitmaps are shown; other graphic classes (icons,
// metafiles, JPEG) read as no picture.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace kox {

// The ".bmp" file inside picture or glyph data, checked against the bytes
// at hand (file header, size field and the pixel offset); nullopt when the
// data holds no usable bitmap.
std::optional<std::span<const uint8_t>> bitmapFileOfPicture(std::span<const uint8_t> data);

}  // namespace kox
