// An in-memory file system for the search and removal tests: folders keep
// their entries in insertion order (the "file system's order"), entries can
// be made undeletable for a number of attempts, and every deletion attempt is
// recorded.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/script/files/file_search.h"
#include "engine/script/files/tree_removal.h"

namespace kox::testing {

class MemoryFileSystem : public DirectorySource, public EntryRemover {
 public:
  char separator() const override { return '\\'; }

  void addFolder(const std::string& path) { add(path, true); }
  void addFile(const std::string& path) { add(path, false); }
  void addLink(const std::string& path) { add(path, true, true); }
  void lockFor(const std::string& path, int attempts) { locks_[path] = attempts; }
  bool exists(const std::string& path) const { return nodes_.count(path) != 0; }

  std::vector<DirectoryEntry> list(const std::string& folder, const std::string& mask) const override {
    std::vector<DirectoryEntry> entries;
    auto it = children_.find(folder);
    if (it == children_.end() || !exists(folder)) return entries;
    for (const std::string& name : it->second) {
      const Node& node = nodes_.at(folder + "\\" + name);
      if (wildcardMatch(mask, name)) entries.push_back({name, node.folder, node.link});
    }
    return entries;
  }

  void removeFile(const std::string& path) override {
    attempts.push_back("file " + path);
    auto it = nodes_.find(path);
    if (it == nodes_.end() || it->second.folder || locked(path)) return;
    erase(path);
  }
  void removeFolder(const std::string& path) override {
    attempts.push_back("folder " + path);
    auto it = nodes_.find(path);
    if (it == nodes_.end() || !it->second.folder || locked(path)) return;
    auto children = children_.find(path);
    if (!it->second.link && children != children_.end() && !children->second.empty()) return;
    erase(path);
  }

  std::vector<std::string> attempts;

 private:
  struct Node {
    bool folder;
    bool link;
  };

  void add(const std::string& path, bool folder, bool link = false) {
    nodes_[path] = {folder, link};
    size_t slash = path.rfind('\\');
    if (slash != std::string::npos) children_[path.substr(0, slash)].push_back(path.substr(slash + 1));
  }
  bool locked(const std::string& path) {
    auto it = locks_.find(path);
    if (it == locks_.end() || it->second == 0) return false;
    --it->second;
    return true;
  }
  void erase(const std::string& path) {
    nodes_.erase(path);
    size_t slash = path.rfind('\\');
    auto& siblings = children_[path.substr(0, slash)];
    std::erase(siblings, path.substr(slash + 1));
  }

  std::map<std::string, Node> nodes_;
  std::map<std::string, std::vector<std::string>> children_;
  std::map<std::string, int> locks_;
};

}  // namespace kox::testing
