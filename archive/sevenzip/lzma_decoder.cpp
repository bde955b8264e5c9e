#include "archive/sevenzip/lzma_decoder.h"

#include <algorithm>
#include <cstring>

namespace kox::sevenzip {
namespace {

constexpr unsigned kNumStates = 12;
constexpr unsigned kNumPosBitsMax = 4;
constexpr unsigned kEndPosModelIndex = 14;
constexpr unsigned kNumFullDistances = 128;
constexpr unsigned kNumAlignBits = 4;
constexpr uint32_t kTopValue = 1u << 24;
constexpr unsigned kProbBits = 11;
constexpr uint16_t kProbInit = 1 << (kProbBits - 1);
constexpr unsigned kMoveBits = 5;
constexpr unsigned kMatchMinLength = 2;

// One symbol reads at most one input byte per decoded bit; the longest
// symbol (a match with a far distance) decodes fewer than 64 bits.
constexpr size_t kMaxSymbolBytes = 64;
static_assert(kMaxSymbolBytes <= InputBuffer::kPadding);

// Layout of the probability array.
constexpr unsigned kIsMatch = 0;
constexpr unsigned kIsRep = kIsMatch + (kNumStates << kNumPosBitsMax);
constexpr unsigned kIsRepG0 = kIsRep + kNumStates;
constexpr unsigned kIsRepG1 = kIsRepG0 + kNumStates;
constexpr unsigned kIsRepG2 = kIsRepG1 + kNumStates;
constexpr unsigned kIsRep0Long = kIsRepG2 + kNumStates;
constexpr unsigned kPosSlot = kIsRep0Long + (kNumStates << kNumPosBitsMax);
constexpr unsigned kSpecPos = kPosSlot + (4 << 6);
constexpr unsigned kAlign = kSpecPos + 1 + kNumFullDistances - kEndPosModelIndex;
constexpr unsigned kLengthCoder = kAlign + (1 << kNumAlignBits);
// A length coder: choice, choice2, low[16][8], mid[16][8], high[256].
constexpr unsigned kLenChoice = 0, kLenChoice2 = 1, kLenLow = 2, kLenMid = kLenLow + (16 << 3),
                   kLenHigh = kLenMid + (16 << 3), kLenCoderSize = kLenHigh + 256;
constexpr unsigned kRepLengthCoder = kLengthCoder + kLenCoderSize;
constexpr unsigned kLiteral = kRepLengthCoder + kLenCoderSize;

uint32_t readUInt32(const std::vector<uint8_t>& bytes, size_t offset) {
  return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
         uint32_t(bytes[offset + 3]) << 24;
}

}  // namespace

LzmaProperties LzmaProperties::fromByte(uint8_t byte) {
  if (byte >= 9 * 5 * 5) corrupt("bad LZMA properties");
  LzmaProperties p;
  p.lc = byte % 9;
  byte /= 9;
  p.lp = byte % 5;
  p.pb = byte / 5;
  return p;
}

uint64_t dictionaryCapacity(uint64_t declared, uint64_t outSize, const DecodeLimits& limits) {
  uint64_t needed = std::max<uint64_t>(std::min(declared, outSize), 4096);
  if (needed > limits.maxDictionary) fail(ErrorKind::Limit, "the dictionary is larger than allowed");
  if (needed > SIZE_MAX / 2) fail(ErrorKind::Limit, "the dictionary does not fit in memory");
  return needed;
}

LzmaDecoder::LzmaDecoder(uint64_t capacity) : capacity_(static_cast<size_t>(std::max<uint64_t>(capacity, 1))) {
  dictionary_.resize(std::min<size_t>(capacity_, size_t(1) << 20));
  setProperties(properties_);
}

void LzmaDecoder::setProperties(const LzmaProperties& properties) {
  properties_ = properties;
  probabilities_.assign(kLiteral + (0x300u << (properties.lc + properties.lp)), kProbInit);
  resetState();
}

void LzmaDecoder::resetState() {
  std::fill(probabilities_.begin(), probabilities_.end(), kProbInit);
  state_ = 0;
  reps_[0] = reps_[1] = reps_[2] = reps_[3] = 0;
  pendingLength_ = 0;
  endMarker_ = false;
}

void LzmaDecoder::resetDictionary() { validBytes_ = 0; }

void LzmaDecoder::startRangeCoder(InputBuffer& input) {
  if (input.readByte() != 0) corrupt("bad LZMA stream start");
  code_ = 0;
  for (int i = 0; i < 4; ++i) code_ = code_ << 8 | input.readByte();
  range_ = 0xFFFFFFFF;
  if (code_ == range_) corrupt("bad LZMA stream start");
}

void LzmaDecoder::growTo(size_t size) { dictionary_.resize(size); }

size_t LzmaDecoder::prepareSpace(size_t readPosition, size_t& newReadPosition) {
  newReadPosition = readPosition;
  if (position_ == capacity_) {
    position_ = 0;
    newReadPosition = 0;
  } else if (position_ == dictionary_.size()) {
    growTo(std::min(capacity_, dictionary_.size() * 2));
  }
  return dictionary_.size() - position_;
}

void LzmaDecoder::copyStored(InputBuffer& input, size_t count) {
  if (count > dictionary_.size() - position_) corrupt("stored data exceeds the output window");
  input.readBytes(dictionary_.data() + position_, count);
  position_ += count;
  validBytes_ += count;
}

void LzmaDecoder::decode(InputBuffer& input, size_t limit) {
  uint8_t* const dict = dictionary_.data();
  const size_t dictSize = dictionary_.size();
  uint16_t* const probs = probabilities_.data();
  const unsigned lc = properties_.lc;
  const uint32_t lpMask = (1u << properties_.lp) - 1;
  const uint32_t pbMask = (1u << properties_.pb) - 1;
  size_t pos = position_;

  while (pos < limit && !endMarker_) {
    // Finish a match that the previous call had to cut at its limit.
    if (pendingLength_ > 0) {
      size_t count = std::min<size_t>(pendingLength_, limit - pos);
      size_t src = pos >= reps_[0] + 1 ? pos - reps_[0] - 1 : pos + dictSize - reps_[0] - 1;
      for (size_t i = 0; i < count; ++i) {
        dict[pos++] = dict[src++];
        if (src == dictSize) src = 0;
      }
      pendingLength_ -= static_cast<uint32_t>(count);
      validBytes_ += count;
      continue;
    }

    size_t available = input.available();
    if (available < kMaxSymbolBytes) available = input.ensure(kMaxSymbolBytes);
    const uint8_t* const start = input.cursor();
    const uint8_t* const end = start + available;
    // Near the end of the input a symbol may start as long as the input has
    // not been overrun; the padding behind `end` keeps the reads in bounds.
    const uint8_t* const checkpoint = available >= kMaxSymbolBytes ? end - kMaxSymbolBytes : end;
    const uint8_t* in = start;
    uint32_t range = range_, code = code_;
    unsigned state = state_;
    uint32_t rep0 = reps_[0], rep1 = reps_[1], rep2 = reps_[2], rep3 = reps_[3];
    const size_t startPos = pos;
    const uint64_t validAtStart = validBytes_;
    uint32_t pending = 0;
    bool endMarker = false;

    auto normalize = [&]() {
      if (range < kTopValue) {
        range <<= 8;
        code = (code << 8) | *in++;
      }
    };
    auto bit = [&](uint16_t& p) -> unsigned {
      uint32_t bound = (range >> kProbBits) * p;
      if (code < bound) {
        range = bound;
        p = static_cast<uint16_t>(p + (((1u << kProbBits) - p) >> kMoveBits));
        normalize();
        return 0;
      }
      range -= bound;
      code -= bound;
      p = static_cast<uint16_t>(p - (p >> kMoveBits));
      normalize();
      return 1;
    };
    auto bitTree = [&](uint16_t* tree, unsigned numBits) -> unsigned {
      unsigned m = 1;
      for (unsigned i = 0; i < numBits; ++i) m = (m << 1) | bit(tree[m]);
      return m - (1u << numBits);
    };
    auto reverseBitTree = [&](uint16_t* tree, unsigned numBits) -> unsigned {
      unsigned m = 1, symbol = 0;
      for (unsigned i = 0; i < numBits; ++i) {
        unsigned b = bit(tree[m]);
        m = (m << 1) | b;
        symbol |= b << i;
      }
      return symbol;
    };
    auto length = [&](uint16_t* coder, unsigned posState) -> unsigned {
      if (bit(coder[kLenChoice]) == 0) return bitTree(coder + kLenLow + (posState << 3), 3);
      if (bit(coder[kLenChoice2]) == 0) return 8 + bitTree(coder + kLenMid + (posState << 3), 3);
      return 16 + bitTree(coder + kLenHigh, 8);
    };
    auto valid = [&]() -> uint64_t {
      uint64_t v = validAtStart + (pos - startPos);
      return v < dictSize ? v : dictSize;
    };

    while (pos < limit && in <= checkpoint) {
      const uint64_t processed = validAtStart + (pos - startPos);
      const unsigned posState = static_cast<unsigned>(processed) & pbMask;
      if (bit(probs[kIsMatch + (state << kNumPosBitsMax) + posState]) == 0) {
        unsigned prevByte = processed == 0 ? 0 : dict[pos > 0 ? pos - 1 : dictSize - 1];
        uint16_t* lit =
            probs + kLiteral + 0x300 * (((static_cast<uint32_t>(processed) & lpMask) << lc) + (prevByte >> (8 - lc)));
        unsigned symbol = 1;
        if (state >= 7) {
          size_t src = pos >= rep0 + 1 ? pos - rep0 - 1 : pos + dictSize - rep0 - 1;
          unsigned matchByte = dict[src];
          do {
            unsigned matchBit = (matchByte >> 7) & 1;
            matchByte <<= 1;
            unsigned b = bit(lit[((1 + matchBit) << 8) + symbol]);
            symbol = (symbol << 1) | b;
            if (matchBit != b) break;
          } while (symbol < 0x100);
        }
        while (symbol < 0x100) symbol = (symbol << 1) | bit(lit[symbol]);
        dict[pos++] = static_cast<uint8_t>(symbol);
        state = state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
        continue;
      }

      unsigned len;
      if (bit(probs[kIsRep + state]) == 0) {
        // A match with a new distance.
        rep3 = rep2;
        rep2 = rep1;
        rep1 = rep0;
        len = length(probs + kLengthCoder, posState);
        state = state < 7 ? 7 : 10;
        unsigned lenState = len < 3 ? len : 3;
        unsigned posSlot = bitTree(probs + kPosSlot + (lenState << 6), 6);
        uint32_t distance;
        if (posSlot < 4) {
          distance = posSlot;
        } else {
          unsigned directBits = (posSlot >> 1) - 1;
          distance = (2 | (posSlot & 1)) << directBits;
          if (posSlot < kEndPosModelIndex) {
            distance += reverseBitTree(probs + kSpecPos + distance - posSlot, directBits);
          } else {
            uint32_t direct = 0;
            for (unsigned i = directBits - kNumAlignBits; i > 0; --i) {
              range >>= 1;
              uint32_t t = 0u - ((code - range) >> 31 ^ 1);  // all ones when code >= range
              code -= range & t;
              direct = (direct << 1) + (t & 1);
              normalize();
            }
            distance += direct << kNumAlignBits;
            distance += reverseBitTree(probs + kAlign, kNumAlignBits);
            if (distance == 0xFFFFFFFF) {
              endMarker = true;
              break;
            }
          }
        }
        rep0 = distance;
      } else if (bit(probs[kIsRepG0 + state]) == 0) {
        if (bit(probs[kIsRep0Long + (state << kNumPosBitsMax) + posState]) == 0) {
          // A single byte at the last distance.
          if (rep0 >= valid()) corrupt("LZMA data refers to bytes before its start");
          size_t src = pos >= rep0 + 1 ? pos - rep0 - 1 : pos + dictSize - rep0 - 1;
          dict[pos] = dict[src];
          ++pos;
          state = state < 7 ? 9 : 11;
          continue;
        }
        len = length(probs + kRepLengthCoder, posState);
        state = state < 7 ? 8 : 11;
      } else {
        uint32_t distance;
        if (bit(probs[kIsRepG1 + state]) == 0) {
          distance = rep1;
        } else {
          if (bit(probs[kIsRepG2 + state]) == 0) {
            distance = rep2;
          } else {
            distance = rep3;
            rep3 = rep2;
          }
          rep2 = rep1;
        }
        rep1 = rep0;
        rep0 = distance;
        len = length(probs + kRepLengthCoder, posState);
        state = state < 7 ? 8 : 11;
      }

      if (rep0 >= valid()) corrupt("LZMA data refers to bytes before its start");
      len += kMatchMinLength;
      size_t count = std::min<size_t>(len, limit - pos);
      pending = static_cast<uint32_t>(len - count);
      size_t src = pos >= rep0 + 1 ? pos - rep0 - 1 : pos + dictSize - rep0 - 1;
      if (src + count <= dictSize && (src + count <= pos || src >= pos + count)) {
        // No wrap and no overlap with the bytes being written.
        std::memcpy(dict + pos, dict + src, count);
        pos += count;
      } else {
        for (size_t i = 0; i < count; ++i) {
          dict[pos++] = dict[src++];
          if (src == dictSize) src = 0;
        }
      }
      if (pending > 0) break;
    }

    if (in > end) corrupt("the LZMA data is truncated");
    input.consume(static_cast<size_t>(in - start));
    range_ = range;
    code_ = code;
    state_ = state;
    reps_[0] = rep0;
    reps_[1] = rep1;
    reps_[2] = rep2;
    reps_[3] = rep3;
    pendingLength_ = pending;
    validBytes_ = validAtStart + (pos - startPos);
    if (endMarker) endMarker_ = true;
  }
  position_ = pos;
}

namespace {

// Pulls output from an LzmaDecoder's window.
class LzmaSource : public DecoderSource {
 public:
  LzmaSource(std::unique_ptr<ByteSource> input, const LzmaProperties& properties, uint64_t capacity, uint64_t outSize)
      : input_(std::move(input)), buffer_(*input_), decoder_(capacity), remaining_(outSize) {
    decoder_.setProperties(properties);
  }

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (readPosition_ == decoder_.position()) {
      if (remaining_ == 0) return 0;
      if (!started_) {
        decoder_.startRangeCoder(buffer_);
        started_ = true;
      }
      size_t room = decoder_.prepareSpace(readPosition_, readPosition_);
      size_t limit = decoder_.position() + static_cast<size_t>(std::min<uint64_t>(room, remaining_));
      decoder_.decode(buffer_, limit);
      size_t produced = decoder_.position() - readPosition_;
      if (produced == 0) corrupt("the LZMA data ends before its declared size");
      remaining_ -= produced;
    }
    size_t count = std::min(size, decoder_.position() - readPosition_);
    std::memcpy(out, decoder_.window() + readPosition_, count);
    readPosition_ += count;
    return count;
  }

 private:
  std::unique_ptr<ByteSource> input_;
  InputBuffer buffer_;
  LzmaDecoder decoder_;
  uint64_t remaining_;
  size_t readPosition_ = 0;
  bool started_ = false;
};

}  // namespace

// LZMA2: a sequence of chunks, each starting with a control byte:
//   0x00                end of data
//   0x01 / 0x02         stored chunk with / without dictionary reset;
//                       then UINT16 (big-endian) size - 1
//   0x80 | reset << 5 | size bits 16..20
//                       LZMA chunk; then UINT16 unpacked size - 1 (low 16 bits),
//                       UINT16 packed size - 1, and a properties byte when
//                       reset >= 2. reset: 0 none, 1 state, 2 state and
//                       properties, 3 everything including the dictionary.
// Every LZMA chunk starts a new range coder.
class Lzma2Source : public DecoderSource {
 public:
  Lzma2Source(std::unique_ptr<ByteSource> input, uint64_t capacity, uint64_t outSize)
      : input_(std::move(input)), buffer_(*input_), decoder_(capacity), remaining_(outSize) {}

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (readPosition_ == decoder_.position()) {
      if (remaining_ == 0) return 0;
      if (chunkRemaining_ == 0) startChunk();
      size_t room = decoder_.prepareSpace(readPosition_, readPosition_);
      size_t count = static_cast<size_t>(std::min<uint64_t>({room, chunkRemaining_, remaining_}));
      size_t before = decoder_.position();
      if (stored_) {
        decoder_.copyStored(buffer_, count);
      } else {
        decoder_.decode(buffer_, before + count);
      }
      size_t produced = decoder_.position() - before;
      if (produced == 0) corrupt("an LZMA2 chunk ends early");
      chunkRemaining_ -= produced;
      remaining_ -= produced;
      if (chunkRemaining_ == 0 && !stored_) {
        // The chunk's packed bytes must be used up exactly.
        if (buffer_.limit() != 0 || !decoder_.finishedCleanly()) corrupt("an LZMA2 chunk has a wrong packed size");
        buffer_.setLimit(InputBuffer::kUnlimited);
      }
    }
    size_t count = std::min(size, decoder_.position() - readPosition_);
    std::memcpy(out, decoder_.window() + readPosition_, count);
    readPosition_ += count;
    return count;
  }

 private:
  uint32_t readUInt16() {
    uint32_t high = buffer_.readByte();
    return high << 8 | buffer_.readByte();
  }

  void startChunk() {
    uint8_t control = buffer_.readByte();
    if (control == 0x00) corrupt("the LZMA2 data ends before its declared size");
    if (control == 0x01 || control == 0x02) {
      if (control == 0x01) {
        decoder_.resetDictionary();
        needDictionaryReset_ = false;
      }
      if (needDictionaryReset_) corrupt("LZMA2 data without a dictionary reset");
      stored_ = true;
      chunkRemaining_ = readUInt16() + 1;
      return;
    }
    if (control < 0x80) corrupt("bad LZMA2 chunk type");
    stored_ = false;
    unsigned reset = (control >> 5) & 3;
    chunkRemaining_ = (uint64_t(control & 0x1F) << 16) + readUInt16() + 1;
    uint32_t packed = readUInt16() + 1;
    if (reset == 3) {
      decoder_.resetDictionary();
      needDictionaryReset_ = false;
    }
    if (needDictionaryReset_) corrupt("LZMA2 data without a dictionary reset");
    if (reset >= 2) {
      LzmaProperties properties = LzmaProperties::fromByte(buffer_.readByte());
      if (properties.lc + properties.lp > 4) corrupt("bad LZMA2 properties");
      decoder_.setProperties(properties);
      haveProperties_ = true;
    } else if (reset == 1) {
      decoder_.resetState();
    }
    if (!haveProperties_) corrupt("LZMA2 data without properties");
    buffer_.setLimit(packed);
    decoder_.startRangeCoder(buffer_);
  }

  std::unique_ptr<ByteSource> input_;
  InputBuffer buffer_;
  LzmaDecoder decoder_;
  uint64_t remaining_;
  uint64_t chunkRemaining_ = 0;
  size_t readPosition_ = 0;
  bool stored_ = false;
  bool needDictionaryReset_ = true;
  bool haveProperties_ = false;
};

std::unique_ptr<ByteSource> makeLzmaDecoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                            uint64_t outSize, const DecodeLimits& limits) {
  if (properties.size() < 5) corrupt("LZMA properties are too short");
  LzmaProperties lzma = LzmaProperties::fromByte(properties[0]);
  uint64_t capacity = dictionaryCapacity(readUInt32(properties, 1), outSize, limits);
  return std::make_unique<LzmaSource>(std::move(input), lzma, capacity, outSize);
}

}  // namespace kox::sevenzip

namespace kox::sevenzip {

std::unique_ptr<ByteSource> makeLzma2Decoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                             uint64_t outSize, const DecodeLimits& limits) {
  if (properties.size() < 1 || properties[0] > 40) corrupt("bad LZMA2 properties");
  uint8_t bits = properties[0];
  uint64_t declared = bits == 40 ? 0xFFFFFFFFull : uint64_t(2 | (bits & 1)) << (bits / 2 + 11);
  return std::make_unique<Lzma2Source>(std::move(input), dictionaryCapacity(declared, outSize, limits), outSize);
}

}  // namespace kox::sevenzip
