#include "engine/dialogs/dialog_paths.h"

#include "engine/base/text.h"

namespace kox {

std::string collapseBackslashes(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 1);
  if (text.substr(0, 2) == "\\\\") result += '\\';
  for (size_t i = 0; i < text.size(); ++i) {
    result += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return result;
}

std::string folderPart(std::string_view path) {
  const size_t last = path.find_last_of("\\:");
  return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string nearestExistingFolder(std::string folder, const FolderExists& folderExists) {
  while (!folderExists(folder)) {
    std::string_view trimmed = folder;
    if (!trimmed.empty() && trimmed.back() == '\\') trimmed.remove_suffix(1);
    std::string parent = withBackslash(folderPart(trimmed));
    if (parent == folder) break;
    folder = std::move(parent);
  }
  return folder;
}

std::string browseStartFolder(std::string_view targetDirValue, const FolderExists& folderExists) {
  return nearestExistingFolder(collapseBackslashes(targetDirValue), folderExists);
}

std::string targetTail(std::string_view targetFolder, const FolderExists& folderExists) {
  const std::string existing = nearestExistingFolder(std::string(targetFolder), folderExists);
  if (existing.empty()) return {};
  const size_t skip = withBackslash(existing).size();
  return skip < targetFolder.size() ? std::string(targetFolder.substr(skip)) : std::string();
}

}  // namespace kox
