#include "archive/sevenzip/archive.h"

#include <cstring>
#include <vector>

#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/folder_decoder.h"
#include "archive/sevenzip/header_parser.h"
#include "archive/sevenzip/header_reader.h"

namespace kox::sevenzip {
namespace {

constexpr uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr uint64_t kSignatureHeaderSize = 32;
// An encoded header may itself be encoded; real archives use one level.
constexpr int kMaxHeaderLevels = 4;

std::vector<uint8_t> readRegion(RandomAccessFile& file, uint64_t offset, uint64_t size) {
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t done = 0;
  while (done < bytes.size()) {
    size_t got = file.readAt(offset + done, bytes.data() + done, bytes.size() - done);
    if (got == 0) corrupt("the archive is truncated");
    done += got;
  }
  return bytes;
}

// Decodes the header that an EncodedHeader describes.
std::vector<uint8_t> decodeHeader(HeaderReader& reader, RandomAccessFile& file, DecodeContext& context,
                                  bool& encrypted) {
  Database streamsOnly;
  placeStreams(parseStreamsInfo(reader), kSignatureHeaderSize, file.size(), streamsOnly);
  if (streamsOnly.folders.empty()) corrupt("an encoded header without data");
  const Folder& folder = streamsOnly.folders[0];
  if (folder.unpackSize() > context.limits.maxHeaderSize) fail(ErrorKind::Limit, "the archive header is too large");
  encrypted = folder.isEncrypted();
  std::vector<uint8_t> header(static_cast<size_t>(folder.unpackSize()));
  try {
    auto source = openFolder(streamsOnly, 0, file, context);
    readExact(*source, header.data(), header.size());
    if (folder.crc && crc32(header.data(), header.size()) != *folder.crc) corrupt("the archive header has a bad CRC");
  } catch (const ArchiveError& error) {
    if (encrypted && error.kind() == ErrorKind::Corrupt)
      fail(ErrorKind::WrongPassword, "the archive header cannot be decrypted: wrong password");
    throw;
  }
  return header;
}

}  // namespace

Archive Archive::open(std::unique_ptr<RandomAccessFile> file, PasswordSource& password, const DecodeLimits& limits) {
  Archive archive;
  archive.file_ = std::move(file);
  RandomAccessFile& in = *archive.file_;
  if (in.size() < kSignatureHeaderSize) corrupt("not a 7z archive: too short");
  auto start = readRegion(in, 0, kSignatureHeaderSize);
  if (std::memcmp(start.data(), kSignature, sizeof kSignature) != 0) corrupt("not a 7z archive");
  if (start[6] != 0) unsupported("7z format version " + std::to_string(start[6]));
  HeaderReader fields(std::span<const uint8_t>(start).subspan(8));
  uint32_t startCrc = fields.readUInt32();
  if (crc32(start.data() + 12, 20) != startCrc) corrupt("the signature header has a bad CRC");
  uint64_t nextOffset = fields.readUInt64();
  uint64_t nextSize = fields.readUInt64();
  uint32_t nextCrc = fields.readUInt32();
  if (nextSize == 0) return archive;  // an empty archive
  uint64_t available = in.size() - kSignatureHeaderSize;
  if (nextOffset > available || nextSize > available - nextOffset) corrupt("the archive is truncated");
  if (nextSize > limits.maxHeaderSize) fail(ErrorKind::Limit, "the archive header is too large");
  auto header = readRegion(in, kSignatureHeaderSize + nextOffset, nextSize);
  if (crc32(header.data(), header.size()) != nextCrc) corrupt("the archive header has a bad CRC");

  DecodeContext context{limits, &password, {}};
  for (int level = 0;; ++level) {
    HeaderReader reader(header);
    uint8_t id = reader.readByte();
    if (id == property::kHeader) {
      parseHeader(reader, kSignatureHeaderSize, in.size(), archive.database_);
      return archive;
    }
    if (id != property::kEncodedHeader) corrupt("unknown header type");
    if (level >= kMaxHeaderLevels) corrupt("too many levels of encoded headers");
    HeaderReader encodedReader(header);
    encodedReader.readByte();
    bool encrypted = false;
    header = decodeHeader(encodedReader, in, context, encrypted);
    archive.database_.headerEncrypted = archive.database_.headerEncrypted || encrypted;
  }
}

}  // namespace kox::sevenzip
