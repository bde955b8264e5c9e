#include "engine/dialogs/content_files.h"

#include <gtest/gtest.h>

#include <set>

namespace kox {
namespace {

FileExists existing(std::set<std::string> files) {
  return [files = std::move(files)](const std::string& path) { return files.contains(path); };
}

TEST(ContentFiles, TheLanguageFileComesFirst) {
  const auto french = findContentFile(ContentControl::Memo, 1, "French", "C:\\Temp\\kox1",
                                      existing({"C:\\Temp\\kox1\\readme.French.txt", "C:\\Temp\\kox1\\readme.txt"}));
  ASSERT_TRUE(french);
  EXPECT_EQ(french->path, "C:\\Temp\\kox1\\readme.French.txt");

  const auto fallback =
      findContentFile(ContentControl::Memo, 1, "French", "C:\\Temp\\kox1\\", existing({"C:\\Temp\\kox1\\readme.txt"}));
  EXPECT_EQ(fallback->path, "C:\\Temp\\kox1\\readme.txt");
}

TEST(ContentFiles, RichEditsPreferRtfInEachLanguage) {
  const std::string folder = "S";
  struct Case {
    std::set<std::string> files;
    const char* chosen;
  };
  const Case cases[] = {
      {{"S\\license.txt", "S\\license.de.rtf", "S\\license.rtf"}, "S\\license.de.rtf"},
      {{"S\\license.txt", "S\\license.rtf", "S\\license.de.txt"}, "S\\license.rtf"},
      {{"S\\license.txt", "S\\license.de.txt"}, "S\\license.de.txt"},
      {{"S\\license.txt"}, "S\\license.txt"},
  };
  for (const Case& c : cases) {
    const auto choice = findContentFile(ContentControl::RichEdit, 2, "de", folder, existing(c.files));
    EXPECT_EQ(choice->path, c.chosen);
  }
}

TEST(ContentFiles, MissingFilesGiveTheAuthorHint) {
  struct Case {
    ContentControl control;
    int tag;
    const char* text;
  };
  const Case cases[] = {
      {ContentControl::Memo, 1,
       "Add a readme.en.txt or readme.txt file to your project as a support file/creative to display it here."},
      {ContentControl::Memo, 2,
       "Add a license.en.txt or license.txt file to your project as a support file/creative to display it here."},
      {ContentControl::RichEdit, 1,
       "Add a readme.en.rtf or readme.rtf, or readme.en.txt or readme.txt file to your project as a support "
       "file/creative to display it here."},
      {ContentControl::HtmlViewer, 1,
       "Add an index.htm file to your project to display it here, along with any other additional support/linked "
       "files."},
      {ContentControl::FlashFrame, 1, "Add a movie.swf file to your project to display it here."},
  };
  for (const Case& c : cases) {
    const auto choice = findContentFile(c.control, c.tag, "en", "S", existing({}));
    ASSERT_TRUE(choice);
    EXPECT_FALSE(choice->path);
    EXPECT_EQ(choice->missingText, c.text);
  }
}

TEST(ContentFiles, NoLanguageTriesADoubleDotName) {
  std::vector<std::string> asked;
  const auto choice = findContentFile(ContentControl::HtmlViewer, 1, "", "S", [&](const std::string& path) {
    asked.push_back(path);
    return false;
  });
  EXPECT_EQ(asked, (std::vector<std::string>{"S\\index..htm", "S\\index.htm"}));
  EXPECT_FALSE(choice->path);
}

TEST(ContentFiles, OtherControlsAndTagsLoadNothing) {
  EXPECT_FALSE(contentFileRule(ContentControl::Memo, 0, "en"));
  EXPECT_FALSE(contentFileRule(ContentControl::Memo, 3, "en"));
  EXPECT_FALSE(contentFileRule(ContentControl::HtmlViewer, 2, "en"));
  EXPECT_FALSE(findContentFile(ContentControl::FlashFrame, 0, "en", "S", existing({"S\\movie.swf"})));
}

}  // namespace
}  // namespace kox
