// Translation tables of the chosen language, loaded from the support folder:
//   <product title>.mtx       the key table, one key (command identifier) per command
//   translations.<language>   the translated texts
//   translations.Original     the untranslated texts
//   translations.Map          the dialog names (used by the dialog engine)
// The first three are aligned line by line: for a key at line i, the texts of
// parameter k are at line i + k - 1 of the other two.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "engine/script/build_constants.h"
#include "engine/script/parameter_store.h"

namespace kox {

class TranslationTables {
 public:
  TranslationTables() = default;
  TranslationTables(std::vector<std::string> keys, std::vector<std::string> translated,
                    std::vector<std::string> original, std::vector<std::string> dialogMap = {});

  // Reads the four files. A file that does not exist gives an empty table
  // (so nothing is translated through it); a file that exists but cannot be
  // read throws EngineError naming it.
  static TranslationTables load(const std::filesystem::path& supportFolder, std::string_view productTitle,
                                std::string_view language);

  // The text of translatable parameter k (1 or 2) of the command with this
  // key, given its current value. The translation mode is "#LOCMODE#":
  //   "VARSONLY" (any case)  only keys holding "ZOZIVORA$" and "$ZOZIVORA" translate;
  //   "NEWONLY"             only a value still equal (case-sensitively) to its
  //                         untranslated text is replaced;
  //   anything else         the translated text always replaces the value.
  // The translated text has its build constants expanded. A key that is not
  // in the table, or a line the tables do not have, keeps the current value.
  std::string translatedParameter(std::string_view currentValue, std::string_view key, size_t k,
                                  const BuildConstants& constants) const;

  bool empty() const { return keys_.size() == 0; }
  const std::vector<std::string>& keys() const { return keys_.lines(); }
  const std::vector<std::string>& translated() const { return translated_; }
  const std::vector<std::string>& original() const { return original_; }
  const std::vector<std::string>& dialogMap() const { return dialogMap_; }

 private:
  IndexedLines keys_;
  std::vector<std::string> translated_;
  std::vector<std::string> original_;
  std::vector<std::string> dialogMap_;
};

// The lines of a text file (LF or CR LF line ends); an empty list when the
// file does not exist. Throws EngineError when it exists but cannot be read.
std::vector<std::string> readLinesIfPresent(const std::filesystem::path& file);

}  // namespace kox
