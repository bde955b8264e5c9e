#include "engine/media/cache_copy.h"

#include <windows.h>

#include "engine/media/media_files.h"

namespace kox::media {
namespace {

bool hasDrivePart(const std::string& path) {
  return (path.size() >= 2 && path[1] == ':') || path.starts_with("\\\\");
}

}  // namespace

void cacheCopy(const std::string& source, const std::string& target) {
  if (!hasDrivePart(target)) return;
  if (fileSizeOf(source) == fileSizeOf(target)) return;
  if (!forceFolders(folderOf(target))) return;
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  CopyFileA(source.c_str(), target.c_str(), FALSE);
}

}  // namespace kox::media
