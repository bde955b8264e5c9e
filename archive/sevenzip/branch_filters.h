// Branch converters for x86 code. Compressors turn the relative targets of
// CALL (E8) and JMP (E9) instructions into absolute addresses, which repeat
// more often; decoding turns them back.
//
// BCJ (x86): the addresses stay in the one stream. A 32-bit operand is
// converted only when its top byte is 0x00 or 0xFF; a three-bit mask of recent
// E8/E9 bytes that were not converted decides whether a candidate is an
// instruction start (this mirrors the encoder's choice, so it must match bit
// for bit).
//
// BCJ2: four streams. The main stream holds the code without the converted
// operands; CALL targets come from the call stream and JMP/Jcc targets from
// the jump stream (big-endian absolute addresses); a range-coded bit per
// E8 / E9 / 0F 8x opcode, from the fourth stream, tells whether the opcode's
// operand was converted. Probabilities: one per byte value preceding an E8,
// one for E9, one for the 0F 8x jumps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

// The BCJ x86 decoder state between buffers.
class X86BranchDecoder {
 public:
  // Converts data[0, size) at stream position `position` in place; returns how
  // many bytes are final. The rest (at most 4) must be offered again with more
  // data, or passed through unchanged at the end of the stream.
  size_t convert(uint8_t* data, size_t size, uint32_t position);

 private:
  uint32_t mask_ = 0;  // which of the 3 bytes before the next position held an unconverted E8/E9
};

std::unique_ptr<ByteSource> makeBcjX86Decoder(std::unique_ptr<ByteSource> input);
std::unique_ptr<ByteSource> makeBcj2Decoder(std::vector<std::unique_ptr<ByteSource>> inputs, uint64_t outSize);

}  // namespace kox::sevenzip
