// Deflate (RFC 1951) decoding: stored, fixed-Huffman and dynamic-Huffman
// blocks over a 32 KiB history, streamed through a 64 KiB output window.
#pragma once

#include <memory>

#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

std::unique_ptr<ByteSource> makeDeflateDecoder(std::unique_ptr<ByteSource> input);

}  // namespace kox::sevenzip
