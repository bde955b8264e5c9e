// Host build: no code pages to select, letter case in ASCII.
#include "engine/base/text.h"
#include "engine/script/values/platform_text.h"

namespace kox {

void selectAnsiFileApis() {}
std::string upperCaseForLocale(std::string_view text) { return toUpperAscii(text); }
std::string lowerCaseForLocale(std::string_view text) { return toLowerAscii(text); }

}  // namespace kox
