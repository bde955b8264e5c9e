#include "archive/sevenzip/extractor.h"

#include <algorithm>
#include <optional>

#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/entry_path.h"
#include "archive/sevenzip/folder_decoder.h"

namespace kox::sevenzip {
namespace {

constexpr size_t kChunk = 1 << 18;

class Extraction {
 public:
  Extraction(Archive& archive, PasswordSource& password, OutputTarget& target, const ExtractOptions& options)
      : archive_(archive),
        database_(archive.database()),
        target_(target),
        options_(options),
        context_{options.limits, &password, {}},
        buffer_(kChunk) {}

  void run() {
    const auto& entries = database_.entries;
    std::vector<std::optional<EntryParts>> paths(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      if (!isSelected(i) || entries[i].isAnti) continue;
      auto parts = safeEntryPath(entries[i].name);
      if (!options_.keepFolders) parts = EntryParts{parts.back()};
      paths[i] = std::move(parts);
      if (!entries[i].isDirectory) total_ += entries[i].size;
    }

    std::optional<uint32_t> openFolderIndex;
    std::unique_ptr<ByteSource> folderStream;
    uint64_t folderPosition = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      if (!paths[i]) continue;
      const Entry& entry = entries[i];
      const EntryParts& parts = *paths[i];
      if (entry.isDirectory) {
        if (options_.keepFolders) target_.makeFolder(parts);
        continue;
      }
      report(entry);
      if (!entry.hasStream) {
        writeFile(entry, parts, nullptr);
        continue;
      }
      const Folder& folder = database_.folders[entry.folderIndex];
      try {
        if (openFolderIndex != entry.folderIndex) {
          folderStream = openFolder(database_, entry.folderIndex, archive_.file(), context_);
          openFolderIndex = entry.folderIndex;
          folderPosition = 0;
        }
        // Entries of a folder come in stream order; skip unselected ones.
        if (entry.offsetInFolder < folderPosition) corrupt("entries out of stream order");
        discard(*folderStream, entry.offsetInFolder - folderPosition);
        folderPosition = entry.offsetInFolder + entry.size;
        writeFile(entry, parts, folderStream.get());
      } catch (const ArchiveError& error) {
        if (folder.isEncrypted() && error.kind() == ErrorKind::Corrupt)
          fail(ErrorKind::WrongPassword, "the data cannot be decrypted: wrong password (" +
                                             std::string(error.what()) + ")");
        throw;
      }
    }
  }

 private:
  bool isSelected(size_t index) const {
    return options_.selected.empty() || (index < options_.selected.size() && options_.selected[index]);
  }

  void report(const Entry& entry) {
    if (options_.progress && !options_.progress(entry, done_, total_)) fail(ErrorKind::Cancelled, "cancelled");
  }

  void discard(ByteSource& stream, uint64_t count) {
    while (count > 0) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(count, buffer_.size()));
      readExact(stream, buffer_.data(), n);
      count -= n;
    }
  }

  // Writes one file from `stream` (nullptr for an empty file), checks its CRC.
  void writeFile(const Entry& entry, const EntryParts& parts, ByteSource* stream) {
    bool keepExisting = target_.fileExists(parts) && options_.replaceExisting && !options_.replaceExisting(entry);
    std::unique_ptr<OutputFile> file;
    if (!keepExisting) file = target_.createFile(parts, entry);
    uint32_t crc = 0;
    uint64_t remaining = stream ? entry.size : 0;
    while (remaining > 0) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(remaining, buffer_.size()));
      readExact(*stream, buffer_.data(), n);
      crc = crc32Update(crc, buffer_.data(), n);
      if (file) file->write(buffer_.data(), n);
      remaining -= n;
      done_ += n;
      report(entry);
    }
    if (entry.crc && crc != *entry.crc) corrupt("CRC mismatch in " + utf16ToUtf8(entry.name));
    if (file) file->commit();
  }

  Archive& archive_;
  const Database& database_;
  OutputTarget& target_;
  const ExtractOptions& options_;
  DecodeContext context_;
  std::vector<uint8_t> buffer_;
  uint64_t total_ = 0;
  uint64_t done_ = 0;
};

}  // namespace

void extract(Archive& archive, PasswordSource& password, OutputTarget& target, const ExtractOptions& options) {
  Extraction(archive, password, target, options).run();
}

}  // namespace kox::sevenzip
