// Folder listings through FindFirstFileA / FindNextFileA ("\" paths; the mask
// is matched by the system, short names included). Windows builds only.
#pragma once

#include "engine/script/files/file_search.h"

namespace kox::win {

class Win32DirectorySource : public DirectorySource {
 public:
  char separator() const override { return '\\'; }
  std::vector<DirectoryEntry> list(const std::string& folder, const std::string& mask) const override;
};

}  // namespace kox::win
