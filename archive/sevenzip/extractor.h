// Extracts entries of an opened archive into an output target.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/output.h"

namespace kox::sevenzip {

struct ExtractOptions {
  // One flag per entry; empty selects every entry.
  std::vector<bool> selected;
  // Entries at their path below the target; false puts every file directly in
  // the target under its own name and creates no folders.
  bool keepFolders = true;
  // Called at the start of each file and after each written chunk with the
  // bytes written so far and the total of the selected files; false stops.
  std::function<bool(const Entry& entry, uint64_t done, uint64_t total)> progress;
  // Asked when a file to be written exists; true replaces it, false keeps it.
  std::function<bool(const Entry& entry)> replaceExisting;
  DecodeLimits limits;
};

// Throws ArchiveError. Before anything is written every selected path is
// checked (UnsafePath). In an encrypted folder, data that does not decode or
// fails its CRC is reported as WrongPassword; elsewhere as Corrupt. The
// selected files that were finished before a failure stay in place.
void extract(Archive& archive, PasswordSource& password, OutputTarget& target, const ExtractOptions& options);

}  // namespace kox::sevenzip
