#include "archive/sevenzip/stream.h"

#include <algorithm>
#include <cstring>

namespace kox::sevenzip {

void readExact(ByteSource& source, uint8_t* out, size_t size) {
  while (size > 0) {
    size_t got = source.read(out, size);
    if (got == 0) corrupt("unexpected end of data");
    out += got;
    size -= got;
  }
}

DiskFile::DiskFile(const std::filesystem::path& path) {
  in_.open(path, std::ios::binary);
  if (!in_) fail(ErrorKind::NotFound, "cannot open the archive file");
  in_.seekg(0, std::ios::end);
  auto end = in_.tellg();
  if (end < 0) fail(ErrorKind::Io, "cannot read the archive file size");
  size_ = static_cast<uint64_t>(end);
  in_.seekg(0);
}

size_t DiskFile::readAt(uint64_t offset, uint8_t* out, size_t size) {
  if (offset >= size_) return 0;
  size = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
  if (offset != position_) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
  }
  in_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(size));
  size_t got = static_cast<size_t>(in_.gcount());
  position_ = offset + got;
  if (got != size) {
    position_ = ~uint64_t(0);
    fail(ErrorKind::Io, "cannot read the archive file");
  }
  return got;
}

size_t MemoryFile::readAt(uint64_t offset, uint8_t* out, size_t size) {
  if (offset >= bytes_.size()) return 0;
  size = static_cast<size_t>(std::min<uint64_t>(size, bytes_.size() - offset));
  std::memcpy(out, bytes_.data() + offset, size);
  return size;
}

size_t FileRegionSource::read(uint8_t* out, size_t size) {
  size = static_cast<size_t>(std::min<uint64_t>(size, remaining_));
  if (size == 0) return 0;
  size_t got = file_.readAt(offset_, out, size);
  if (got == 0) corrupt("the archive is truncated");
  offset_ += got;
  remaining_ -= got;
  return got;
}

size_t DecoderSource::read(uint8_t* out, size_t size) {
  if (failure_) throw *failure_;
  try {
    return produce(out, size);
  } catch (const ArchiveError& error) {
    failure_ = error;
    throw;
  } catch (const std::bad_alloc&) {
    failure_ = ArchiveError(ErrorKind::Limit, "out of memory while decoding");
    throw *failure_;
  }
}

InputBuffer::InputBuffer(ByteSource& source, size_t capacity) : source_(source), buffer_(capacity + kPadding) {}

size_t InputBuffer::ensure(size_t count) {
  const size_t capacity = buffer_.size() - kPadding;
  while (available() < count && available() < limit_ && !ended_) {
    if (position_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + position_, filled_ - position_);
      filled_ -= position_;
      position_ = 0;
    }
    size_t got = source_.read(buffer_.data() + filled_, capacity - filled_);
    if (got == 0) ended_ = true;
    filled_ += got;
  }
  // Zero the padding behind the data so reads past the end are defined.
  std::memset(buffer_.data() + filled_, 0, std::min(kPadding, buffer_.size() - filled_));
  return available();
}

bool InputBuffer::fill() {
  if (available() > 0) return true;
  if (limit_ == 0 || ended_) return false;
  position_ = filled_ = 0;  // nothing is buffered: start over at the front
  size_t got = source_.read(buffer_.data(), buffer_.size() - kPadding);
  if (got == 0) {
    ended_ = true;
    return false;
  }
  filled_ += got;
  return true;
}

uint8_t InputBuffer::readByte() {
  if (!fill()) corrupt("unexpected end of coder input");
  uint8_t b = *cursor();
  consume(1);
  return b;
}

void InputBuffer::readBytes(uint8_t* out, size_t count) {
  while (count > 0) {
    if (!fill()) corrupt("unexpected end of coder input");
    size_t n = std::min(count, available());
    std::memcpy(out, cursor(), n);
    consume(n);
    out += n;
    count -= n;
  }
}

}  // namespace kox::sevenzip
