// What a 7z archive's header says: pack streams, folders (coder graphs) and the
// entries that live in them. Filled by the header parser (header_parser.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kox::sevenzip {

// Method identifiers as the big-endian value of their id bytes.
namespace method {
constexpr uint64_t kCopy = 0x00;
constexpr uint64_t kLzma = 0x030101;
constexpr uint64_t kLzma2 = 0x21;
constexpr uint64_t kBcjX86 = 0x03030103;
constexpr uint64_t kBcj2 = 0x0303011B;
constexpr uint64_t kDeflate = 0x040108;
constexpr uint64_t kAes256Sha256 = 0x06F10701;
}  // namespace method

struct Coder {
  uint64_t methodId = 0;
  uint32_t numInStreams = 1;   // packed side
  uint32_t numOutStreams = 1;  // unpacked side
  std::vector<uint8_t> properties;
};

// Connects coder in-stream `inIndex` to the data of coder out-stream `outIndex`.
// Indexes count the streams of all coders of the folder in coder order.
struct BindPair {
  uint32_t inIndex = 0;
  uint32_t outIndex = 0;
};

// A folder is one coder graph with one unbound out-stream (its output) and one
// or more in-streams fed by pack streams. In a solid archive one folder holds
// many files, one after the other ("substreams").
struct Folder {
  std::vector<Coder> coders;
  std::vector<BindPair> bindPairs;
  std::vector<uint32_t> packedStreams;  // in-stream index fed by each pack stream
  std::vector<uint64_t> unpackSizes;    // one per out-stream
  std::optional<uint32_t> crc;          // of the folder's output
  uint32_t firstPackStream = 0;         // index into Database::packSizes
  uint32_t mainOutStream = 0;           // the unbound out-stream
  uint64_t numSubstreams = 1;

  uint64_t unpackSize() const { return unpackSizes.empty() ? 0 : unpackSizes[mainOutStream]; }
  bool isEncrypted() const;
};

struct Entry {
  std::u16string name;       // as stored: UTF-16, '/' or '\' between parts
  bool hasStream = false;    // false for folders and empty files
  bool isDirectory = false;
  bool isAnti = false;       // a deletion marker of an update archive; never extracted
  uint64_t size = 0;
  std::optional<uint32_t> crc;
  std::optional<uint32_t> attributes;  // Windows attributes (high 16 bits may hold a Unix mode)
  std::optional<uint64_t> modified;    // Windows FILETIME
  // For entries with a stream: folder and byte offset inside the folder's output.
  uint32_t folderIndex = 0;
  uint64_t offsetInFolder = 0;
};

struct Database {
  uint64_t packStart = 0;  // absolute offset of the first pack stream
  std::vector<uint64_t> packSizes;
  std::vector<uint64_t> packOffsets;  // absolute, one per pack stream
  std::vector<Folder> folders;
  std::vector<Entry> entries;
  bool headerEncrypted = false;
};

}  // namespace kox::sevenzip
