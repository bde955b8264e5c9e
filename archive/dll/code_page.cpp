#include "archive/dll/code_page.h"

#include <windows.h>

namespace kox::archive {

std::u16string ansiToUtf16(const std::string& text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::u16string result(static_cast<size_t>(length), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<wchar_t*>(result.data()),
                      length);
  return result;
}

std::string utf16ToAnsi(const std::u16string& text) {
  if (text.empty()) return {};
  auto wide = reinterpret_cast<const wchar_t*>(text.data());
  int length = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), result.data(), length, nullptr, nullptr);
  return result;
}

}  // namespace kox::archive
