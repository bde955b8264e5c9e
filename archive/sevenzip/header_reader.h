// Bounds-checked reading of 7z header bytes. Every read checks the bytes that
// remain; a read past the end is "corrupt", never a read outside the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kox::sevenzip {

class HeaderReader {
 public:
  explicit HeaderReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  size_t remaining() const { return bytes_.size() - position_; }
  uint8_t readByte();
  uint32_t readUInt32();  // little-endian
  uint64_t readUInt64();  // little-endian
  // The 7z variable-length number: the count of leading 1 bits of the first
  // byte tells how many little-endian bytes follow; the rest of the first byte
  // holds the top bits.
  uint64_t readNumber();
  // A number used as an item count: each item needs at least `bytesPerItem`
  // bytes, so a count larger than the remaining bytes allow is corrupt.
  uint32_t readCount(size_t bytesPerItem = 1);
  // A count that needs no bytes per item (bit vectors are read separately);
  // capped by `maximum`.
  uint32_t readBoundedNumber(uint64_t maximum);
  std::span<const uint8_t> readBytes(uint64_t count);
  void skip(uint64_t count) { readBytes(count); }
  // A bit vector of `count` items, most significant bit first.
  std::vector<bool> readBits(size_t count);
  // "All defined" byte, then a bit vector when it is 0.
  std::vector<bool> readOptionalBits(size_t count);

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace kox::sevenzip
