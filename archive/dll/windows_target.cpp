#include "archive/dll/windows_target.h"

#include <windows.h>

namespace kox::archive {
namespace {

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

}  // namespace

void WindowsTarget::applyMetadata(const std::filesystem::path& path, const sevenzip::Entry& entry) {
  if (entry.modified) {
    FileHandle file{CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle != INVALID_HANDLE_VALUE) {
      FILETIME time{static_cast<DWORD>(*entry.modified), static_cast<DWORD>(*entry.modified >> 32)};
      SetFileTime(file.handle, nullptr, nullptr, &time);
    }
  }
  if (entry.attributes) {
    // Only the plain file attributes; the high half may hold a Unix mode.
    constexpr DWORD kSettable =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
    DWORD attributes = *entry.attributes & kSettable;
    if (attributes != 0) SetFileAttributesW(path.c_str(), attributes);
  }
}

void WindowsTarget::prepareReplace(const std::filesystem::path& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace kox::archive
