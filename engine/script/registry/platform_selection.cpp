#include "engine/script/registry/platform_selection.h"

#include "engine/script/values/platform_mode.h"

namespace kox {

std::string selectPlatformMode(std::string_view current, std::string_view win32, std::string_view ia64,
                               std::string_view x64) {
  std::string_view mode = current;
  if (win32 == "TRUE") mode = kPlatformWin32;
  if (ia64 == "TRUE") mode = kPlatformIa64;
  if (x64 == "TRUE") mode = kPlatformX64;
  return std::string(mode);
}

}  // namespace kox
