#include "engine/script/files/tree_removal.h"

#include <vector>

namespace kox {

int removeMatching(const std::string& pattern, const DirectorySource& source, EntryRemover& remover) {
  const FileSearch search{pattern, true, true};
  std::vector<std::string> entries = findFiles(search, source);
  int passes = 0;
  for (;;) {
    ++passes;
    const size_t before = entries.size();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) remover.removeFile(*it);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) remover.removeFolder(*it);
    entries = findFiles(search, source);
    if (entries.size() == before) return passes;
  }
}

std::string patternFolder(std::string_view pattern, char separator) {
  size_t slash = pattern.rfind(separator);
  return slash == std::string_view::npos ? std::string() : std::string(pattern.substr(0, slash));
}

bool isVolumeRoot(std::string_view folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.remove_suffix(1);
  if (folder.empty()) return true;
  // "\\?\C:" and "\\.\C:" name a drive as well.
  if (folder.starts_with("\\\\?\\") || folder.starts_with("\\\\.\\")) folder.remove_prefix(4);
  if (folder.size() == 2 && folder[1] == ':') return true;
  if (folder.starts_with("\\\\")) {
    // "\\server\share": exactly one separator after the server name.
    std::string_view rest = folder.substr(2);
    size_t slash = rest.find_first_of("\\/");
    return slash == std::string_view::npos || rest.find_first_of("\\/", slash + 1) == std::string_view::npos;
  }
  return false;
}

}  // namespace kox
