#include "engine/media/file_placement.h"

#include <windows.h>

#include <optional>

#include "engine/base/text.h"
#include "engine/media/media_files.h"

namespace kox::media {
namespace {

struct Placement {
  std::string source;        // 8-bit, as extracted
  std::string targetFolder;  // ends in "\"
  std::string fileName;      // file name of the list's path, in the package's code page
};

std::optional<std::string> recordedDestination(const std::vector<MovedFile>& moved, const std::string& source) {
  std::string key = toLowerAscii(source);
  // The latest move of that source is the one most likely still in place.
  for (auto it = moved.rbegin(); it != moved.rend(); ++it)
    if (it->source == key) return it->destination;
  return std::nullopt;
}

bool placeNarrow(const Placement& placement, const std::vector<MovedFile>& moved) {
  const std::string target = placement.targetFolder + fileNameOf(placement.source);
  deleteFileForced(target);
  if (!fileExists(placement.source))
    if (auto earlier = recordedDestination(moved, placement.source))
      CopyFileA(earlier->c_str(), placement.source.c_str(), FALSE);
  return MoveFileA(placement.source.c_str(), target.c_str()) != 0;
}

bool placeWide(const Placement& placement, const std::vector<MovedFile>& moved, uint32_t codePage) {
  const std::wstring name = toWide(placement.fileName, codePage);
  if (name.empty()) return false;
  const std::wstring source = toWide(folderOf(placement.source), CP_ACP) + name;
  const std::wstring target = toWide(placement.targetFolder, CP_ACP) + name;
  deleteFileForced(target);
  if (GetFileAttributesW(source.c_str()) == INVALID_FILE_ATTRIBUTES)
    if (auto earlier = recordedDestination(moved, placement.source)) {
      std::wstring copy = toWide(folderOf(*earlier), CP_ACP) + name;
      CopyFileW(copy.c_str(), source.c_str(), FALSE);
    }
  return MoveFileW(source.c_str(), target.c_str()) != 0;
}

}  // namespace

bool placeFiles(const PlacementJob& job, std::vector<MovedFile>& moved) {
  bool wide = false;
  for (size_t i = 0; i + 3 <= job.placements.size(); i += 3) {
    const std::string& block = job.placements[i];
    const std::string& path = job.placements[i + 1];
    const std::string& folder = job.placements[i + 2];
    if (!equalsIgnoreCase(block, job.archiveName)) continue;

    Placement placement;
    placement.targetFolder = withBackslash(withBackslash(job.mediaRoot) + folder);
    placement.source = withBackslash(job.extractionFolder) + job.archiveName + "\\" + path;
    placement.fileName = fileNameOf(path);
    forceFolders(placement.targetFolder);

    if (!wide && placeNarrow(placement, moved)) {
      moved.push_back({toLowerAscii(placement.source), toLowerAscii(placement.targetFolder + placement.fileName)});
      continue;
    }
    wide = true;
    if (!placeWide(placement, moved, job.codePage)) return false;
    moved.push_back({toLowerAscii(placement.source), toLowerAscii(placement.targetFolder + placement.fileName)});
  }
  return true;
}

}  // namespace kox::media
