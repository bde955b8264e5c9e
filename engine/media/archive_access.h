// The engine's side of archive extraction: Extract and List over the four
// functions of the archive library "kox.lib" (contract: archive/kox_archive_api.h),
// which the engine binds at load time.
//
// Callbacks are optional; a missing one is replaced by the engine's own:
//   password      the hand-out-once password: the request's password is
//                 offered once per operation, an empty one never;
//   notification  answers 1;
//   replace       answers 4 (replace) when replaceExisting is set, else 1;
//   progress      answers "go on".
// An exception thrown by a callback stops the library and becomes the error
// text of the operation. Two operations must never overlap (the library's
// callbacks reach the running operation through process-wide state).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kox::media {

// Gives a password, or nullopt when it has none.
using PasswordCallback = std::function<std::optional<std::string>()>;
// The entry being written, bytes done and bytes in total; false stops.
using FileProgressCallback = std::function<bool(const std::string& entryPath, uint64_t done, uint64_t total)>;
// The library's notification (event, value); the answer goes back to it.
using NotificationCallback = std::function<int32_t(uint32_t event, uint32_t value)>;
// Asked when a file to be extracted exists: 4 replaces it, 1 leaves it.
using ReplaceCallback = std::function<int32_t()>;

struct ExtractRequest {
  std::string archivePath;
  std::string password;
  std::string targetFolder;
  PasswordCallback passwordCallback;
  NotificationCallback notificationCallback;
  ReplaceCallback replaceCallback;
  FileProgressCallback progressCallback;
  // The entries to extract; none: every entry that List gives.
  std::optional<std::vector<std::string>> names;
  bool replaceExisting = true;
  // Entries at their archive path below the target (folder option 0); else
  // the library's folder option 1.
  bool keepFolders = true;
};

// True when every named entry was extracted. On failure errorText is "#" and
// the library's code, a listing text (see List) when the archive could not be
// listed, or the message of an exception.
bool Extract(const ExtractRequest& request, std::string& errorText);

// Fills `names` with the archive's entry paths in listing order. On failure
// errorText is one of "The archive file was not found", "Illegal path used in
// a wildcard expression", "The archive cannot be opened: unsupported archive
// or incorrect password" and "General failure opening archive".
bool List(const std::string& archivePath, const std::string& password, std::string& errorText,
          std::vector<std::string>& names, const PasswordCallback& passwordCallback = {});

// The listing text for a GetLastArchiveError code.
std::string listingErrorText(uint32_t code);

// Percent position of a progress report: done * 100 / total + 1, at most 100
// (and 100 when the total is 0).
int progressPosition(uint64_t done, uint64_t total);

}  // namespace kox::media
