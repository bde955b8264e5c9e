// The file operations of the media workers (Windows builds only). Paths are
// texts in the system ANSI code page, as the archive library writes them;
// the operations that walk folders work on UTF-16 paths, so that files whose
// names the code page cannot hold are moved and deleted like any other.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kox::media {

// The part after the last "\" or "/" (the whole text when there is none).
std::string fileNameOf(std::string_view path);
// The part up to and including the last "\" or "/" ("" when there is none).
std::string folderOf(std::string_view path);
// The file name without its last extension ("block.7zip" gives "block").
std::string baseNameOf(std::string_view path);

// An 8-bit text as UTF-16, read in the given code page (0: the system's).
std::wstring toWide(std::string_view text, uint32_t codePage = 0);

bool fileExists(const std::string& path);  // an existing file, not a folder
bool folderExists(const std::string& path);

// Creates the folder and every missing parent. True when it exists afterwards.
bool forceFolders(const std::string& folder);
bool forceFolders(const std::wstring& folder);

// Gives the file normal attributes (so a read-only file can go) and deletes
// it. True when the file is gone afterwards.
bool deleteFileForced(const std::string& path);
bool deleteFileForced(const std::wstring& path);

// Every file below folder, subfolders included, as full paths: the files of
// each subfolder (in the order the file system gives them) before the
// folder's own files.
std::vector<std::wstring> listFilesBelow(const std::wstring& folder);

// Deletes the contents of folder: files (normal attributes first), then the
// subfolders that are empty afterwards. Failures are left for a later pass.
void deleteFolderContents(const std::wstring& folder);

// Size of a file, 0 when it is missing.
uint64_t fileSizeOf(const std::string& path);

}  // namespace kox::media
