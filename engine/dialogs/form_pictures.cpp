#include "engine/dialogs/form_pictures.h"

#include <string_view>

namespace kox {

namespace {

uint32_t read32(std::span<const uint8_t> bytes, size_t at) {
  return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

// A sized ".bmp" file: 32-bit size, "BM", the file header and an info header.
std::optional<std::span<const uint8_t>> sizedBitmapFile(std::span<const uint8_t> data) {
  constexpr size_t kFileHeader = 14, kInfoHeader = 12;  // the smallest (OS/2) info header
  if (data.size() < 4) return std::nullopt;
  const uint32_t size = read32(data, 0);
  std::span<const uint8_t> file = data.subspan(4);
  if (size > file.size() || size < kFileHeader + kInfoHeader) return std::nullopt;
  file = file.first(size);
  if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
  const uint32_t pixels = read32(file, 10);
  if (pixels < kFileHeader + kInfoHeader || pixels > file.size()) return std::nullopt;
  return file;
}

}  // namespace

std::optional<std::span<const uint8_t>> bitmapFileOfPicture(std::span<const uint8_t> data) {
  // Picture data starts with the class name; glyph data straight with the size.
  if (!data.empty() && data[0] > 0 && data[0] < 64 && 1u + data[0] <= data.size()) {
    const std::string_view className(reinterpret_cast<const char*>(data.data()) + 1, data[0]);
    if (className.size() > 1 && className[0] == 'T') {
      if (className == "TBitmap") return sizedBitmapFile(data.subspan(1 + data[0]));
      // Another graphic class, or glyph data whose size bytes look like one.
    }
  }
  return sizedBitmapFile(data);
}

}  // namespace kox
