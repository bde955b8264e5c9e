#include "engine/startup/support_folder.h"

#include <windows.h>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/base/win/handle.h"

namespace kox {
namespace {

bool folderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct FindCloser {
  void operator()(HANDLE h) const { FindClose(h); }
};

}  // namespace

std::string createSupportFolder(const std::string& tempFolder) {
  const std::string base = withBackslash(tempFolder);
  for (unsigned n = 1; n < 100000; ++n) {
    std::string candidate = base + "kox" + std::to_string(n);
    if (GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (CreateDirectoryA(candidate.c_str(), nullptr)) return candidate + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw EngineError("Unable to create the support folder " + candidate + ": " + win::systemErrorText());
  }
  throw EngineError("Unable to create a support folder in " + base + ": every name is taken");
}

void deleteFolderContents(const std::string& folder) {
  const std::string base = withBackslash(folder);
  WIN32_FIND_DATAA data;
  std::unique_ptr<void, FindCloser> find(FindFirstFileA((base + "*").c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) {
    find.release();
    return;
  }
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    std::string path = base + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      // A reparse point is removed as a link; what it points to is not ours.
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) deleteFolderContents(path);
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      RemoveDirectoryA(path.c_str());
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(find.get(), &data));
}

void removeFolderTree(const std::string& folder) {
  if (folder.empty() || !folderExists(folder)) return;
  for (int pass = 0; pass < 3; ++pass) deleteFolderContents(folder);
  std::string path = folder;
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

}  // namespace kox
