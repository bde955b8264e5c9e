#include "engine/script/translations.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "engine/base/error.h"
#include "engine/base/text.h"

namespace kox {

std::vector<std::string> readLinesIfPresent(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return {};
  std::ifstream in(file, std::ios::binary);
  if (!in) throw EngineError("Failed to open the translation table " + file.string());
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EngineError("Failed to read the translation table " + file.string());
  std::vector<std::string> lines;
  for (std::string_view line : splitLines(text)) lines.emplace_back(line);
  return lines;
}

TranslationTables::TranslationTables(std::vector<std::string> keys, std::vector<std::string> translated,
                                     std::vector<std::string> original, std::vector<std::string> dialogMap)
    : keys_(std::move(keys)),
      translated_(std::move(translated)),
      original_(std::move(original)),
      dialogMap_(std::move(dialogMap)) {}

TranslationTables TranslationTables::load(const std::filesystem::path& supportFolder, std::string_view productTitle,
                                          std::string_view language) {
  return TranslationTables(readLinesIfPresent(supportFolder / (std::string(productTitle) + ".mtx")),
                           readLinesIfPresent(supportFolder / ("translations." + std::string(language))),
                           readLinesIfPresent(supportFolder / "translations.Original"),
                           readLinesIfPresent(supportFolder / "translations.Map"));
}

std::string TranslationTables::translatedParameter(std::string_view currentValue, std::string_view key, size_t k,
                                                   const BuildConstants& constants) const {
  std::string result(currentValue);
  const std::string mode = constants.expand("#LOCMODE#");
  if (equalsIgnoreCase(mode, "VARSONLY") &&
      (key.find("ZOZIVORA$") == std::string_view::npos || key.find("$ZOZIVORA") == std::string_view::npos))
    return result;

  size_t keyLine = keys_.find(key);
  if (keyLine == std::string::npos || k == 0) return result;
  const size_t line = keyLine + k - 1;
  if (mode == "NEWONLY" && (line >= original_.size() || original_[line] != currentValue)) return result;
  if (line >= translated_.size()) return result;
  return constants.expand(translated_[line]);
}

}  // namespace kox
