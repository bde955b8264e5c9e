// The output target on Windows: std::filesystem with wide paths, plus the
// entry's attributes and modification time set through Win32.
#pragma once

#include "archive/sevenzip/output.h"

namespace kox::archive {

class WindowsTarget : public sevenzip::FileSystemTarget {
 public:
  using FileSystemTarget::FileSystemTarget;
  void applyMetadata(const std::filesystem::path& path, const sevenzip::Entry& entry) override;
  void prepareReplace(const std::filesystem::path& path) override;
};

}  // namespace kox::archive
