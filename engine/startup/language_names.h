// Windows language identifiers and their English language names.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kox {

inline constexpr int kEnglishLanguageId = 1033;

// Identifier for a name of the table (letter case ignored); 1033 when the
// name is not in the table.
int languageIdFromName(std::string_view name);

// Name of an identifier of the table; "" when it is not in the table.
std::string tableLanguageName(int languageId);

// Name for any identifier. One that is not in the table is resolved through
// the locale's English language name (asked of the system through
// localeEnglishName), mapped to an identifier by the table, and named; when
// that fails the name is "English".
std::string languageName(int languageId, const std::function<std::string(int)>& localeEnglishName);

}  // namespace kox
