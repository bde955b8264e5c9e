// The byte streams that connect the archive file, the coders and the output.
//
// Decoding is pull-driven: the extractor reads the folder's main stream, each
// coder reads as much of its inputs as it needs, and the pack streams at the
// bottom read from the archive file. Every coder keeps only its own window
// (an LZMA dictionary, a Deflate window, an AES block), so memory stays bounded
// however large the unpacked data is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <vector>

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {

// A sequential stream of bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Copies up to `size` bytes into `out` and returns how many. Returns 0 only
  // at the end of the stream (and for size 0). Throws ArchiveError.
  virtual size_t read(uint8_t* out, size_t size) = 0;
};

// Reads exactly `size` bytes or throws Corrupt ("unexpected end of data").
void readExact(ByteSource& source, uint8_t* out, size_t size);

// Random access to the archive file.
class RandomAccessFile {
 public:
  virtual ~RandomAccessFile() = default;
  virtual uint64_t size() const = 0;
  // Reads up to `size` bytes at `offset`; fewer only at the end of the file.
  virtual size_t readAt(uint64_t offset, uint8_t* out, size_t size) = 0;
};

// A file on disk; the path may hold any characters (wide on Windows).
class DiskFile : public RandomAccessFile {
 public:
  // Throws NotFound when the file cannot be opened.
  explicit DiskFile(const std::filesystem::path& path);
  uint64_t size() const override { return size_; }
  size_t readAt(uint64_t offset, uint8_t* out, size_t size) override;

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

// Bytes held in memory (tests, fuzzing, decoded headers).
class MemoryFile : public RandomAccessFile {
 public:
  explicit MemoryFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  size_t readAt(uint64_t offset, uint8_t* out, size_t size) override;

 private:
  std::vector<uint8_t> bytes_;
};

// One pack stream: `size` bytes of the archive file from `offset`.
class FileRegionSource : public ByteSource {
 public:
  FileRegionSource(RandomAccessFile& file, uint64_t offset, uint64_t size)
      : file_(file), offset_(offset), remaining_(size) {}
  size_t read(uint8_t* out, size_t size) override;

 private:
  RandomAccessFile& file_;
  uint64_t offset_;
  uint64_t remaining_;
};

// A coder's output stream. Subclasses implement produce(); read() turns the
// first failure into a permanent state, so a caller that retries after an
// error gets the same error again instead of bytes from a broken state.
class DecoderSource : public ByteSource {
 public:
  size_t read(uint8_t* out, size_t size) final;

 protected:
  virtual size_t produce(uint8_t* out, size_t size) = 0;

 private:
  std::optional<ArchiveError> failure_;
};

// A read buffer in front of a coder's input. Decoders work on the window
// [cursor(), cursor() + available()) and report what they took with consume().
// A limit caps how many more bytes may be taken (an LZMA2 chunk's packed size).
class InputBuffer {
 public:
  explicit InputBuffer(ByteSource& source, size_t capacity = 1 << 16);

  const uint8_t* cursor() const { return buffer_.data() + position_; }
  size_t available() const {
    size_t buffered = filled_ - position_;
    return limit_ < buffered ? static_cast<size_t>(limit_) : buffered;
  }
  void consume(size_t count) {
    position_ += count;
    limit_ -= count;
  }
  // Makes at least one byte available; false at the end of the input or limit.
  bool fill();
  // Makes at least `count` bytes (at most kPadding) available unless the input
  // or the limit ends first; returns available(). Behind the available bytes
  // there are always kPadding more readable bytes (zeros, or data beyond the
  // limit), so a decoder may read up to kPadding bytes past the end without
  // checking and find out afterwards that it went too far.
  size_t ensure(size_t count);
  static constexpr size_t kPadding = 64;
  // Reads one byte; throws Corrupt at the end of the input.
  uint8_t readByte();
  void readBytes(uint8_t* out, size_t count);

  void setLimit(uint64_t limit) { limit_ = limit; }
  uint64_t limit() const { return limit_; }
  static constexpr uint64_t kUnlimited = ~uint64_t(0);

 private:
  ByteSource& source_;
  std::vector<uint8_t> buffer_;
  size_t position_ = 0;
  size_t filled_ = 0;
  uint64_t limit_ = kUnlimited;
  bool ended_ = false;
};

}  // namespace kox::sevenzip
