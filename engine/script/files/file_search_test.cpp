#include "engine/script/files/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/script/files/posix_directory_source.h"
#include "engine/script/files/testing/memory_file_system.h"
#include "engine/script/files/tree_removal.h"

namespace kox {
namespace {

using Lines = std::vector<std::string>;
using testing::MemoryFileSystem;

// R\a.txt, R\Sub (with Sub\b.txt, Sub\Deep\c.txt, Sub\d.log), R\e.log, R\Empty
MemoryFileSystem sampleTree() {
  MemoryFileSystem fs;
  fs.addFolder("R");
  fs.addFile("R\\a.txt");
  fs.addFolder("R\\Sub");
  fs.addFile("R\\Sub\\b.txt");
  fs.addFolder("R\\Sub\\Deep");
  fs.addFile("R\\Sub\\Deep\\c.txt");
  fs.addFile("R\\Sub\\d.log");
  fs.addFile("R\\e.log");
  fs.addFolder("R\\Empty");
  return fs;
}

TEST(FileSearch, OrderSubfoldersFirstThenFolderThenMatchingFiles) {
  MemoryFileSystem fs = sampleTree();
  struct Case {
    bool subfolders, folders;
    const char* mask;
    Lines expected;
  };
  const Case cases[] = {
      {true, true, "*.txt",
       {"R\\Sub\\Deep\\c.txt", "R\\Sub\\Deep", "R\\Sub\\b.txt", "R\\Sub", "R\\Empty", "R\\a.txt"}},
      {true, false, "*.txt", {"R\\Sub\\Deep\\c.txt", "R\\Sub\\b.txt", "R\\a.txt"}},
      {false, true, "*.*", {"R\\Sub", "R\\Empty", "R\\a.txt", "R\\e.log"}},
      {false, false, "*.log", {"R\\e.log"}},
      {true, false, "nothing", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(findFiles({std::string("R\\") + c.mask, c.subfolders, c.folders}, fs), c.expected) << c.mask;
  }
}

TEST(FileSearch, MissingFolderGivesNothing) {
  MemoryFileSystem fs = sampleTree();
  EXPECT_TRUE(findFiles({"R\\Missing\\*.*", true, true}, fs).empty());
}

TEST(FileSearch, LinksAreListedButNotEntered) {
  MemoryFileSystem fs;
  fs.addFolder("R");
  fs.addLink("R\\Loop");
  fs.addFile("R\\Loop\\inside.txt");  // what the link points at
  fs.addFile("R\\x.txt");
  EXPECT_EQ(findFiles({"R\\*.*", true, true}, fs), (Lines{"R\\Loop", "R\\x.txt"}));
}

TEST(FileSearch, ObserverSeesFoldersAndEntriesAndStops) {
  MemoryFileSystem fs = sampleTree();
  struct Counter : FileSearchObserver {
    int folders = 0;
    Lines added;
    size_t stopAfter = 1000;
    void folderVisited() override { ++folders; }
    void entryAdded(const std::string& path) override { added.push_back(path); }
    bool stopRequested() const override { return added.size() >= stopAfter; }
  } counter;
  Lines found = findFiles({"R\\*.*", true, false}, fs, &counter);
  EXPECT_EQ(counter.folders, 4);  // R, Sub, Deep, Empty
  EXPECT_EQ(counter.added, found);

  Counter stopping;
  stopping.stopAfter = 2;
  EXPECT_EQ(findFiles({"R\\*.*", true, false}, fs, &stopping).size(), 2u);
}

TEST(FileSearch, QuotingOfListEntries) {
  struct Case {
    std::string entry, expected;
  };
  const Case cases[] = {
      {"C:\\plain\\file.txt", "C:\\plain\\file.txt"},
      {"C:\\with space\\f", "\"C:\\with space\\f\""},
      {"C:\\say \"hi\"", "\"C:\\say \"\"hi\"\"\""},
      {"a|b", "\"a|b\""},
      {std::string("tab\there"), "\"tab\there\""},
      {"caf\xE9", "caf\xE9"},  // ANSI letters need no quotes
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(quotedListEntry(c.entry), c.expected) << c.entry;
  EXPECT_EQ(joinFileList({"C:\\a b\\x", "C:\\c"}), "\"C:\\a b\\x\"|C:\\c");
  EXPECT_EQ(joinFileList({}), "");
}

TEST(FileSearch, WildcardMatch) {
  struct Case {
    const char *mask, *name;
    bool matches;
  };
  const Case cases[] = {
      {"*.*", "noextension", true}, {"*", "x", true},           {"*.TXT", "a.txt", true},
      {"a?c", "abc", true},         {"a?c", "ac", false},        {"*.txt", "a.txt.bak", false},
      {"a*b*c", "axxbyyc", true},   {"a*b*c", "axxbyy", false},  {"readme", "README", true},
  };
  for (const Case& c : cases) EXPECT_EQ(wildcardMatch(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

TEST(TreeRemoval, DeletesLastFirstAndLeavesTheRoot) {
  MemoryFileSystem fs = sampleTree();
  int passes = removeMatching("R\\*.*", fs, fs);
  EXPECT_TRUE(fs.exists("R"));
  for (const char* gone : {"R\\a.txt", "R\\Sub", "R\\Sub\\Deep\\c.txt", "R\\Empty", "R\\e.log"}) {
    EXPECT_FALSE(fs.exists(gone)) << gone;
  }
  // Going backwards reaches Sub before Deep, so Sub only goes in the second
  // pass; the third finds nothing left.
  EXPECT_EQ(passes, 3);
  // Files of the first pass go last entry first, then the folders.
  ASSERT_GE(fs.attempts.size(), 2u);
  EXPECT_EQ(fs.attempts.front(), "file R\\e.log");
}

TEST(TreeRemoval, MaskOnlySelectsFilesButFoldersAreRemovedWhenEmptied) {
  MemoryFileSystem fs = sampleTree();
  removeMatching("R\\*.txt", fs, fs);
  EXPECT_TRUE(fs.exists("R\\e.log"));
  EXPECT_TRUE(fs.exists("R\\Sub\\d.log"));
  EXPECT_TRUE(fs.exists("R\\Sub"));  // still holds d.log
  EXPECT_FALSE(fs.exists("R\\Sub\\Deep"));
  EXPECT_FALSE(fs.exists("R\\Empty"));
  EXPECT_FALSE(fs.exists("R\\a.txt"));
}

TEST(TreeRemoval, RepeatsWhileAPassRemovesSomething) {
  MemoryFileSystem fs = sampleTree();
  fs.addFolder("R\\Busy");
  fs.addFile("R\\Busy\\f.txt");
  fs.lockFor("R\\Busy\\f.txt", 2);  // in use during the first two passes
  int passes = removeMatching("R\\*.*", fs, fs);
  EXPECT_FALSE(fs.exists("R\\Busy\\f.txt"));
  EXPECT_FALSE(fs.exists("R\\Busy"));
  EXPECT_EQ(passes, 4);

  // A pass that removes nothing ends the command even if the entry would go later.
  MemoryFileSystem stubborn;
  stubborn.addFolder("R");
  stubborn.addFile("R\\x.txt");
  stubborn.lockFor("R\\x.txt", 2);
  EXPECT_EQ(removeMatching("R\\*.*", stubborn, stubborn), 1);
  EXPECT_TRUE(stubborn.exists("R\\x.txt"));

  MemoryFileSystem stuck = sampleTree();
  stuck.lockFor("R\\a.txt", 1000);  // never deletable: the passes still end
  removeMatching("R\\*.*", stuck, stuck);
  EXPECT_TRUE(stuck.exists("R\\a.txt"));
  EXPECT_FALSE(stuck.exists("R\\Sub"));
}

TEST(TreeRemoval, LinkIsRemovedWithoutTouchingItsTarget) {
  MemoryFileSystem fs;
  fs.addFolder("R");
  fs.addLink("R\\Link");
  fs.addFile("R\\Link\\precious.txt");
  removeMatching("R\\*.*", fs, fs);
  EXPECT_FALSE(fs.exists("R\\Link"));
  for (const std::string& attempt : fs.attempts) EXPECT_EQ(attempt.find("precious"), std::string::npos) << attempt;
}

TEST(TreeRemoval, VolumeRoots) {
  for (const char* root : {"", "\\", "C:", "c:\\", "\\\\server\\share", "\\\\server\\share\\", "\\\\server",
                           "\\\\?\\C:"}) {
    EXPECT_TRUE(isVolumeRoot(root)) << root;
  }
  for (const char* folder : {"C:\\Program Files", "\\\\server\\share\\dir", "dir", "C:\\a\\b"}) {
    EXPECT_FALSE(isVolumeRoot(folder)) << folder;
  }
  EXPECT_EQ(patternFolder("C:\\a\\*.*", '\\'), "C:\\a");
  EXPECT_EQ(patternFolder("*.*", '\\'), "");
}

TEST(FileSearch, PosixSourceOverARealTree) {
  namespace fs = std::filesystem;
  fs::path root = fs::temp_directory_path() / "kox_file_search_posix";
  fs::remove_all(root);
  fs::create_directories(root / "with space" / "deep");
  std::ofstream(root / "with space" / "deep" / "x.txt") << "x";
  std::ofstream(root / "top.TXT") << "t";
  std::ofstream(root / "skip.log") << "s";
  fs::create_directory_symlink(root, root / "loop");

  PosixDirectorySource source;
  Lines found = findFiles({root.string() + "/*.txt", true, true}, source);
  std::sort(found.begin(), found.end());
  const std::string r = root.string();
  EXPECT_EQ(found, (Lines{r + "/loop", r + "/top.TXT", r + "/with space", r + "/with space/deep",
                          r + "/with space/deep/x.txt"}));
  fs::remove_all(root);
}

}  // namespace
}  // namespace kox
