#include "archive/sevenzip/branch_filters.h"

#include <algorithm>
#include <cstring>

namespace kox::sevenzip {
namespace {

bool isAddressTopByte(uint8_t b) { return b == 0x00 || b == 0xFF; }

// For a mask of unconverted opcodes among the previous three bytes: whether a
// candidate may still be converted, and which operand byte must then be
// checked (counted from the operand's end).
constexpr bool kMaskAllows[8] = {true, true, true, false, true, false, false, false};
constexpr unsigned kMaskByte[8] = {0, 1, 2, 2, 3, 3, 3, 3};

}  // namespace

size_t X86BranchDecoder::convert(uint8_t* data, size_t size, uint32_t position) {
  if (size < 5) return 0;
  const size_t end = size - 4;  // a candidate needs its 4 operand bytes
  // Distance from the last opcode seen to the current one; the carried mask
  // refers to the position just before data[0].
  size_t lastOpcode = SIZE_MAX;  // "one before data[0]"
  uint32_t mask = mask_;
  size_t i = 0;
  while (true) {
    while (i < end && (data[i] & 0xFE) != 0xE8) ++i;
    if (i >= end) break;
    size_t distance = i - lastOpcode;  // wraps to i + 1 for the carried state
    if (distance > 3) {
      mask = 0;
    } else {
      mask = (mask << (distance - 1)) & 7;
      if (mask != 0 && (!kMaskAllows[mask] || isAddressTopByte(data[i + 4 - kMaskByte[mask]]))) {
        // Not an instruction start: remember it and look on from the next byte.
        lastOpcode = i;
        mask = ((mask << 1) & 7) | 1;
        ++i;
        continue;
      }
    }
    lastOpcode = i;
    if (!isAddressTopByte(data[i + 4])) {
      mask = ((mask << 1) & 7) | 1;
      ++i;
      continue;
    }
    uint32_t value = uint32_t(data[i + 1]) | uint32_t(data[i + 2]) << 8 | uint32_t(data[i + 3]) << 16 |
                     uint32_t(data[i + 4]) << 24;
    const uint32_t nextInstruction = position + static_cast<uint32_t>(i) + 5;
    uint32_t target;
    while (true) {
      target = value - nextInstruction;
      if (mask == 0) break;
      unsigned shift = kMaskByte[mask] * 8;
      if (!isAddressTopByte(static_cast<uint8_t>(target >> (24 - shift)))) break;
      value = target ^ ((1u << (32 - shift)) - 1);
    }
    // Bit 24 of the target decides the sign-extended top byte.
    data[i + 4] = (target >> 24) & 1 ? 0xFF : 0x00;
    data[i + 3] = static_cast<uint8_t>(target >> 16);
    data[i + 2] = static_cast<uint8_t>(target >> 8);
    data[i + 1] = static_cast<uint8_t>(target);
    i += 5;
  }
  size_t distance = i - lastOpcode;
  mask_ = distance > 3 ? 0 : (mask << (distance - 1)) & 7;
  return i;
}

namespace {

class BcjX86Source : public DecoderSource {
 public:
  explicit BcjX86Source(std::unique_ptr<ByteSource> input) : input_(std::move(input)), buffer_(1 << 16) {}

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (ready_ == 0) {
      // Keep the unconverted tail, read more behind it, convert.
      std::memmove(buffer_.data(), buffer_.data() + start_, filled_ - start_);
      filled_ -= start_;
      start_ = 0;
      while (!ended_ && filled_ < buffer_.size()) {
        size_t got = input_->read(buffer_.data() + filled_, buffer_.size() - filled_);
        if (got == 0) ended_ = true;
        filled_ += got;
      }
      ready_ = decoder_.convert(buffer_.data(), filled_, position_);
      if (ended_) ready_ = filled_;  // the last few bytes pass unchanged
      if (ready_ == 0) return 0;
    }
    size_t count = std::min(size, ready_);
    std::memcpy(out, buffer_.data() + start_, count);
    start_ += count;
    ready_ -= count;
    position_ += static_cast<uint32_t>(count);
    return count;
  }

 private:
  std::unique_ptr<ByteSource> input_;
  std::vector<uint8_t> buffer_;
  X86BranchDecoder decoder_;
  size_t start_ = 0, filled_ = 0, ready_ = 0;
  uint32_t position_ = 0;
  bool ended_ = false;
};

class Bcj2Source : public DecoderSource {
 public:
  Bcj2Source(std::vector<std::unique_ptr<ByteSource>> inputs, uint64_t outSize)
      : inputs_(std::move(inputs)),
        main_(*inputs_[0]),
        call_(*inputs_[1], 1 << 12),
        jump_(*inputs_[2], 1 << 12),
        rangeInput_(*inputs_[3], 1 << 12),
        remaining_(outSize) {
    std::fill(std::begin(probabilities_), std::end(probabilities_), uint16_t(1024));
  }

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (!started_) {
      started_ = true;
      for (int i = 0; i < 5; ++i) code_ = (code_ << 8) | rangeInput_.readByte();
    }
    size_t done = 0;
    while (done < size) {
      if (pendingCount_ > 0) {
        out[done++] = pending_[4 - pendingCount_];
        --pendingCount_;
        continue;
      }
      if (remaining_ == 0) break;
      if (decisionPending_) {
        decisionPending_ = false;
        decideBranch();
        continue;
      }
      if (!main_.fill()) corrupt("the BCJ2 main stream ends early");
      // Copy plain bytes up to and including the next branch opcode.
      const uint8_t* in = main_.cursor();
      size_t count = std::min({main_.available(), size - done, static_cast<size_t>(std::min<uint64_t>(remaining_, SIZE_MAX))});
      size_t i = 0;
      uint8_t prev = previousByte_;
      while (i < count) {
        uint8_t b = in[i++];
        bool branch = (b & 0xFE) == 0xE8 || (prev == 0x0F && (b & 0xF0) == 0x80);
        if (branch) {
          decisionPending_ = true;
          opcode_ = b;
          byteBeforeOpcode_ = prev;
          prev = b;
          break;
        }
        prev = b;
      }
      std::memcpy(out + done, in, i);
      main_.consume(i);
      done += i;
      remaining_ -= i;
      position_ += static_cast<uint32_t>(i);
      previousByte_ = prev;
    }
    return done;
  }

 private:
  unsigned decodeBit(uint16_t& p) {
    uint32_t bound = (range_ >> 11) * p;
    unsigned bit;
    if (code_ < bound) {
      range_ = bound;
      p = static_cast<uint16_t>(p + ((2048 - p) >> 5));
      bit = 0;
    } else {
      range_ -= bound;
      code_ -= bound;
      p = static_cast<uint16_t>(p - (p >> 5));
      bit = 1;
    }
    if (range_ < (1u << 24)) {
      range_ <<= 8;
      code_ = (code_ << 8) | rangeInput_.readByte();
    }
    return bit;
  }

  void decideBranch() {
    uint16_t& p = opcode_ == 0xE8   ? probabilities_[byteBeforeOpcode_]
                  : opcode_ == 0xE9 ? probabilities_[256]
                                    : probabilities_[257];
    if (decodeBit(p) == 0) return;  // the operand was left in the main stream
    InputBuffer& source = opcode_ == 0xE8 ? call_ : jump_;
    uint8_t bytes[4];
    source.readBytes(bytes, 4);
    uint32_t absolute = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    if (remaining_ < 4) corrupt("a BCJ2 branch target crosses the end of the data");
    uint32_t relative = absolute - (position_ + 4);
    for (int i = 0; i < 4; ++i) pending_[i] = static_cast<uint8_t>(relative >> (8 * i));
    pendingCount_ = 4;
    remaining_ -= 4;
    position_ += 4;
    previousByte_ = static_cast<uint8_t>(relative >> 24);
  }

  std::vector<std::unique_ptr<ByteSource>> inputs_;
  InputBuffer main_, call_, jump_, rangeInput_;
  uint64_t remaining_;
  uint16_t probabilities_[258];
  uint32_t range_ = 0xFFFFFFFF, code_ = 0;
  uint32_t position_ = 0;
  uint8_t previousByte_ = 0, opcode_ = 0, byteBeforeOpcode_ = 0;
  uint8_t pending_[4] = {};
  int pendingCount_ = 0;
  bool decisionPending_ = false;
  bool started_ = false;
};

}  // namespace

std::unique_ptr<ByteSource> makeBcjX86Decoder(std::unique_ptr<ByteSource> input) {
  return std::make_unique<BcjX86Source>(std::move(input));
}

std::unique_ptr<ByteSource> makeBcj2Decoder(std::vector<std::unique_ptr<ByteSource>> inputs, uint64_t outSize) {
  return std::make_unique<Bcj2Source>(std::move(inputs), outSize);
}

}  // namespace kox::sevenzip
