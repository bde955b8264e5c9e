#include "archive/sevenzip/header_reader.h"

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {

uint8_t HeaderReader::readByte() {
  if (remaining() < 1) corrupt("the header ends too early");
  return bytes_[position_++];
}

uint32_t HeaderReader::readUInt32() {
  auto b = readBytes(4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

uint64_t HeaderReader::readUInt64() {
  auto b = readBytes(8);
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | b[i];
  return value;
}

uint64_t HeaderReader::readNumber() {
  uint8_t first = readByte();
  uint64_t value = 0;
  int extra = 0;
  uint8_t mask = 0x80;
  while (extra < 8 && (first & mask)) {
    value |= uint64_t(readByte()) << (8 * extra);
    ++extra;
    mask >>= 1;
  }
  if (extra < 8) value |= uint64_t(first & (mask - 1)) << (8 * extra);
  return value;
}

uint32_t HeaderReader::readCount(size_t bytesPerItem) {
  uint64_t count = readNumber();
  if (bytesPerItem > 0 && count > remaining() / bytesPerItem) corrupt("a count exceeds the header size");
  if (count > 0x7FFFFFFF) corrupt("a count is too large");
  return static_cast<uint32_t>(count);
}

uint32_t HeaderReader::readBoundedNumber(uint64_t maximum) {
  uint64_t value = readNumber();
  if (value > maximum) corrupt("a number is out of range");
  return static_cast<uint32_t>(value);
}

std::span<const uint8_t> HeaderReader::readBytes(uint64_t count) {
  if (count > remaining()) corrupt("the header ends too early");
  auto result = bytes_.subspan(position_, static_cast<size_t>(count));
  position_ += static_cast<size_t>(count);
  return result;
}

std::vector<bool> HeaderReader::readBits(size_t count) {
  if ((count + 7) / 8 > remaining()) corrupt("the header ends too early");
  std::vector<bool> bits(count);
  uint8_t current = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i % 8 == 0) current = readByte();
    bits[i] = (current & (0x80 >> (i % 8))) != 0;
  }
  return bits;
}

std::vector<bool> HeaderReader::readOptionalBits(size_t count) {
  if (readByte() != 0) return std::vector<bool>(count, true);
  return readBits(count);
}

}  // namespace kox::sevenzip
