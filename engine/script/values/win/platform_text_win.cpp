#include <windows.h>

#include "engine/script/values/platform_text.h"

namespace kox {

void selectAnsiFileApis() { SetFileApisToANSI(); }

std::string upperCaseForLocale(std::string_view text) {
  std::string result(text);
  if (!result.empty()) CharUpperBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

std::string lowerCaseForLocale(std::string_view text) {
  std::string result(text);
  if (!result.empty()) CharLowerBuffA(result.data(), static_cast<DWORD>(result.size()));
  return result;
}

}  // namespace kox
