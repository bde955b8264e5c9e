// 7z header layout (all numbers are 7z variable-length numbers, see
// HeaderReader::readNumber, unless marked UINT32/UINT64):
//
//   Header:        kHeader [kArchiveProperties ...] [kAdditionalStreamsInfo StreamsInfo]
//                  [kMainStreamsInfo StreamsInfo] [kFilesInfo FilesInfo] kEnd
//   EncodedHeader: kEncodedHeader StreamsInfo   (the real header is folder 0's output)
//   StreamsInfo:   [kPackInfo PackInfo] [kUnpackInfo UnpackInfo] [kSubStreamsInfo SubStreamsInfo] kEnd
//   PackInfo:      PackPos NumPackStreams [kSize Size*NumPackStreams] [kCRC Digests] kEnd
//   UnpackInfo:    kFolder NumFolders External(0) Folder*NumFolders
//                  kCodersUnpackSize Size*(out-streams of all folders) [kCRC Digests] kEnd
//   Folder:        NumCoders Coder*NumCoders BindPair*(NumOutTotal-1)
//                  [PackedStreamIndex*(NumInTotal-NumBindPairs) when more than one]
//   Coder:         Flags(byte: 0x0F id size, 0x10 complex, 0x20 has properties, 0x80 alternatives)
//                  Id [NumInStreams NumOutStreams] [PropertiesSize Properties]
//   BindPair:      InIndex OutIndex
//   SubStreamsInfo:[kNumUnpackStream Num*NumFolders] [kSize Size*(Num-1) per folder]
//                  [kCRC Digests for streams without a known CRC] kEnd
//   Digests:       AllDefined(byte) [BitVector when 0] UINT32 per defined item
//   FilesInfo:     NumFiles (PropertyId Size Data)* kEnd, properties:
//                  kEmptyStream  BitVector(NumFiles): entries without data
//                  kEmptyFile    BitVector(NumEmptyStreams): empty files (else folders)
//                  kAnti         BitVector(NumEmptyStreams): deletion markers
//                  kName         External(0) UTF-16LE zero-terminated name per file
//                  kCTime/kATime/kMTime  OptionalBits External(0) UINT64 FILETIME per defined
//                  kWinAttributes        OptionalBits External(0) UINT32 per defined
//                  kDummy and unknown ids: skipped by their size
//
// Entries with data take the substreams of the folders in order.
#include "archive/sevenzip/header_parser.h"

#include <algorithm>
#include <string>

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {
namespace {

// Limits that no real archive reaches but that keep hostile graphs small.
constexpr uint32_t kMaxCoders = 64;
constexpr uint32_t kMaxStreamsPerCoder = 64;

void expect(HeaderReader& reader, uint8_t id, const char* what) {
  if (reader.readByte() != id) corrupt(std::string("expected ") + what + " in the header");
}

std::vector<std::optional<uint32_t>> readDigests(HeaderReader& reader, size_t count) {
  auto defined = reader.readOptionalBits(count);
  std::vector<std::optional<uint32_t>> digests(count);
  for (size_t i = 0; i < count; ++i)
    if (defined[i]) digests[i] = reader.readUInt32();
  return digests;
}

void readPackInfo(HeaderReader& reader, StreamsInfo& info) {
  info.packPos = reader.readNumber();
  uint32_t count = reader.readCount();
  info.packSizes.assign(count, 0);
  for (;;) {
    uint8_t id = reader.readByte();
    if (id == property::kEnd) break;
    if (id == property::kSize) {
      for (auto& size : info.packSizes) size = reader.readNumber();
    } else if (id == property::kCrc) {
      readDigests(reader, count);  // pack stream CRCs are not needed: files carry their own
    } else {
      corrupt("unknown property in the pack info");
    }
  }
}

Folder readFolder(HeaderReader& reader) {
  Folder folder;
  uint32_t numCoders = reader.readCount();
  if (numCoders == 0 || numCoders > kMaxCoders) unsupported("a folder with " + std::to_string(numCoders) + " coders");
  uint64_t numIn = 0, numOut = 0;
  for (uint32_t i = 0; i < numCoders; ++i) {
    uint8_t flags = reader.readByte();
    if (flags & 0x80) unsupported("alternative coder methods");
    if (flags & 0x40) corrupt("a reserved coder flag is set");
    Coder coder;
    auto id = reader.readBytes(flags & 0x0F);
    if (id.size() > 8) unsupported("a method id longer than 8 bytes");
    for (uint8_t b : id) coder.methodId = coder.methodId << 8 | b;
    if (flags & 0x10) {
      coder.numInStreams = reader.readBoundedNumber(kMaxStreamsPerCoder);
      coder.numOutStreams = reader.readBoundedNumber(kMaxStreamsPerCoder);
      if (coder.numOutStreams != 1) unsupported("a coder with several output streams");
      if (coder.numInStreams == 0) corrupt("a coder without input");
    }
    if (flags & 0x20) {
      auto props = reader.readBytes(reader.readNumber());
      coder.properties.assign(props.begin(), props.end());
    }
    numIn += coder.numInStreams;
    numOut += coder.numOutStreams;
    folder.coders.push_back(std::move(coder));
  }
  uint64_t numBindPairs = numOut - 1;
  if (numBindPairs > numIn) corrupt("more bind pairs than coder inputs");
  std::vector<bool> inBound(numIn), outBound(numOut);
  for (uint64_t i = 0; i < numBindPairs; ++i) {
    BindPair pair;
    pair.inIndex = reader.readBoundedNumber(numIn - 1);
    pair.outIndex = reader.readBoundedNumber(numOut - 1);
    if (inBound[pair.inIndex] || outBound[pair.outIndex]) corrupt("a coder stream is bound twice");
    inBound[pair.inIndex] = outBound[pair.outIndex] = true;
    folder.bindPairs.push_back(pair);
  }
  uint64_t numPacked = numIn - numBindPairs;
  if (numPacked == 1) {
    for (uint32_t i = 0; i < numIn; ++i)
      if (!inBound[i]) folder.packedStreams.push_back(i);
  } else {
    for (uint64_t i = 0; i < numPacked; ++i) {
      uint32_t index = reader.readBoundedNumber(numIn - 1);
      if (inBound[index]) corrupt("a pack stream feeds a bound coder input");
      inBound[index] = true;
      folder.packedStreams.push_back(index);
    }
  }
  for (uint32_t i = 0; i < numOut; ++i)
    if (!outBound[i]) folder.mainOutStream = i;
  folder.unpackSizes.assign(numOut, 0);
  return folder;
}

void readUnpackInfo(HeaderReader& reader, StreamsInfo& info) {
  expect(reader, property::kFolder, "the folder list");
  uint32_t numFolders = reader.readCount(2);
  if (reader.readByte() != 0) unsupported("folders stored outside the header");
  info.folders.reserve(numFolders);
  for (uint32_t i = 0; i < numFolders; ++i) info.folders.push_back(readFolder(reader));
  expect(reader, property::kCodersUnpackSize, "the coder sizes");
  for (auto& folder : info.folders)
    for (auto& size : folder.unpackSizes) size = reader.readNumber();
  for (;;) {
    uint8_t id = reader.readByte();
    if (id == property::kEnd) break;
    if (id == property::kCrc) {
      auto digests = readDigests(reader, numFolders);
      for (uint32_t i = 0; i < numFolders; ++i) info.folders[i].crc = digests[i];
    } else {
      corrupt("unknown property in the unpack info");
    }
  }
}

void readSubStreamsInfo(HeaderReader& reader, StreamsInfo& info) {
  uint8_t id = reader.readByte();
  if (id == property::kNumUnpackStream) {
    uint64_t extra = 0;
    for (auto& folder : info.folders) {
      // Every substream after a folder's first has its size in the header, at
      // least one byte each, so the header's length bounds their number.
      folder.numSubstreams = reader.readNumber();
      if (folder.numSubstreams > reader.remaining() + 1) corrupt("too many substreams");
      extra += folder.numSubstreams > 0 ? folder.numSubstreams - 1 : 0;
      if (extra > reader.remaining()) corrupt("too many substreams");
    }
    id = reader.readByte();
  }
  bool haveSizes = id == property::kSize;
  for (auto& folder : info.folders) {
    if (folder.numSubstreams == 0) continue;
    uint64_t sum = 0;
    for (uint64_t i = 1; i < folder.numSubstreams; ++i) {
      uint64_t size = haveSizes ? reader.readNumber() : 0;
      if (size > folder.unpackSize() - sum) corrupt("substream sizes exceed the folder size");
      sum += size;
      info.substreamSizes.push_back(size);
    }
    info.substreamSizes.push_back(folder.unpackSize() - sum);
  }
  if (haveSizes) id = reader.readByte();

  // CRCs: a folder with one substream and a folder CRC needs none here.
  size_t unknown = 0;
  for (auto& folder : info.folders)
    if (!(folder.numSubstreams == 1 && folder.crc)) unknown += folder.numSubstreams;
  info.substreamCrcs.clear();
  for (auto& folder : info.folders) {
    if (folder.numSubstreams == 1 && folder.crc)
      info.substreamCrcs.push_back(folder.crc);
    else
      info.substreamCrcs.insert(info.substreamCrcs.end(), folder.numSubstreams, std::nullopt);
  }
  for (;;) {
    if (id == property::kEnd) break;
    if (id == property::kCrc) {
      auto digests = readDigests(reader, unknown);
      size_t next = 0, position = 0;
      for (auto& folder : info.folders) {
        if (folder.numSubstreams == 1 && folder.crc) {
          ++position;
          continue;
        }
        for (uint64_t i = 0; i < folder.numSubstreams; ++i) info.substreamCrcs[position++] = digests[next++];
      }
    } else {
      corrupt("unknown property in the substream info");
    }
    id = reader.readByte();
  }
}

}  // namespace

StreamsInfo parseStreamsInfo(HeaderReader& reader) {
  StreamsInfo info;
  uint8_t id = reader.readByte();
  if (id == property::kPackInfo) {
    readPackInfo(reader, info);
    id = reader.readByte();
  }
  if (id == property::kUnpackInfo) {
    readUnpackInfo(reader, info);
    id = reader.readByte();
  }
  bool haveSubstreams = false;
  if (id == property::kSubStreamsInfo) {
    readSubStreamsInfo(reader, info);
    haveSubstreams = true;
    id = reader.readByte();
  }
  if (id != property::kEnd) corrupt("unexpected property in the streams info");
  if (!haveSubstreams) {
    for (auto& folder : info.folders) {
      info.substreamSizes.push_back(folder.unpackSize());
      info.substreamCrcs.push_back(folder.crc);
    }
  }
  // Assign pack streams to folders in order.
  uint64_t nextPack = 0;
  for (auto& folder : info.folders) {
    folder.firstPackStream = static_cast<uint32_t>(nextPack);
    nextPack += folder.packedStreams.size();
    if (nextPack > info.packSizes.size()) corrupt("folders use more pack streams than exist");
  }
  return info;
}

namespace {

void readNames(HeaderReader& reader, uint64_t size, std::vector<Entry>& entries) {
  auto data = reader.readBytes(size);
  if (data.empty() || data[0] != 0) unsupported("file names stored outside the header");
  size_t position = 1;
  for (auto& entry : entries) {
    std::u16string name;
    for (;;) {
      if (position + 2 > data.size()) corrupt("a file name is not terminated");
      char16_t c = static_cast<char16_t>(data[position] | data[position + 1] << 8);
      position += 2;
      if (c == 0) break;
      name.push_back(c);
    }
    entry.name = std::move(name);
  }
}

template <typename Store>
void readOptionalValues(HeaderReader& reader, uint64_t size, std::vector<Entry>& entries, size_t valueBytes,
                        Store store) {
  auto data = reader.readBytes(size);
  HeaderReader sub(data);
  auto defined = sub.readOptionalBits(entries.size());
  if (sub.readByte() != 0) unsupported("file properties stored outside the header");
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!defined[i]) continue;
    store(entries[i], valueBytes == 4 ? sub.readUInt32() : sub.readUInt64());
  }
}

void readFilesInfo(HeaderReader& reader, Database& database, const StreamsInfo& streams) {
  uint32_t numFiles = reader.readCount(0);
  // Files beyond those with data are marked in a bit vector of the header.
  if (numFiles > streams.substreamSizes.size() + uint64_t(reader.remaining()) * 8)
    corrupt("more files than the header can describe");
  std::vector<Entry> entries(numFiles);
  std::vector<bool> emptyStream(numFiles, false), emptyFile, anti;
  size_t numEmpty = 0;
  for (;;) {
    uint8_t id = reader.readByte();
    if (id == property::kEnd) break;
    uint64_t size = reader.readNumber();
    if (size > reader.remaining()) corrupt("a file property is larger than the header");
    switch (id) {
      case property::kEmptyStream: {
        HeaderReader sub(reader.readBytes(size));
        emptyStream = sub.readBits(numFiles);
        numEmpty = 0;
        for (bool b : emptyStream) numEmpty += b;
        emptyFile.assign(numEmpty, false);
        anti.assign(numEmpty, false);
        break;
      }
      case property::kEmptyFile: {
        HeaderReader sub(reader.readBytes(size));
        emptyFile = sub.readBits(numEmpty);
        break;
      }
      case property::kAnti: {
        HeaderReader sub(reader.readBytes(size));
        anti = sub.readBits(numEmpty);
        break;
      }
      case property::kName:
        readNames(reader, size, entries);
        break;
      case property::kMTime:
        readOptionalValues(reader, size, entries, 8, [](Entry& e, uint64_t v) { e.modified = v; });
        break;
      case property::kWinAttributes:
        readOptionalValues(reader, size, entries, 4,
                           [](Entry& e, uint64_t v) { e.attributes = static_cast<uint32_t>(v); });
        break;
      default:
        reader.skip(size);  // times we do not set, kDummy padding, kStartPos, future ids
        break;
    }
  }

  if (emptyFile.size() != numEmpty || anti.size() != numEmpty) corrupt("file properties out of order");
  size_t emptyIndex = 0, streamIndex = 0;
  uint32_t folderIndex = 0;
  uint64_t substreamInFolder = 0, offsetInFolder = 0;
  for (uint32_t i = 0; i < numFiles; ++i) {
    Entry& entry = entries[i];
    if (emptyStream[i]) {
      entry.hasStream = false;
      entry.isDirectory = !emptyFile[emptyIndex];
      entry.isAnti = anti[emptyIndex];
      ++emptyIndex;
      continue;
    }
    // Skip folders without substreams.
    while (folderIndex < streams.folders.size() &&
           substreamInFolder >= streams.folders[folderIndex].numSubstreams) {
      ++folderIndex;
      substreamInFolder = 0;
      offsetInFolder = 0;
    }
    if (folderIndex >= streams.folders.size() || streamIndex >= streams.substreamSizes.size())
      corrupt("more files with data than streams");
    entry.hasStream = true;
    entry.folderIndex = folderIndex;
    entry.offsetInFolder = offsetInFolder;
    entry.size = streams.substreamSizes[streamIndex];
    entry.crc = streams.substreamCrcs[streamIndex];
    offsetInFolder += entry.size;
    ++substreamInFolder;
    ++streamIndex;
  }
  if (streamIndex != streams.substreamSizes.size()) corrupt("fewer files with data than streams");
  database.entries = std::move(entries);
}

}  // namespace

void parseHeader(HeaderReader& reader, uint64_t packBase, uint64_t archiveSize, Database& database) {
  uint8_t id = reader.readByte();
  if (id == property::kArchiveProperties) {
    for (;;) {
      uint8_t type = reader.readByte();
      if (type == property::kEnd) break;
      reader.skip(reader.readNumber());
    }
    id = reader.readByte();
  }
  if (id == property::kAdditionalStreamsInfo) {
    parseStreamsInfo(reader);  // never written by current archivers; not needed to extract
    id = reader.readByte();
  }
  StreamsInfo streams;
  if (id == property::kMainStreamsInfo) {
    streams = parseStreamsInfo(reader);
    id = reader.readByte();
  }
  if (id == property::kFilesInfo) {
    readFilesInfo(reader, database, streams);
    id = reader.readByte();
  } else if (!streams.substreamSizes.empty()) {
    corrupt("streams without a file list");
  }
  if (id != property::kEnd) corrupt("unexpected property in the header");

  placeStreams(std::move(streams), packBase, archiveSize, database);
}

void placeStreams(StreamsInfo streams, uint64_t packBase, uint64_t archiveSize, Database& database) {
  // Pack streams must lie inside the archive file.
  if (streams.packPos > archiveSize - std::min(packBase, archiveSize)) corrupt("pack streams start beyond the end of the archive");
  database.packStart = packBase + streams.packPos;
  uint64_t offset = database.packStart;
  database.packOffsets.clear();
  for (uint64_t size : streams.packSizes) {
    if (size > archiveSize || offset > archiveSize - size) corrupt("a pack stream extends beyond the archive");
    database.packOffsets.push_back(offset);
    offset += size;
  }
  database.packSizes = std::move(streams.packSizes);
  database.folders = std::move(streams.folders);
}

}  // namespace kox::sevenzip
