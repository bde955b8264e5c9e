#include "engine/script/files/file_search.h"

#include "engine/base/text.h"

namespace kox {

namespace {

class Search {
 public:
  Search(const FileSearch& search, const DirectorySource& source, FileSearchObserver* observer)
      : search_(search), source_(source), observer_(observer), separator_(source.separator()) {}

  std::vector<std::string> run() {
    size_t slash = search_.pattern.rfind(separator_);
    std::string folder = slash == std::string::npos ? std::string() : search_.pattern.substr(0, slash);
    mask_ = slash == std::string::npos ? search_.pattern : search_.pattern.substr(slash + 1);
    enumerate(folder);
    return std::move(found_);
  }

 private:
  bool stopped() const { return observer_ != nullptr && observer_->stopRequested(); }

  void add(std::string path) {
    if (observer_ != nullptr) observer_->entryAdded(path);
    found_.push_back(std::move(path));
  }

  void enumerate(const std::string& folder) {
    if (stopped()) return;
    if (observer_ != nullptr) observer_->folderVisited();
    const std::string prefix = folder + separator_;
    for (const DirectoryEntry& entry : source_.list(folder, "*.*")) {
      if (stopped()) return;
      if (!entry.folder || entry.name == "." || entry.name == "..") continue;
      if (search_.searchSubfolders && !entry.link) enumerate(prefix + entry.name);
      if (search_.listFolders) add(prefix + entry.name);
    }
    for (const DirectoryEntry& entry : source_.list(folder, mask_)) {
      if (stopped()) return;
      if (!entry.folder) add(prefix + entry.name);
    }
  }

  const FileSearch& search_;
  const DirectorySource& source_;
  FileSearchObserver* observer_;
  const char separator_;
  std::string mask_;
  std::vector<std::string> found_;
};

}  // namespace

std::vector<std::string> findFiles(const FileSearch& search, const DirectorySource& source,
                                   FileSearchObserver* observer) {
  return Search(search, source, observer).run();
}

std::string quotedListEntry(std::string_view entry) {
  bool needsQuotes = false;
  for (char c : entry) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '|') needsQuotes = true;
  }
  if (!needsQuotes) return std::string(entry);
  std::string quoted = "\"";
  for (char c : entry) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string joinFileList(const std::vector<std::string>& entries) {
  std::string list;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) list += '|';
    list += quotedListEntry(entries[i]);
  }
  return list;
}

bool wildcardMatch(std::string_view mask, std::string_view name) {
  if (mask == "*.*" || mask == "*") return true;
  // Iterative match with one backtrack point for the last "*".
  size_t m = 0, n = 0, starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || asciiLower(mask[m]) == asciiLower(name[n]))) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace kox
