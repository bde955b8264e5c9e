#include "engine/base/win/handle.h"

namespace kox::win {

std::string systemErrorText(DWORD code) {
  char* buffer = nullptr;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = (length && buffer) ? std::string(buffer, length) : std::string();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (text.empty()) text = "system error " + std::to_string(code);
  return text;
}

}  // namespace kox::win
