// Folder listings of a POSIX file system ("/" paths), so the search runs and
// is measured on the build machine as well.
#pragma once

#include "engine/script/files/file_search.h"

namespace kox {

class PosixDirectorySource : public DirectorySource {
 public:
  char separator() const override { return '/'; }
  std::vector<DirectoryEntry> list(const std::string& folder, const std::string& mask) const override;
};

}  // namespace kox
