#include "engine/media/folder_transfer.h"

#include <windows.h>

#include "engine/base/text.h"
#include "engine/media/media_files.h"

namespace kox::media {
namespace {

// A file left over by one pass (still open elsewhere for a moment, or in a
// folder emptied late) usually goes in the next.
constexpr int kDeletePasses = 3;

bool transferFile(const std::wstring& file, const std::wstring& target, bool move) {
  if (move) {
    deleteFileForced(target);
    return MoveFileW(file.c_str(), target.c_str()) != 0;
  }
  // "Over any existing file" includes a read-only one.
  SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  return CopyFileW(file.c_str(), target.c_str(), FALSE) != 0;
}

}  // namespace

bool TransferFolder(const std::string& sourceFolder, const std::string& targetFolder, bool move) {
  const std::string source = withBackslash(sourceFolder);
  const std::string target = withBackslash(targetFolder);
  // A target inside the source would be listed, moved into and then deleted
  // with the source's contents.
  if (startsWithIgnoreCase(target, source)) return false;

  // UTF-16 from here on: the listing must give names the code page cannot hold.
  const std::wstring wideSource = toWide(source);
  const std::wstring wideTarget = toWide(target);
  for (const std::wstring& file : listFilesBelow(wideSource)) {
    // The listing gives paths below the source, so the prefix is always there.
    size_t nameStart = file.find_last_of(L'\\') + 1;
    std::wstring targetFolderOfFile = wideTarget + file.substr(wideSource.size(), nameStart - wideSource.size());
    if (!forceFolders(targetFolderOfFile)) return false;
    if (!transferFile(file, targetFolderOfFile + file.substr(nameStart), move)) return false;
  }
  if (move) {
    for (int pass = 0; pass < kDeletePasses; ++pass) deleteFolderContents(wideSource);
    RemoveDirectoryW(wideSource.c_str());
  }
  return true;
}

}  // namespace kox::media
