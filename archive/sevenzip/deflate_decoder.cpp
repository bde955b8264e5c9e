#include "archive/sevenzip/deflate_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kox::sevenzip {
namespace {

constexpr unsigned kMaxBits = 15;
constexpr size_t kWindowSize = 1 << 16;  // twice the longest distance
constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                        33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A canonical Huffman code as a table indexed by the next 15 input bits
// (least significant bit first): symbol << 4 | code length, 0 for no code.
class HuffmanTable {
 public:
  void build(const uint8_t* lengths, size_t count) {
    table_.assign(size_t(1) << kMaxBits, 0);
    unsigned perLength[kMaxBits + 1] = {};
    for (size_t i = 0; i < count; ++i) ++perLength[lengths[i]];
    perLength[0] = 0;
    unsigned nextCode[kMaxBits + 2] = {};
    int left = 1;
    for (unsigned bits = 1; bits <= kMaxBits; ++bits) {
      left = left * 2 - static_cast<int>(perLength[bits]);
      if (left < 0) corrupt("an over-subscribed Deflate code");
      nextCode[bits + 1] = (nextCode[bits] + perLength[bits]) << 1;
    }
    for (size_t symbol = 0; symbol < count; ++symbol) {
      unsigned length = lengths[symbol];
      if (length == 0) continue;
      unsigned code = nextCode[length]++;
      unsigned reversed = 0;
      for (unsigned i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
      for (unsigned fill = reversed; fill < table_.size(); fill += 1u << length)
        table_[fill] = static_cast<uint16_t>(symbol << 4 | length);
    }
  }
  uint16_t lookup(unsigned bits) const { return table_[bits]; }

 private:
  std::vector<uint16_t> table_;
};

class DeflateSource : public DecoderSource {
 public:
  explicit DeflateSource(std::unique_ptr<ByteSource> input)
      : input_(std::move(input)), buffer_(*input_), window_(kWindowSize) {}

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (readPosition_ == position_) {
      if (position_ == kWindowSize) position_ = readPosition_ = 0;
      decodeUntil(kWindowSize);
      if (readPosition_ == position_) return 0;
    }
    size_t count = std::min(size, position_ - readPosition_);
    std::memcpy(out, window_.data() + readPosition_, count);
    readPosition_ += count;
    return count;
  }

 private:
  enum class Stage { BlockHeader, Stored, Huffman, Done };

  // Bits are taken least significant first. At the end of the input zero
  // bits are supplied so a table lookup can peek; using them is corrupt.
  void need(unsigned count) {
    while (bitCount_ < count) {
      uint64_t byte = 0;
      if (buffer_.fill()) {
        byte = *buffer_.cursor();
        buffer_.consume(1);
      } else {
        ++phantomBytes_;
      }
      bits_ |= byte << bitCount_;
      bitCount_ += 8;
    }
  }
  void drop(unsigned count) {
    bits_ >>= count;
    bitCount_ -= count;
    if (phantomBytes_ * 8 > bitCount_) corrupt("the Deflate data is truncated");
  }
  unsigned take(unsigned count) {
    need(count);
    unsigned value = static_cast<unsigned>(bits_ & ((uint64_t(1) << count) - 1));
    drop(count);
    return value;
  }
  unsigned decodeSymbol(const HuffmanTable& table) {
    need(kMaxBits);
    uint16_t entry = table.lookup(static_cast<unsigned>(bits_ & ((1u << kMaxBits) - 1)));
    if (entry == 0) corrupt("an invalid Deflate code");
    drop(entry & 15);
    return entry >> 4;
  }

  void readBlockHeader() {
    if (finalBlock_) {
      stage_ = Stage::Done;
      return;
    }
    finalBlock_ = take(1) != 0;
    unsigned type = take(2);
    if (type == 0) {
      drop(bitCount_ % 8);  // to the byte boundary
      unsigned length = take(16);
      unsigned complement = take(16);
      if ((length ^ 0xFFFF) != complement) corrupt("a bad Deflate stored block length");
      storedRemaining_ = length;
      stage_ = Stage::Stored;
    } else if (type == 1) {
      uint8_t lengths[288 + 32];
      std::fill(lengths, lengths + 144, 8);
      std::fill(lengths + 144, lengths + 256, 9);
      std::fill(lengths + 256, lengths + 280, 7);
      std::fill(lengths + 280, lengths + 288, 8);
      std::fill(lengths + 288, lengths + 320, 5);
      literals_.build(lengths, 288);
      distances_.build(lengths + 288, 32);
      stage_ = Stage::Huffman;
    } else if (type == 2) {
      readDynamicTables();
      stage_ = Stage::Huffman;
    } else {
      corrupt("a reserved Deflate block type");
    }
  }

  void readDynamicTables() {
    unsigned literalCount = take(5) + 257;
    unsigned distanceCount = take(5) + 1;
    unsigned codeLengthCount = take(4) + 4;
    if (literalCount > 286 || distanceCount > 30) corrupt("too many Deflate codes");
    uint8_t codeLengths[19] = {};
    for (unsigned i = 0; i < codeLengthCount; ++i) codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(take(3));
    HuffmanTable lengthCode;
    lengthCode.build(codeLengths, 19);
    uint8_t lengths[286 + 30] = {};
    unsigned total = literalCount + distanceCount;
    for (unsigned i = 0; i < total;) {
      unsigned symbol = decodeSymbol(lengthCode);
      if (symbol < 16) {
        lengths[i++] = static_cast<uint8_t>(symbol);
        continue;
      }
      unsigned repeat;
      uint8_t value = 0;
      if (symbol == 16) {
        if (i == 0) corrupt("a Deflate length repeat without a previous length");
        value = lengths[i - 1];
        repeat = 3 + take(2);
      } else if (symbol == 17) {
        repeat = 3 + take(3);
      } else {
        repeat = 11 + take(7);
      }
      if (i + repeat > total) corrupt("Deflate code lengths overflow");
      std::fill(lengths + i, lengths + i + repeat, value);
      i += repeat;
    }
    if (lengths[256] == 0) corrupt("a Deflate block without an end code");
    literals_.build(lengths, literalCount);
    distances_.build(lengths + literalCount, distanceCount);
  }

  void copyMatch(size_t limit) {
    while (matchRemaining_ > 0 && position_ < limit) {
      window_[position_] = window_[(position_ - matchDistance_) & (kWindowSize - 1)];
      ++position_;
      --matchRemaining_;
    }
  }

  void decodeUntil(size_t limit) {
    while (position_ < limit) {
      if (matchRemaining_ > 0) {
        copyMatch(limit);
        continue;
      }
      switch (stage_) {
        case Stage::Done:
          return;
        case Stage::BlockHeader:
          readBlockHeader();
          break;
        case Stage::Stored: {
          if (storedRemaining_ == 0) {
            stage_ = Stage::BlockHeader;
            break;
          }
          // Bits left in the bit buffer are whole bytes after the alignment.
          if (bitCount_ >= 8) {
            window_[position_++] = static_cast<uint8_t>(take(8));
            --storedRemaining_;
            ++produced_;
            break;
          }
          if (!buffer_.fill()) corrupt("the Deflate data is truncated");
          size_t count = std::min({static_cast<size_t>(storedRemaining_), limit - position_, buffer_.available()});
          std::memcpy(window_.data() + position_, buffer_.cursor(), count);
          buffer_.consume(count);
          position_ += count;
          storedRemaining_ -= static_cast<unsigned>(count);
          produced_ += count;
          break;
        }
        case Stage::Huffman: {
          unsigned symbol = decodeSymbol(literals_);
          if (symbol < 256) {
            window_[position_++] = static_cast<uint8_t>(symbol);
            ++produced_;
          } else if (symbol == 256) {
            stage_ = Stage::BlockHeader;
          } else {
            symbol -= 257;
            if (symbol >= 29) corrupt("an invalid Deflate length code");
            unsigned length = kLengthBase[symbol] + take(kLengthExtra[symbol]);
            unsigned distanceCode = decodeSymbol(distances_);
            if (distanceCode >= 30) corrupt("an invalid Deflate distance code");
            unsigned distance = kDistanceBase[distanceCode] + take(kDistanceExtra[distanceCode]);
            if (distance > produced_) corrupt("a Deflate distance before the start of the data");
            matchDistance_ = distance;
            matchRemaining_ = length;
            produced_ += length;
          }
          break;
        }
      }
    }
  }

  std::unique_ptr<ByteSource> input_;
  InputBuffer buffer_;
  std::vector<uint8_t> window_;
  size_t position_ = 0, readPosition_ = 0;
  uint64_t bits_ = 0;
  unsigned bitCount_ = 0;
  unsigned phantomBytes_ = 0;
  Stage stage_ = Stage::BlockHeader;
  bool finalBlock_ = false;
  unsigned storedRemaining_ = 0;
  HuffmanTable literals_, distances_;
  size_t matchDistance_ = 0;
  unsigned matchRemaining_ = 0;
  uint64_t produced_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> makeDeflateDecoder(std::unique_ptr<ByteSource> input) {
  return std::make_unique<DeflateSource>(std::move(input));
}

}  // namespace kox::sevenzip
