// The registry of coders: builds the decoder for one coder of a folder.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/sevenzip/database.h"
#include "archive/sevenzip/decode_context.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

// Builds a decoder that reads `inputs` (one per coder in-stream) and yields
// `outSize` bytes. Throws Unsupported for unknown methods and Corrupt for
// properties that make no sense.
std::unique_ptr<ByteSource> createDecoder(const Coder& coder, std::vector<std::unique_ptr<ByteSource>> inputs,
                                          uint64_t outSize, DecodeContext& context);

// Yields exactly `size` bytes of `inner`: stops there, and an inner stream that
// ends earlier is corrupt.
class ExactSizeSource : public DecoderSource {
 public:
  ExactSizeSource(std::unique_ptr<ByteSource> inner, uint64_t size) : inner_(std::move(inner)), remaining_(size) {}

 protected:
  size_t produce(uint8_t* out, size_t size) override;

 private:
  std::unique_ptr<ByteSource> inner_;
  uint64_t remaining_;
};

}  // namespace kox::sevenzip
