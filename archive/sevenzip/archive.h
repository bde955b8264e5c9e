// An opened 7z archive: its header read into a Database, and the file it
// came from.
//
// File layout:
//   offset 0   signature header, 32 bytes:
//                '7' 'z' 0xBC 0xAF 0x27 0x1C, version major (0) and minor,
//                UINT32 CRC of the next 20 bytes,
//                UINT64 next header offset (from byte 32), UINT64 next header size,
//                UINT32 CRC of the next header
//   offset 32  pack streams (compressed data of all folders, one after another)
//   then       the next header: a Header, or an EncodedHeader whose folder
//              decodes to the Header (see header_parser.cpp)
#pragma once

#include <memory>

#include "archive/sevenzip/database.h"
#include "archive/sevenzip/decode_context.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

class Archive {
 public:
  // Reads the headers. Throws ArchiveError: Corrupt or Unsupported for a file
  // that is not a readable 7z archive, NeedPassword / WrongPassword for an
  // encrypted header without the right password.
  static Archive open(std::unique_ptr<RandomAccessFile> file, PasswordSource& password,
                      const DecodeLimits& limits = {});

  const Database& database() const { return database_; }
  RandomAccessFile& file() { return *file_; }

 private:
  Archive() = default;
  std::unique_ptr<RandomAccessFile> file_;
  Database database_;
};

}  // namespace kox::sevenzip
