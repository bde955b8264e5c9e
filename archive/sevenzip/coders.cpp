#include "archive/sevenzip/coders.h"

#include <algorithm>
#include <sstream>

#include "archive/sevenzip/aes_decoder.h"
#include "archive/sevenzip/branch_filters.h"
#include "archive/sevenzip/deflate_decoder.h"
#include "archive/sevenzip/lzma_decoder.h"

namespace kox::sevenzip {

size_t ExactSizeSource::produce(uint8_t* out, size_t size) {
  size = static_cast<size_t>(std::min<uint64_t>(size, remaining_));
  if (size == 0) return 0;
  size_t got = inner_->read(out, size);
  if (got == 0) corrupt("a coder stream ends before its declared size");
  remaining_ -= got;
  return got;
}

namespace {

std::string methodName(uint64_t id) {
  std::ostringstream text;
  text << "compression method 0x" << std::hex << id;
  return text.str();
}

}  // namespace

std::unique_ptr<ByteSource> createDecoder(const Coder& coder, std::vector<std::unique_ptr<ByteSource>> inputs,
                                          uint64_t outSize, DecodeContext& context) {
  auto requireInputs = [&](size_t count) {
    if (inputs.size() != count) corrupt(methodName(coder.methodId) + " with a wrong number of inputs");
  };
  switch (coder.methodId) {
    case method::kCopy:
      requireInputs(1);
      return std::move(inputs[0]);
    case method::kLzma:
      requireInputs(1);
      return makeLzmaDecoder(std::move(inputs[0]), coder.properties, outSize, context.limits);
    case method::kLzma2:
      requireInputs(1);
      return makeLzma2Decoder(std::move(inputs[0]), coder.properties, outSize, context.limits);
    case method::kBcjX86:
      requireInputs(1);
      return makeBcjX86Decoder(std::move(inputs[0]));
    case method::kBcj2:
      requireInputs(4);
      return makeBcj2Decoder(std::move(inputs), outSize);
    case method::kDeflate:
      requireInputs(1);
      return makeDeflateDecoder(std::move(inputs[0]));
    case method::kAes256Sha256:
      requireInputs(1);
      return makeAesDecoder(std::move(inputs[0]), coder.properties, context);
    default:
      unsupported(methodName(coder.methodId));
  }
}

}  // namespace kox::sevenzip
