// Shared pieces of the archive fuzzers: tight limits so a hostile input can
// only fail, and an output target that throws the bytes away.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/sevenzip/decode_context.h"
#include "archive/sevenzip/output.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip::fuzzing {

inline DecodeLimits fuzzLimits() {
  DecodeLimits limits;
  limits.maxDictionary = uint64_t(64) << 20;
  limits.maxKeyCyclesPower = 4;
  limits.maxHeaderSize = uint64_t(16) << 20;
  return limits;
}

class DiscardTarget : public OutputTarget {
 public:
  bool fileExists(const EntryParts&) override { return false; }
  void makeFolder(const EntryParts&) override {}
  std::unique_ptr<OutputFile> createFile(const EntryParts&, const Entry&) override {
    struct Discard : OutputFile {
      void write(const uint8_t*, size_t) override {}
      void commit() override {}
    };
    return std::make_unique<Discard>();
  }
};

// Reads a decoder to its end (or its first error), at most `limit` bytes.
inline void drain(ByteSource& source, uint64_t limit) {
  uint8_t buffer[4096];
  uint64_t total = 0;
  while (total < limit) {
    size_t got = source.read(buffer, sizeof buffer);
    if (got == 0) break;
    total += got;
  }
}

}  // namespace kox::sevenzip::fuzzing
