#include "engine/media/media_files.h"

#include <windows.h>

namespace kox::media {
namespace {

template <typename Char>
bool isSeparator(Char c) {
  return c == Char('\\') || c == Char('/');
}

template <typename Char>
size_t afterLastSeparator(std::basic_string_view<Char> path) {
  size_t i = path.size();
  while (i > 0 && !isSeparator(path[i - 1])) --i;
  return i;
}

std::wstring withWideBackslash(std::wstring folder) {
  if (!folder.empty() && !isSeparator(folder.back())) folder += L'\\';
  return folder;
}

bool isFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Calls visit(entry data) for every entry of folder but "." and "..".
template <typename Visit>
void forEachEntry(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW data;
  HANDLE found = FindFirstFileW((withWideBackslash(folder) + L"*.*").c_str(), &data);
  if (found == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring_view name(data.cFileName);
    if (name != L"." && name != L"..") visit(data);
  } while (FindNextFileW(found, &data));
  FindClose(found);
}

void collectFiles(const std::wstring& folder, std::vector<std::wstring>& files) {
  std::vector<std::wstring> here;
  forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
    std::wstring path = withWideBackslash(folder) + data.cFileName;
    if (isFolder(data.dwFileAttributes))
      collectFiles(path, files);
    else
      here.push_back(std::move(path));
  });
  files.insert(files.end(), here.begin(), here.end());
}

// A drive ("C:") or a share ("\\server\share") is there or it is not: it
// cannot be created.
bool isRoot(std::wstring_view path) {
  if (path.empty() || (path.size() == 2 && path[1] == L':')) return true;
  if (!path.starts_with(L"\\\\")) return false;
  size_t server = path.find(L'\\', 2);
  return server == std::wstring_view::npos || path.find(L'\\', server + 1) == std::wstring_view::npos;
}

}  // namespace

std::string fileNameOf(std::string_view path) { return std::string(path.substr(afterLastSeparator(path))); }

std::string folderOf(std::string_view path) { return std::string(path.substr(0, afterLastSeparator(path))); }

std::string baseNameOf(std::string_view path) {
  std::string name = fileNameOf(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::wstring toWide(std::string_view text, uint32_t codePage) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

bool fileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !isFolder(attributes);
}

bool folderExists(const std::string& path) { return isFolder(GetFileAttributesA(path.c_str())); }

bool forceFolders(const std::string& folder) { return !folder.empty() && forceFolders(toWide(folder)); }

bool forceFolders(const std::wstring& folder) {
  std::wstring path = folder;
  while (!path.empty() && isSeparator(path.back())) path.pop_back();
  if (path.empty()) return false;
  if (isFolder(GetFileAttributesW(path.c_str()))) return true;
  std::wstring parent = path.substr(0, afterLastSeparator(std::wstring_view(path)));
  while (!parent.empty() && isSeparator(parent.back())) parent.pop_back();
  if (!isRoot(parent) && !forceFolders(parent)) return false;
  return CreateDirectoryW(path.c_str(), nullptr) || isFolder(GetFileAttributesW(path.c_str()));
}

bool deleteFileForced(const std::string& path) { return deleteFileForced(toWide(path)); }

bool deleteFileForced(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> listFilesBelow(const std::wstring& folder) {
  std::vector<std::wstring> files;
  collectFiles(folder, files);
  return files;
}

void deleteFolderContents(const std::wstring& folder) {
  forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
    std::wstring path = withWideBackslash(folder) + data.cFileName;
    if (isFolder(data.dwFileAttributes)) {
      deleteFolderContents(path);
      RemoveDirectoryW(path.c_str());
    } else {
      deleteFileForced(path);
    }
  });
}

uint64_t fileSizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) || isFolder(data.dwFileAttributes)) return 0;
  return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace kox::media
