// Folder texts used while preparing dialogs: backslash clean-up of variable
// values and the walk up to the nearest existing folder that starts the
// folder browsers. Existence is asked through a callback, so the rules stay
// testable without a file system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kox {

using FolderExists = std::function<bool(const std::string& folder)>;

// Replaces every pair of backslashes by one, scanning left to right; a text
// that began with a pair keeps a double backslash in front (a network path).
std::string collapseBackslashes(std::string_view text);

// The folder part of a path: everything up to and including the last
// backslash or colon ("C:\a\b" gives "C:\a\", "C:" gives "C:").
std::string folderPart(std::string_view path);

// Walks from folder up through its parents (drop a trailing backslash, take
// the folder part, add a trailing backslash) until the folder exists or the
// walk no longer changes it; returns where it stopped.
std::string nearestExistingFolder(std::string folder, const FolderExists& folderExists);

// The start folder of the folder browsers: the nearest existing folder of
// the collapsed TARGETDIR value.
std::string browseStartFolder(std::string_view targetDirValue, const FolderExists& folderExists);

// The part of the target folder below its nearest existing folder:
// "C:\Program Files\Norvale Document Converter" with "C:\Program Files"
// existing gives "Norvale Document Converter". Empty when the walk ends empty.
std::string targetTail(std::string_view targetFolder, const FolderExists& folderExists);

}  // namespace kox
