#include "engine/startup/language_names.h"

#include "engine/base/text.h"

namespace kox {
namespace {

struct LanguageEntry {
  int id;
  const char* name;
};

// The names are the ones language files use; "Portugese" is spelled as they spell it.
constexpr LanguageEntry kLanguages[] = {
    {1025, "Arabic"},           {1027, "Catalan"},   {1028, "Chinese (Taiwan)"},
    {2052, "Chinese (PRC)"},    {1029, "Czech"},     {1030, "Danish"},
    {1031, "German"},           {1032, "Greek"},     {1033, "English"},
    {3082, "Spanish"},          {1061, "Estonian"},  {1035, "Finnish"},
    {1036, "French"},           {1037, "Hebrew"},    {1038, "Hungarian"},
    {1040, "Italian"},          {1041, "Japanese"},  {1042, "Korean"},
    {1063, "Lithuanian"},       {1062, "Latvian"},   {1043, "Dutch"},
    {1044, "Norwegian"},        {1045, "Polish"},    {1046, "Portugese (Brazil)"},
    {2070, "Portugese (Portugal)"}, {1048, "Romanian"}, {1049, "Russian"},
    {1050, "Croatian"},         {1051, "Slovak"},    {1053, "Swedish"},
    {1054, "Thai"},             {1055, "Turkish"},   {1060, "Slovenian"},
    {1066, "Vietnamese"},       {1069, "Basque"},
};

}  // namespace

int languageIdFromName(std::string_view name) {
  for (const auto& entry : kLanguages)
    if (equalsIgnoreCase(name, entry.name)) return entry.id;
  return kEnglishLanguageId;
}

std::string tableLanguageName(int languageId) {
  for (const auto& entry : kLanguages)
    if (entry.id == languageId) return entry.name;
  return {};
}

std::string languageName(int languageId, const std::function<std::string(int)>& localeEnglishName) {
  std::string name = tableLanguageName(languageId);
  if (!name.empty()) return name;
  if (localeEnglishName) {
    std::string english = localeEnglishName(languageId);
    if (!english.empty()) {
      name = tableLanguageName(languageIdFromName(english));
      if (!name.empty()) return name;
    }
  }
  return tableLanguageName(kEnglishLanguageId);
}

}  // namespace kox
