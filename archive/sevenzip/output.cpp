#include "archive/sevenzip/output.h"

#include <chrono>
#include <system_error>

#include "archive/sevenzip/entry_path.h"
#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void writeFailure(const std::string& what, const fs::path& path) {
  fail(ErrorKind::Io, what + " " + utf16ToUtf8(path.generic_u16string()));
}

class DiskOutputFile : public OutputFile {
 public:
  DiskOutputFile(FileSystemTarget& target, fs::path path, const Entry& entry)
      : target_(target), path_(std::move(path)), entry_(entry) {
    temporary_ = path_;
    temporary_ += u".koxpart";
    out_.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!out_) writeFailure("cannot create", temporary_);
  }
  ~DiskOutputFile() override {
    if (committed_) return;
    out_.close();
    std::error_code ignored;
    fs::remove(temporary_, ignored);
  }
  void write(const uint8_t* data, size_t size) override {
    out_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out_) writeFailure("cannot write", temporary_);
  }
  void commit() override {
    out_.close();
    if (out_.fail()) writeFailure("cannot write", temporary_);
    std::error_code error;
    if (fs::exists(path_, error)) {
      target_.prepareReplace(path_);
      fs::remove(path_, error);
      if (error) writeFailure("cannot replace", path_);
    }
    fs::rename(temporary_, path_, error);
    if (error) writeFailure("cannot create", path_);
    committed_ = true;
    target_.applyMetadata(path_, entry_);
  }

 private:
  FileSystemTarget& target_;
  fs::path path_;
  fs::path temporary_;
  const Entry& entry_;
  std::ofstream out_;
  bool committed_ = false;
};

}  // namespace

fs::path FileSystemTarget::pathOf(const EntryParts& parts) const {
  fs::path path = root_;
  for (const auto& part : parts) path /= fs::path(part);
  return path;
}

bool FileSystemTarget::fileExists(const EntryParts& parts) {
  std::error_code error;
  return fs::exists(pathOf(parts), error);
}

void FileSystemTarget::makeFolder(const EntryParts& parts) {
  fs::path path = pathOf(parts);
  std::error_code error;
  if (fs::is_directory(path, error)) return;
  fs::create_directories(path, error);
  if (error) writeFailure("cannot create the folder", path);
}

std::unique_ptr<OutputFile> FileSystemTarget::createFile(const EntryParts& parts, const Entry& entry) {
  fs::path path = pathOf(parts);
  makeFolder(EntryParts(parts.begin(), parts.end() - 1));
  std::error_code error;
  if (fs::is_directory(path, error)) writeFailure("a folder is in the way of", path);
  return std::make_unique<DiskOutputFile>(*this, std::move(path), entry);
}

void FileSystemTarget::applyMetadata(const fs::path& path, const Entry& entry) {
  if (!entry.modified) return;
  // FILETIME counts 100 ns ticks from 1601; the Unix epoch is 11644473600 s later.
  constexpr int64_t kEpochDifference = 11644473600LL;
  int64_t seconds = static_cast<int64_t>(*entry.modified / 10000000) - kEpochDifference;
  auto sinceEpoch = std::chrono::seconds(seconds) + std::chrono::nanoseconds((*entry.modified % 10000000) * 100);
  auto systemTime = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
  std::error_code ignored;
  fs::last_write_time(path, fs::file_time_type::clock::from_sys(systemTime), ignored);
}

void FileSystemTarget::prepareReplace(const fs::path& path) {
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ignored);
}

}  // namespace kox::sevenzip
