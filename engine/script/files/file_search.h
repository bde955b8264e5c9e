// The recursive file enumeration behind "Find All Files" and "Delete Files
// Recursive", independent of the file system that answers it.
//
// Pattern = folder + separator + mask. For each entry of the folder (all
// names, in the order the file system returns them, "." and ".." skipped):
// when it is a folder and subfolders are searched, first the whole
// enumeration of that subfolder with the same mask; then, when it is a folder
// and folders are listed, the folder's own path. After that, every entry of
// this folder that matches the mask and is not a folder, as folder +
// separator + name. Folders are listed whether or not they match the mask.
//
// Links to folders (junctions, symbolic links) are listed like folders but
// never entered: a link can point back up the tree (the search would never
// end) or out of it (a recursive deletion would empty its target).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kox {

struct DirectoryEntry {
  std::string name;
  bool folder = false;
  bool link = false;  // a reparse point or symbolic link
};

// One folder listing of a file system.
class DirectorySource {
 public:
  virtual ~DirectorySource() = default;
  virtual char separator() const = 0;
  // The entries of folder whose names match mask ("*.*" matches every name),
  // in the file system's order; nothing when the folder cannot be read.
  virtual std::vector<DirectoryEntry> list(const std::string& folder, const std::string& mask) const = 0;
};

// What a running search tells its owner, and how the owner stops it.
class FileSearchObserver {
 public:
  virtual ~FileSearchObserver() = default;
  virtual void folderVisited() {}
  virtual void entryAdded(const std::string& path) {}
  virtual bool stopRequested() const { return false; }
};

struct FileSearch {
  std::string pattern;
  bool searchSubfolders = false;
  bool listFolders = false;
};

std::vector<std::string> findFiles(const FileSearch& search, const DirectorySource& source,
                                   FileSearchObserver* observer = nullptr);

// A list entry as the result list writes it: in double quotes (embedded
// quotes doubled) when it holds a space, a control character, a double quote
// or "|".
std::string quotedListEntry(std::string_view entry);
// The entries, quoted as needed, joined by "|"; no entries give "".
std::string joinFileList(const std::vector<std::string>& entries);

// Whether a name matches a mask of "*" and "?" wildcards, letter case ignored
// ("*.*" matches every name, as it does on Windows).
bool wildcardMatch(std::string_view mask, std::string_view name);

}  // namespace kox
