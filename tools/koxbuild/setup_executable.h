// Writing a built setup to disk: the engine image followed by the package,
// and the files that travel beside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "engine/startup/package.h"

namespace kox {

// The engine image with the package behind it. A stub that already carries a
// package (a built setup used as stub) contributes only its image.
std::vector<uint8_t> setupExecutableBytes(std::span<const uint8_t> stub, const SetupPackage& package);

// Writes the setup executable through a temporary file beside `out` that is
// renamed into place, so a failed build leaves no half-written setup.
void writeSetupExecutable(std::span<const uint8_t> stub, const SetupPackage& package,
                          const std::filesystem::path& out);

std::vector<uint8_t> readFileBytes(const std::filesystem::path& path);

// Files that a build puts in place together: each is first written under a
// temporary name, and only commit() renames them all to their final names.
// Whatever was not committed is removed again.
class StagedFiles {
 public:
  StagedFiles() = default;
  StagedFiles(const StagedFiles&) = delete;
  StagedFiles& operator=(const StagedFiles&) = delete;
  ~StagedFiles();

  // The temporary name under which `finalPath` is to be written.
  std::filesystem::path stage(const std::filesystem::path& finalPath);
  void stageBytes(const std::filesystem::path& finalPath, std::span<const uint8_t> bytes);
  void stageCopy(const std::filesystem::path& finalPath, const std::filesystem::path& source);
  void commit();

 private:
  struct Entry {
    std::filesystem::path temporary;
    std::filesystem::path final;
  };
  std::vector<Entry> entries_;
};

}  // namespace kox
