#include "engine/script/translations.h"

#include <gtest/gtest.h>

#include <fstream>

namespace kox {
namespace {

// Keys for two commands; {B} has two translatable parameters.
TranslationTables tables() {
  return TranslationTables({"{A}", "{B}", "", "ZOZIVORA$x$ZOZIVORA"},
                           {"Willkommen", "Titel #PRODUCT#", "Untertitel", "Wert"},
                           {"Welcome", "Title #PRODUCT#", "Subtitle", "Value"});
}

struct Case {
  const char* mode;  // value of #LOCMODE#, nullptr for none
  const char* value;
  const char* key;
  size_t k;
  const char* expected;
};

TEST(Translations, TranslatedParameterByMode) {
  const Case cases[] = {
      {nullptr, "Welcome", "{A}", 1, "Willkommen"},
      {nullptr, "changed", "{a}", 1, "Willkommen"},            // keys ignore letter case
      {nullptr, "x", "{B}", 1, "Titel Widget"},                // build constants expanded
      {nullptr, "x", "{B}", 2, "Untertitel"},
      {nullptr, "x", "{MISSING}", 1, "x"},
      {nullptr, "x", "{B}", 0, "x"},
      {nullptr, "x", "ZOZIVORA$x$ZOZIVORA", 2, "x"},           // beyond the tables: unchanged
      {"ALL", "x", "{A}", 1, "Willkommen"},
      {"NEWONLY", "Welcome", "{A}", 1, "Willkommen"},
      {"NEWONLY", "My own text", "{A}", 1, "My own text"},     // edited since: kept
      {"NEWONLY", "welcome", "{A}", 1, "welcome"},             // compared case-sensitively
      {"NEWONLY", "Title #PRODUCT#", "{B}", 1, "Titel Widget"},
      {"VARSONLY", "Welcome", "{A}", 1, "Welcome"},
      {"varsonly", "Welcome", "{A}", 1, "Welcome"},
      {"VARSONLY", "v", "ZOZIVORA$x$ZOZIVORA", 1, "Wert"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> pairs{"PRODUCT", "Widget"};
    if (c.mode) pairs.insert(pairs.end(), {"LOCMODE", c.mode});
    BuildConstants constants(pairs);
    EXPECT_EQ(tables().translatedParameter(c.value, c.key, c.k, constants), c.expected)
        << (c.mode ? c.mode : "-") << " " << c.value << " " << c.key << " " << c.k;
  }
}

TEST(Translations, LoadFromTheSupportFolder) {
  namespace fs = std::filesystem;
  fs::path folder = fs::temp_directory_path() / ("kox_translations_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(folder);
  auto write = [&](const char* name, const char* text) { std::ofstream(folder / name, std::ios::binary) << text; };
  write("My Product.mtx", "{A}\r\n{B}\r\n");
  write("translations.German", "Hallo\r\nTitel\r\n");
  write("translations.Original", "Hello\r\nTitle\r\n");

  TranslationTables loaded = TranslationTables::load(folder, "My Product", "German");
  EXPECT_EQ(loaded.keys(), (std::vector<std::string>{"{A}", "{B}"}));
  EXPECT_EQ(loaded.translated(), (std::vector<std::string>{"Hallo", "Titel"}));
  EXPECT_EQ(loaded.original(), (std::vector<std::string>{"Hello", "Title"}));
  EXPECT_TRUE(loaded.dialogMap().empty());  // no translations.Map: an empty table
  EXPECT_EQ(loaded.translatedParameter("Title", "{b}", 1, BuildConstants()), "Titel");

  TranslationTables none = TranslationTables::load(folder, "My Product", "French");
  EXPECT_EQ(none.translatedParameter("Hello", "{A}", 1, BuildConstants()), "Hello");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kox
