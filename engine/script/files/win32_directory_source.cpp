#include "engine/script/files/win32_directory_source.h"

#include <windows.h>

#include <memory>

namespace kox::win {

namespace {

struct FindCloser {
  void operator()(HANDLE find) const { FindClose(find); }
};

}  // namespace

std::vector<DirectoryEntry> Win32DirectorySource::list(const std::string& folder, const std::string& mask) const {
  std::vector<DirectoryEntry> entries;
  WIN32_FIND_DATAA data;
  std::string pattern = folder + "\\" + mask;
  HANDLE first = FindFirstFileA(pattern.c_str(), &data);
  if (first == INVALID_HANDLE_VALUE) return entries;
  std::unique_ptr<void, FindCloser> find(first);
  do {
    DirectoryEntry entry{data.cFileName};
    entry.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileA(find.get(), &data));
  return entries;
}

}  // namespace kox::win
