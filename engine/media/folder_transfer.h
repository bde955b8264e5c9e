// Folder transfer: brings every file below one folder to the same relative
// place below another, moving or copying. The web media worker moves what is
// left of an extracted archive into the media data folder with it.
#pragma once

#include <string>

namespace kox::media {

// Move: each target file is replaced (normal attributes, deleted, then the
// file moved there); afterwards the source folder's contents are deleted in
// three passes and the source folder removed. Copy: each file is copied over
// the target file. The first file that cannot be moved or copied ends the
// transfer with false and leaves the rest in the source folder. Folders
// without files are not recreated below the target. A target that is the
// source or lies inside it is refused (false, nothing touched). The files are
// found and moved with UTF-16 paths, whatever their names.
bool TransferFolder(const std::string& sourceFolder, const std::string& targetFolder, bool move);

}  // namespace kox::media
