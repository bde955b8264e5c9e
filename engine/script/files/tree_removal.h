// "Delete Files Recursive": deletes what a recursive search of a pattern
// finds (folders included), last entry first, in repeated passes until a pass
// removes nothing. Single deletions may fail (a file in use, a folder that is
// not empty yet); the next pass tries again, and what stays is left alone.
#pragma once

#include <string>
#include <string_view>

#include "engine/script/files/file_search.h"

namespace kox {

class EntryRemover {
 public:
  virtual ~EntryRemover() = default;
  // Clears the entry's attributes and deletes it as a file (fails for folders).
  virtual void removeFile(const std::string& path) = 0;
  // Removes the entry as an empty folder (fails for files and full folders).
  virtual void removeFolder(const std::string& path) = 0;
};

// Returns the number of passes made.
int removeMatching(const std::string& pattern, const DirectorySource& source, EntryRemover& remover);

// The folder part of a pattern (everything before its last separator).
std::string patternFolder(std::string_view pattern, char separator);

// Whether a Windows folder path names a whole volume: empty (the root of the
// current drive), a drive ("C:", "C:\"), the root "\", or a share
// ("\\server\share").
bool isVolumeRoot(std::string_view folder);

}  // namespace kox
