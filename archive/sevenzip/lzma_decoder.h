// LZMA decoding (the algorithm of the public LZMA specification): a range
// decoder driving adaptive binary probabilities that code literals, matches
// and repeated matches against a sliding dictionary.
//
// LzmaDecoder is the resumable core: the caller feeds input through an
// InputBuffer and asks for output up to a position of the dictionary, which
// doubles as the output window. LZMA2 drives the same core chunk by chunk.
// The dictionary is allocated lazily: it starts small and grows with the
// output up to its capacity, so memory follows what the data really needs.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/sevenzip/coders.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

struct LzmaProperties {
  unsigned lc = 3;  // literal context bits
  unsigned lp = 0;  // literal position bits
  unsigned pb = 2;  // position bits
  // Throws Corrupt when the byte does not encode lc/lp/pb (lc + lp may exceed
  // 4 in LZMA; LZMA2 further requires lc + lp <= 4).
  static LzmaProperties fromByte(uint8_t byte);
};

class LzmaDecoder {
 public:
  // `capacity` is the dictionary size to keep (already cut to the unpacked
  // size by the caller), at least 1.
  explicit LzmaDecoder(uint64_t capacity);

  void setProperties(const LzmaProperties& properties);  // also resets the state
  void resetState();                                      // probabilities, state, distances
  void resetDictionary();                                 // forget earlier output
  // Reads the 5 bytes that start a range-coded stream.
  void startRangeCoder(InputBuffer& input);

  // Output window: bytes [readPosition(), position()) are decoded and unread.
  const uint8_t* window() const { return dictionary_.data(); }
  size_t position() const { return position_; }
  // Makes room for more output (wraps or grows the dictionary once every byte
  // of it was read) and returns how much may be decoded in one go.
  size_t prepareSpace(size_t readPosition, size_t& newReadPosition);

  // Decodes until position() reaches `limit` (at most the room prepareSpace
  // gave) or the end marker. Throws Corrupt on bad data or truncated input.
  void decode(InputBuffer& input, size_t limit);
  // Copies stored bytes (LZMA2 uncompressed chunks) into the dictionary.
  void copyStored(InputBuffer& input, size_t count);

  bool sawEndMarker() const { return endMarker_; }
  // True when the range coder ended cleanly (code 0) and no match is pending.
  bool finishedCleanly() const { return code_ == 0 && pendingLength_ == 0; }

 private:
  void growTo(size_t size);

  std::vector<uint8_t> dictionary_;
  size_t capacity_;
  size_t position_ = 0;
  uint64_t validBytes_ = 0;   // decoded bytes since the last dictionary reset
  LzmaProperties properties_;
  std::vector<uint16_t> probabilities_;
  uint32_t range_ = 0xFFFFFFFF;
  uint32_t code_ = 0;
  unsigned state_ = 0;
  uint32_t reps_[4] = {0, 0, 0, 0};  // distances minus one
  uint32_t pendingLength_ = 0;       // match bytes still to copy
  bool endMarker_ = false;
};

// The LZMA coder of a folder: properties are lc/lp/pb in one byte and the
// dictionary size as UINT32.
std::unique_ptr<ByteSource> makeLzmaDecoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                            uint64_t outSize, const DecodeLimits& limits);

// The LZMA2 coder: one property byte for the dictionary size.
std::unique_ptr<ByteSource> makeLzma2Decoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                             uint64_t outSize, const DecodeLimits& limits);

// Dictionary capacity actually needed: the declared size, cut to the output
// size (a dictionary larger than the output is never referenced), at least 4 KiB
// and refused (Limit) above the limit.
uint64_t dictionaryCapacity(uint64_t declared, uint64_t outSize, const DecodeLimits& limits);

}  // namespace kox::sevenzip
