// Decodes one folder: wires its coders together along the bind pairs and
// feeds the unbound coder inputs from their pack streams.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/sevenzip/database.h"
#include "archive/sevenzip/decode_context.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

// The folder's output: exactly folder.unpackSize() bytes. The folder CRC is
// not checked here (a folder with one file gives it to that file).
std::unique_ptr<ByteSource> openFolder(const Database& database, uint32_t folderIndex, RandomAccessFile& file,
                                       DecodeContext& context);

}  // namespace kox::sevenzip
