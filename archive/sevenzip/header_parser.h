// Parses the 7z header structures (layout documented in header_parser.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "archive/sevenzip/database.h"
#include "archive/sevenzip/header_reader.h"

namespace kox::sevenzip {

// Property ids of the header.
namespace property {
constexpr uint8_t kEnd = 0x00, kHeader = 0x01, kArchiveProperties = 0x02,
                  kAdditionalStreamsInfo = 0x03, kMainStreamsInfo = 0x04, kFilesInfo = 0x05,
                  kPackInfo = 0x06, kUnpackInfo = 0x07, kSubStreamsInfo = 0x08, kSize = 0x09,
                  kCrc = 0x0A, kFolder = 0x0B, kCodersUnpackSize = 0x0C, kNumUnpackStream = 0x0D,
                  kEmptyStream = 0x0E, kEmptyFile = 0x0F, kAnti = 0x10, kName = 0x11,
                  kCTime = 0x12, kATime = 0x13, kMTime = 0x14, kWinAttributes = 0x15,
                  kComment = 0x16, kEncodedHeader = 0x17, kStartPos = 0x18, kDummy = 0x19;
}

// PackInfo + UnpackInfo + SubStreamsInfo, as found in a header or in front of
// an encoded header.
struct StreamsInfo {
  uint64_t packPos = 0;
  std::vector<uint64_t> packSizes;
  std::vector<Folder> folders;
  std::vector<uint64_t> substreamSizes;                 // all folders, in order
  std::vector<std::optional<uint32_t>> substreamCrcs;  // same order
};

// Reads a StreamsInfo (after its kMainStreamsInfo/kEncodedHeader id byte).
StreamsInfo parseStreamsInfo(HeaderReader& reader);

// Reads a plain Header (after its kHeader id byte) into `database`, with pack
// offsets relative to `packBase` (the end of the signature header).
void parseHeader(HeaderReader& reader, uint64_t packBase, uint64_t archiveSize, Database& database);

// Moves the pack streams and folders of `streams` into `database`, checking
// that every pack stream lies inside the archive file.
void placeStreams(StreamsInfo streams, uint64_t packBase, uint64_t archiveSize, Database& database);

}  // namespace kox::sevenzip
