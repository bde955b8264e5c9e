#include "engine/startup/trace_log.h"

#include <windows.h>

#include <vector>

#include "engine/base/win/handle.h"

namespace kox {
namespace {

bool isWindowsNt() { return (GetVersion() & 0x80000000u) == 0; }

void appendUtf16(const std::string& path, std::string_view text) {
  std::string withBreak = std::string(text) + "\r\n";
  int wideLength = MultiByteToWideChar(CP_ACP, 0, withBreak.data(), static_cast<int>(withBreak.size()), nullptr, 0);
  if (wideLength <= 0) return;
  std::vector<wchar_t> wide(wideLength);
  MultiByteToWideChar(CP_ACP, 0, withBreak.data(), static_cast<int>(withBreak.size()), wide.data(), wideLength);
  win::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  if (SetFilePointer(file.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return;
  DWORD written = 0;
  WriteFile(file.get(), wide.data(), static_cast<DWORD>(wide.size() * sizeof(wchar_t)), &written, nullptr);
}

void appendAnsi(const std::string& path, std::string_view text) {
  win::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  SetFilePointer(file.get(), 0, nullptr, FILE_END);
  std::string withBreak = std::string(text) + "\r\n";
  DWORD written = 0;
  WriteFile(file.get(), withBreak.data(), static_cast<DWORD>(withBreak.size()), &written, nullptr);
}

}  // namespace

void TraceLog::setPath(std::string path) {
  std::lock_guard lock(mutex_);
  path_ = std::move(path);
}

std::string TraceLog::path() const {
  std::lock_guard lock(mutex_);
  return path_;
}

void TraceLog::line(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (path_.empty()) return;
  if (firstWrite_) {
    firstWrite_ = false;
    win::UniqueHandle created(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  if (isWindowsNt())
    appendUtf16(path_, text);
  else
    appendAnsi(path_, text);
}

TraceLog& traceLog() {
  static TraceLog log;
  return log;
}

}  // namespace kox
