#include "engine/script/values/string_commands.h"

#include <gtest/gtest.h>

#include "engine/script/values/long_path.h"
#include "engine/script/values/string_surgery.h"
#include "engine/script/values/test_command_context.h"

namespace kox {
namespace {

using testing::TestCommandContext;

constexpr const char* kForty = "0123456789abcdefghijklmnopqrstuvwxyzABCD";

TEST(ParseText, CutsByModeAsTheTableSays) {
  struct Case {
    const char* source;
    const char* pattern;
    int64_t mode;
    const char* first;
    const char* second;
  };
  const Case cases[] = {
      {"key=value=more", "=", 0, "key", "value=more"},
      {"key=value=more", "=", 1, "key=value", "more"},
      {"key::value", "::", 0, "key", "value"},
      {"no match here", "#", 0, "no match here", ""},  // whole text first
      {"no match here", "#", 1, "", "no match here"},  // whole text second
      {"abc", "", 0, "abc", ""},                       // an empty pattern never matches
      {"abc", "", 1, "", "abc"},
      {kForty, "31", 2, "0123456789abcdefghijklmnopqrstu", "vwxyzABCD"},
      {kForty, "0", 2, "", kForty},
      {kForty, "40", 2, kForty, ""},
      {kForty, "99", 2, kForty, ""},
      {kForty, "-3", 2, "", kForty},
      {kForty, "9", 3, "0123456789abcdefghijklmnopqrstu", "vwxyzABCD"},
      {kForty, "40", 3, "", ""},  // the cut lands on 0: both empty
      {kForty, "0", 3, kForty, ""},
      {kForty, "41", 3, "", kForty},
      {kForty, "-5", 3, kForty, ""},
      {kForty, "9223372036854775807", 2, kForty, ""},
      {kForty, "-9223372036854775808", 3, kForty, ""},
      {"a=b", "=", 4, "", ""},  // unknown mode
      {"a=b", "=", -1, "", ""},
      {"", "=", 0, "", ""},
  };
  for (const Case& c : cases) {
    ParsedParts parts = ParseText(c.source, c.pattern, {c.mode, false, false});
    EXPECT_EQ(parts.first, c.first) << c.source << " / " << c.pattern << " / mode " << c.mode;
    EXPECT_EQ(parts.second, c.second) << c.source << " / " << c.pattern << " / mode " << c.mode;
  }
}

TEST(ParseText, IgnoreCaseFindsThePatternButKeepsTheSourceCase) {
  ParsedParts parts = ParseText("Hello WORLD and World", "world", {0, false, true});
  EXPECT_EQ(parts.first, "Hello ");
  EXPECT_EQ(parts.second, " and World");
  parts = ParseText("Hello WORLD and World", "world", {1, false, true});
  EXPECT_EQ(parts.first, "Hello WORLD and ");
  EXPECT_EQ(parts.second, "");
  parts = ParseText("Hello WORLD", "world", {0, false, false});
  EXPECT_EQ(parts.first, "Hello WORLD");  // case-sensitive: no match
}

TEST(ParseText, TrimRemovesBlanksAndControlCharacters) {
  ParsedParts parts = ParseText(" \tname \r\n= \x01value ", "=", {0, true, false});
  EXPECT_EQ(parts.first, "name");
  EXPECT_EQ(parts.second, "value");
}

TEST(ParseText, CountingModesNeedANumber) {
  EXPECT_THROW(ParseText("abc", "x", {2, false, false}), EngineError);
  EXPECT_THROW(ParseText("abc", "", {3, false, false}), EngineError);
}

TEST(ParseStringCommand, WritesBothPartsFromPathValues) {
  TestCommandContext context("Parse String", {"$PATH$", "\\", "folder", "$file$", "1", "FALSE", "FALSE"});
  context.variables().Put("PATH", "C:\\\\Program Files\\\\App\\\\setup.exe");
  ParseStringCommand(context);
  EXPECT_EQ(context.get("FOLDER"), "C:\\Program Files\\App");
  EXPECT_EQ(context.storedName("folder"), "FOLDER");
  // P4 is a plain name: "$file$" is the variable's name as written.
  EXPECT_EQ(context.get("$FILE$"), "setup.exe");
  EXPECT_EQ(context.writes.back().context, "Parse String Action");
}

TEST(ParseStringCommand, EmptyNamesAreNeitherCreatedNorWritten) {
  TestCommandContext context("Parse String", {"a-b", "-", "", "SECOND", "0", "", ""});
  ParseStringCommand(context);
  EXPECT_EQ(context.get("SECOND"), "b");
  ASSERT_EQ(context.writes.size(), 1u);
  EXPECT_EQ(context.variables().Count(), 1u);
}

TEST(ParseStringCommand, IgnoreCaseAndTrimFlags) {
  TestCommandContext context("Parse String", {"  Name  KEY value ", "key", "A", "B", "0", "true", "-1"});
  ParseStringCommand(context);
  EXPECT_EQ(context.get("A"), "Name");
  EXPECT_EQ(context.get("B"), "value");
}

TEST(ParseStringCommand, ModeThatIsNotANumberIsAnError) {
  TestCommandContext context("Parse String", {"a-b", "-", "A", "B", "first", "", ""});
  EXPECT_THROW(ParseStringCommand(context), EngineError);
}

TEST(ReplaceText, ReplacesFirstOrAllWithOrWithoutCase) {
  struct Case {
    const char* subject;
    const char* search;
    const char* replacement;
    bool ignoreCase;
    bool all;
    const char* result;
  };
  const Case cases[] = {
      {"a.b.c", ".", "\\", false, false, "a\\b.c"},
      {"a.b.c", ".", "\\", false, true, "a\\b\\c"},
      {"Foo foo FOO", "foo", "x", false, true, "Foo x FOO"},
      {"Foo foo FOO", "foo", "x", true, true, "x x x"},
      {"Foo foo FOO", "foo", "x", true, false, "x foo FOO"},
      {"aaa", "a", "aa", false, true, "aaaaaa"},  // no rescan of inserted text
      {"aaaa", "aa", "b", false, true, "bb"},
      {"abc", "", "x", false, true, "abc"},
      {"", "a", "x", false, true, ""},
      {"ab", "abc", "x", false, true, "ab"},
      {"abc", "abc", "", false, false, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReplaceText(c.subject, c.search, c.replacement, c.ignoreCase, c.all), c.result) << c.subject;
}

TEST(ReplaceStringCommand, WorksOnTheUnexpandedValueAndLineBreakMarkers) {
  TestCommandContext context("Replace String", {"$Text$", "$NEWLINE$", ", ", "FALSE", "TRUE"});
  context.variables().Put("NEWLINE", "\r\n");
  context.variables().Put("Text", "one\r\ntwo\r\n$KEEP$");
  ReplaceStringCommand(context);
  EXPECT_EQ(context.get("TEXT"), "one, two, $KEEP$");
  EXPECT_EQ(context.writes.back().context, "Replace String Action");
}

TEST(ReplaceStringCommand, MissingVariableIsCreatedEmpty) {
  TestCommandContext context("Replace String", {"fresh", "a", "b", "", ""});
  ReplaceStringCommand(context);
  EXPECT_TRUE(context.has("FRESH"));
  EXPECT_EQ(context.storedName("fresh"), "FRESH");
  EXPECT_EQ(context.get("FRESH"), "");
}

TEST(ConvertCaseCommand, CollapsesDoubledBackslashesAndChangesCase) {
  TestCommandContext context("Convert Case", {"P", "FALSE"});
  context.variables().Put("P", "C:\\\\Program Files\\\\App");
  ConvertCaseCommand(context);
  EXPECT_EQ(context.get("P"), "c:\\program files\\app");
  context.setParameters({"P", "TRUE"});
  ConvertCaseCommand(context);
  EXPECT_EQ(context.get("P"), "C:\\PROGRAM FILES\\APP");
}

TEST(ExtractPathPart, TableOfParts) {
  struct Case {
    const char* path;
    int64_t code;
    const char* result;
  };
  const Case cases[] = {
      {"C:\\Program Files\\App\\setup.tar.gz", 0, "setup.tar.gz"},
      {"C:\\Program Files\\App\\setup.tar.gz", 1, "setup.tar"},
      {"C:\\Program Files\\App\\setup.tar.gz", 2, "gz"},
      {"C:\\Program Files\\App\\setup.tar.gz", 3, "C:\\Program Files\\App\\"},
      {"C:\\Program Files\\App\\setup.tar.gz", 4, "C:\\Program Files\\"},
      {"C:\\Program Files\\App\\setup.tar.gz", 5, "C:\\"},
      {"C:\\Program Files\\App\\", 0, ""},
      {"C:\\Program Files\\App\\", 3, "C:\\Program Files\\App\\"},
      {"C:\\Program Files\\App\\", 4, "C:\\Program Files\\"},
      {"C:\\file.txt", 4, "C:\\"},
      {"C:\\App.d\\readme", 2, ""},  // a dot in a folder is no extension
      {"C:\\App.d\\readme", 1, "readme"},
      {"C:file.txt", 0, "file.txt"},
      {"\\\\server\\share\\dir\\file.txt", 5, "\\\\server\\share\\"},
      {"\\\\server\\share\\dir\\file.txt", 3, "\\\\server\\share\\dir\\"},
      {"\\\\server", 5, "\\\\server\\"},
      {"file.txt", 3, ""},
      {"file.txt", 5, ""},
      {"a\\\\b\\\\\\c", 6, "a\\b\\\\c"},
      {"C:\\x\\y.z", 7, "C:\\x\\y.z"},
      {"C:\\x\\y.z", -1, "C:\\x\\y.z"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractPathPart(c.path, c.code), c.result) << c.path << " code " << c.code;
}

TEST(ExtractPathCommand, ReadsThePathValueOfTheVariable) {
  TestCommandContext context("Extract Path", {"FILE", "3"});
  context.variables().Put("FILE", "C:\\\\Data\\\\report.txt");
  ExtractPathCommand(context);
  EXPECT_EQ(context.get("FILE"), "C:\\Data\\");
  context.setParameters({"FILE", "three"});
  EXPECT_THROW(ExtractPathCommand(context), EngineError);
}

TEST(LongPathName, ConvertsEachComponentFromTheDisk) {
  std::map<std::string, std::string> disk = {
      {"C:\\PROGRA~1", "Program Files"},
      {"C:\\PROGRA~1\\MYAPP~1", "My Application"},
      {"C:\\PROGRA~1\\MYAPP~1\\README~1.TXT", "Read Me.txt"},
  };
  std::vector<std::string> lookups;
  DiskNameLookup lookup = [&](const std::string& path) -> std::optional<std::string> {
    lookups.push_back(path);
    auto it = disk.find(path);
    if (it == disk.end()) return std::nullopt;
    return it->second;
  };
  EXPECT_EQ(LongPathName("C:\\PROGRA~1\\MYAPP~1\\README~1.TXT", lookup), "C:\\Program Files\\My Application\\Read Me.txt");
  EXPECT_EQ(LongPathName("\"C:\\PROGRA~1\\MYAPP~1\\\"", lookup), "C:\\Program Files\\My Application");
  EXPECT_EQ(LongPathName("C:\\PROGRA~1\\MYAPP~1\\", lookup), "C:\\Program Files\\My Application\\");
  // A missing component leaves the whole path as given.
  EXPECT_EQ(LongPathName("C:\\PROGRA~1\\MISSING\\x", lookup), "C:\\PROGRA~1\\MISSING\\x");
  EXPECT_EQ(LongPathName("C:\\", lookup), "C:\\");
  EXPECT_EQ(LongPathName("", lookup), "");
  lookups.clear();
  EXPECT_EQ(LongPathName("C:\\PROGRA~1\\*", lookup), "C:\\PROGRA~1\\*");
  EXPECT_TRUE(lookups.empty() || lookups.back() != "C:\\PROGRA~1\\*");
}

}  // namespace
}  // namespace kox
