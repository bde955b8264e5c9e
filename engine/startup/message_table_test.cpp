#include "engine/startup/message_table.h"

#include <gtest/gtest.h>

#include "engine/startup/language_names.h"

namespace kox {
namespace {

// A 115-line block whose every kept line n reads "<tag> n".
std::string block(const std::string& tag) {
  std::string text;
  for (int n = 1; n <= kMessageBlockLines; ++n) text += tag + " " + std::to_string(n) + "\r\n";
  return text;
}

TEST(MessageTable, EnglishDefaults) {
  MessageTable table;
  EXPECT_EQ(table.text(2), "Setup resource not found");
  EXPECT_EQ(table.text(5), "Runtime error in install: ");
  EXPECT_EQ(table.text(23), "Velmora Wizard");
  EXPECT_EQ(table.text(54), "");
  EXPECT_EQ(table.text(87), "Accept ranges");
  EXPECT_EQ(table.text(90), "Please select the language to use during the installation:");
  EXPECT_EQ(table.text(100), "");
  EXPECT_EQ(table.text(112), "Unable to play Flash movie");
  EXPECT_EQ(table.text(115), "Entire feature will be &unavailable");
  EXPECT_EQ(table.text(0), "");
  EXPECT_EQ(table.text(116), "");
}

TEST(MessageTable, SingleBlockReplacesTextsButNotDiscardedLines) {
  MessageTable table;
  table.applyLanguageFile(block("D"), "French");
  EXPECT_EQ(table.text(1), "D 1");
  EXPECT_EQ(table.text(90), "D 90");
  EXPECT_EQ(table.text(100), "");
  EXPECT_EQ(table.text(112), "D 112");
}

TEST(MessageTable, NamedBlocksStopAtTheUsersLanguage) {
  const std::string file = block("D") + "French\r\n" + block("F") + "German\r\n" + block("G");
  struct Case { const char* language; const char* text2; };
  const Case cases[] = {
      {"French", "F 2"},
      {"FRENCH", "F 2"},
      {"German", "G 2"},
      {"Japanese", "G 2"},  // no match: the last block read stays
  };
  for (const auto& c : cases) {
    MessageTable table;
    table.applyLanguageFile(file, c.language);
    EXPECT_EQ(table.text(2), c.text2) << c.language;
  }
}

TEST(MessageTable, TruncatedBlockKeepsTheTextsItDoesNotReach) {
  MessageTable table;
  table.applyLanguageFile("first\r\nsecond\r\n", "English");
  EXPECT_EQ(table.text(1), "first");
  EXPECT_EQ(table.text(2), "second");
  EXPECT_EQ(table.text(3), "Setup resource decompression failure");
}

TEST(MessageTable, EmptyFileChangesNothing) {
  MessageTable table;
  table.applyLanguageFile("", "English");
  EXPECT_EQ(table.text(4), "Setup database not found");
}

TEST(LanguageNames, TableBothWays) {
  EXPECT_EQ(tableLanguageName(1036), "French");
  EXPECT_EQ(tableLanguageName(2070), "Portugese (Portugal)");
  EXPECT_EQ(languageIdFromName("chinese (prc)"), 2052);
  EXPECT_EQ(languageIdFromName("Klingon"), 1033);
}

TEST(LanguageNames, UnknownIdentifierGoesThroughTheLocaleName) {
  auto locale = [](int id) -> std::string { return id == 2055 ? "German" : ""; };  // Swiss German
  EXPECT_EQ(languageName(2055, locale), "German");
  EXPECT_EQ(languageName(9999, locale), "English");
  EXPECT_EQ(languageName(1041, nullptr), "Japanese");
  EXPECT_EQ(languageName(4103, [](int) -> std::string { return "Luxembourgish"; }), "English");
}

}  // namespace
}  // namespace kox
