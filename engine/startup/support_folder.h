// The support folder: temporary folder + "kox" + N, N the first number from 1
// upward for which no such folder exists. Everything the setup unpacks lives
// there; it is removed when the engine ends.
#pragma once

#include <string>

namespace kox {

// Creates the first free "kox" + N folder in tempFolder (which ends in "\")
// and returns it with a trailing "\". Throws EngineError when it cannot be created.
std::string createSupportFolder(const std::string& tempFolder);

// Deletes the folder's contents three times over (each pass gives every file
// normal attributes before deleting it and removes emptied subfolders), then
// the folder itself. A file that stays locked through all passes is left
// behind; nothing here throws.
void removeFolderTree(const std::string& folder);

// One pass over the folder's contents, as above, without removing the folder.
void deleteFolderContents(const std::string& folder);

}  // namespace kox
