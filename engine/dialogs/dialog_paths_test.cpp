#include "engine/dialogs/dialog_paths.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/base/text.h"

namespace kox {
namespace {

TEST(DialogPaths, CollapseBackslashes) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"", ""},
      {"C:\\\\Program Files\\\\App", "C:\\Program Files\\App"},
      {"C:\\Program Files\\App", "C:\\Program Files\\App"},
      {"\\\\server\\share", "\\\\server\\share"},          // a network path keeps its double backslash
      {"\\\\\\\\server\\\\share", "\\\\\\server\\share"},  // four in front: pairs collapse, one goes back in front
      {"a\\\\\\b", "a\\\\b"},                               // three: the pair collapses, the single stays
      {"\\", "\\"},
      {"\\\\", "\\\\"},
      {"dir\\", "dir\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(collapseBackslashes(c.in), c.out) << c.in;
}

TEST(DialogPaths, FolderPart) {
  EXPECT_EQ(folderPart("C:\\a\\b"), "C:\\a\\");
  EXPECT_EQ(folderPart("C:"), "C:");
  EXPECT_EQ(folderPart("C:x"), "C:");
  EXPECT_EQ(folderPart("name"), "");
}

class FakeFolders {
 public:
  explicit FakeFolders(std::set<std::string> folders) : folders_(std::move(folders)) {}
  FolderExists exists() {
    return [this](const std::string& folder) {
      asked.push_back(folder);
      std::string key = toLowerAscii(folder);
      if (key.size() > 3 && key.back() == '\\') key.pop_back();
      return folders_.contains(key);
    };
  }
  std::vector<std::string> asked;

 private:
  std::set<std::string> folders_;
};

TEST(DialogPaths, BrowseStartFolderWalksUpToAnExistingFolder) {
  FakeFolders folders({"c:\\", "c:\\program files"});
  EXPECT_EQ(browseStartFolder("C:\\\\Program Files\\\\Norvale\\\\bin", folders.exists()), "C:\\Program Files\\");
  EXPECT_EQ(browseStartFolder("C:\\Program Files", folders.exists()), "C:\\Program Files");
  EXPECT_EQ(browseStartFolder("C:\\Other\\Deep\\", folders.exists()), "C:\\");
  // Nothing exists: the walk stops where it no longer changes.
  EXPECT_EQ(browseStartFolder("Q:\\x\\y", folders.exists()), "Q:\\");
  EXPECT_EQ(browseStartFolder("relative", folders.exists()), "");
  EXPECT_EQ(browseStartFolder("", folders.exists()), "");
}

TEST(DialogPaths, TargetTailIsThePartBelowTheNearestExistingFolder) {
  FakeFolders folders({"c:\\", "c:\\program files"});
  EXPECT_EQ(targetTail("C:\\Program Files\\Norvale Document Converter", folders.exists()),
            "Norvale Document Converter");
  EXPECT_EQ(targetTail("C:\\Program Files\\Norvale\\Sub", folders.exists()), "Norvale\\Sub");
  EXPECT_EQ(targetTail("C:\\Program Files", folders.exists()), "");
  EXPECT_EQ(targetTail("relative\\path", folders.exists()), "");
  EXPECT_EQ(targetTail("", folders.exists()), "");
}

}  // namespace
}  // namespace kox
