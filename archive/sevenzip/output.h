// Where extracted entries are written. The extractor only names paths below
// the target (parts already checked by safeEntryPath); the target decides how
// files are created. A file is written under a temporary name and takes its
// real name only after its CRC was checked, so a wrong password or damaged
// data never leaves a file with wrong contents behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/database.h"

namespace kox::sevenzip {

using EntryParts = std::vector<std::u16string>;

class OutputFile {
 public:
  virtual ~OutputFile() = default;  // an uncommitted file is removed
  virtual void write(const uint8_t* data, size_t size) = 0;
  // Gives the file its real name (replacing an existing file) and its metadata.
  virtual void commit() = 0;
};

class OutputTarget {
 public:
  virtual ~OutputTarget() = default;
  virtual bool fileExists(const EntryParts& parts) = 0;
  virtual void makeFolder(const EntryParts& parts) = 0;  // with its missing parents
  virtual std::unique_ptr<OutputFile> createFile(const EntryParts& parts, const Entry& entry) = 0;
};

// Writes below a folder of the local file system through std::filesystem.
class FileSystemTarget : public OutputTarget {
 public:
  explicit FileSystemTarget(std::filesystem::path root) : root_(std::move(root)) {}
  bool fileExists(const EntryParts& parts) override;
  void makeFolder(const EntryParts& parts) override;
  std::unique_ptr<OutputFile> createFile(const EntryParts& parts, const Entry& entry) override;

  std::filesystem::path pathOf(const EntryParts& parts) const;

  // Sets attributes and times of a finished file; the base version sets the
  // modification time when the entry has one.
  virtual void applyMetadata(const std::filesystem::path& path, const Entry& entry);
  // Prepares an existing file for being replaced (e.g. clears read-only).
  virtual void prepareReplace(const std::filesystem::path& path);

 private:
  std::filesystem::path root_;
};

}  // namespace kox::sevenzip
