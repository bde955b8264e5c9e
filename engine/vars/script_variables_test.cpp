#include "engine/vars/script_variables.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kox {
namespace {

TEST(ScriptVariables, ReadsAndReferenceNames) {
  TVariableManager store;
  store.Put("A", "$B$");
  store.Put("B", "x");
  EXPECT_EQ(ReadVariable(store, "a"), "$B$");
  EXPECT_EQ(ReadVariable(store, "missing"), "");
  EXPECT_TRUE(VariableDefined(store, "b"));

  EXPECT_EQ(ReferenceName("$A$"), "A");
  EXPECT_EQ(ReferenceName("A"), "");
  EXPECT_EQ(ReferenceName("$$"), "");
  EXPECT_EQ(ReferenceName("$"), "");
  EXPECT_EQ(ReferenceName("$A$B$"), "");
  EXPECT_EQ(ReferenceName("$A"), "");

  EXPECT_EQ(ReadVariableExpanded(store, "$A$"), "x");
  EXPECT_EQ(ReadVariableExpanded(store, "A"), "x");
  EXPECT_EQ(ReadVariableExpanded(store, "$MISSING$"), "$KELDNX$");
  EXPECT_EQ(ReadVariableExpanded(store, "MISSING"), "$KELDNX$");
  EXPECT_EQ(ReadVariableExpandedOrEmpty(store, "$MISSING$"), "");
  EXPECT_EQ(ReadVariableExpandedOrEmpty(store, "a"), "x");
  EXPECT_EQ(ExpandText(store, "<$A$>"), "<x>");
  EXPECT_EQ(ExpandTextQuoted(store, "$B$ = \"x\""), "\"x\" = \"x\"");
}

TEST(ScriptVariables, WriteCreatesWithTheGivenSpellingAndIgnoresEmptyNames) {
  TVariableManager store;
  WriteProtection interactive;
  WriteVariable(store, "Target", "a", "Set Variable Action", interactive);
  WriteVariable(store, "", "b", "Set Variable Action", interactive);
  std::vector<std::string> list;
  store.Enumerate(list);
  EXPECT_EQ(list, (std::vector<std::string>{"Target", "a"}));
}

// A run started with TARGETDIR=C:\cmd on its command line.
struct ProtectedWriteCase {
  bool silent;
  const char* name;
  const char* context;
  const char* expected;
};

class ProtectedWrite : public ::testing::TestWithParam<ProtectedWriteCase> {};

TEST_P(ProtectedWrite, CommandLineValuesWinOnlyInSilentRuns) {
  const auto& c = GetParam();
  TVariableManager store;
  WriteProtection protection{c.silent, {"TARGETDIR", "C:\\cmd", "OTHER", "1"}};
  WriteVariable(store, "TARGETDIR", "C:\\cmd", kInjectOverrideContext, protection);
  WriteVariable(store, c.name, "C:\\script", c.context, protection);
  EXPECT_EQ(store.Get("TARGETDIR"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ProtectedWrite,
    ::testing::Values(ProtectedWriteCase{true, "TARGETDIR", "Set Variable Action", "C:\\cmd"},
                      ProtectedWriteCase{true, "targetdir", "Edit1Change", "C:\\cmd"},
                      ProtectedWriteCase{true, "TARGETDIR", "Inject Override Command Line", "C:\\script"},
                      ProtectedWriteCase{true, "TARGETDIR", "inject override command line", "C:\\cmd"},
                      ProtectedWriteCase{false, "TARGETDIR", "Set Variable Action", "C:\\script"},
                      ProtectedWriteCase{false, "targetdir", "Edit1Change", "C:\\script"}));

TEST(ScriptVariables, ProtectionOnlyCountsNamesOfTheCommandLineList) {
  TVariableManager store;
  // "1" is the value of OTHER, not a name: a variable called 1 is not protected.
  WriteProtection silent{true, {"OTHER", "1"}};
  store.Put("1", "old");
  EXPECT_TRUE(AssignVariable(store, "1", "new", "Set Variable Action", silent));
  EXPECT_EQ(store.Get("1"), "new");
  store.Put("OTHER", "cmd");
  EXPECT_FALSE(AssignVariable(store, "other", "script", "Set Variable Action", silent));
  EXPECT_EQ(store.Get("OTHER"), "cmd");
}

TEST(ScriptVariables, SilentAssignUpperCasesOnlyNewNames) {
  TVariableManager store;
  WriteProtection silent{true, {}};
  store.Put("Existing", "1");
  AssignVariable(store, "existing", "2", "Set Variable Action", silent);
  AssignVariable(store, "fresh", "3", "Set Variable Action", silent);
  std::vector<std::string> list;
  store.Enumerate(list);
  EXPECT_NE(std::find(list.begin(), list.end(), "Existing"), list.end());
  EXPECT_NE(std::find(list.begin(), list.end(), "FRESH"), list.end());
  EXPECT_EQ(store.Get("existing"), "2");
}

TEST(ScriptVariables, LineBreakMarkers) {
  EXPECT_EQ(MarkersToLineBreaks("a$NEWLINE$b$newline$$NewLine$"), "a\r\nb\r\n\r\n");
  EXPECT_EQ(MarkersToLineBreaks("$NEWLINE"), "$NEWLINE");
  EXPECT_EQ(LineBreaksToMarkers("a\r\nb\nc\r\r\n"), "a$NEWLINE$b\nc\r$NEWLINE$");
  EXPECT_EQ(MarkersToLineBreaks(LineBreaksToMarkers("x\r\n\r\ny")), "x\r\n\r\ny");
}

TEST(ScriptVariables, ImportReplacesTheWholeStore) {
  TVariableManager store;
  store.Put("OLD", "gone");
  ImportVariables(store, "A,1,\"B C\",\"x,y\"");
  std::vector<std::string> list;
  EXPECT_EQ(store.Enumerate(list), 4u);
  EXPECT_EQ(store.Get("A"), "1");
  EXPECT_EQ(store.Get("B C"), "x,y");
  EXPECT_FALSE(store.Exists("OLD"));

  ImportVariables(store, "A,1,ODD");  // an odd last item is ignored
  EXPECT_EQ(store.Count(), 1u);
  ImportVariables(store, ",1,B,2");   // an empty name is not stored
  EXPECT_EQ(store.Count(), 1u);
  EXPECT_EQ(store.Get("B"), "2");
}

TEST(ScriptVariables, ExportWritesTheVariableListText) {
  TVariableManager store;
  store.Put("A", "");
  store.Put("B", "say \"hi\"");
  std::string text = ExportVariables(store);
  EXPECT_TRUE(text == "A,,B,\"say \"\"hi\"\"\"" || text == "B,\"say \"\"hi\"\"\",A,") << text;
  EXPECT_EQ(ExportVariables(TVariableManager()), "");
}

TEST(ScriptVariables, ExportImportRoundTrip) {
  TVariableManager store;
  store.Put("COMMA", "a,b");
  store.Put("QUOTES", "\"q\"\"");
  store.Put("BLANKS", "  padded  ");
  store.Put("EMPTY", "");
  store.Put("CONTROL", "\x01\t\r\n\x1f");
  store.Put("High", "\xe4\xf6\xfc");
  store.Put("With Space", "v");
  TVariableManager copy;
  ImportVariables(copy, ExportVariables(store));
  std::vector<std::string> original, imported;
  store.Enumerate(original);
  copy.Enumerate(imported);
  EXPECT_EQ(imported.size(), original.size());
  for (size_t i = 0; i < original.size(); i += 2) {
    EXPECT_TRUE(copy.Exists(original[i])) << original[i];
    EXPECT_EQ(copy.Get(original[i]), original[i + 1]) << original[i];
  }
}

TEST(ScriptVariables, BooleanTexts) {
  EXPECT_EQ(BoolToText(true), "TRUE");
  EXPECT_EQ(BoolToText(false), "FALSE");
  for (const char* text : {"TRUE", "true", "TrUe", "-1"}) EXPECT_TRUE(TextToBool(text)) << text;
  for (const char* text : {"", "FALSE", "1", "yes", " TRUE", "TRUE ", "-1 ", "--1"})
    EXPECT_FALSE(TextToBool(text)) << text;
}

TEST(ScriptVariables, EnvironmentText) {
  EXPECT_EQ(EnvironmentText(std::vector<std::string>{}), "");
  EXPECT_EQ(EnvironmentText({"A=1", "PATH=C:\\x;C:\\y"}), "A=1$NEWLINE$PATH=C:\\x;C:\\y");
  std::vector<std::string> entries = processEnvironment();
  std::string text = EnvironmentText();
  EXPECT_EQ(text, EnvironmentText(entries));
  if (!entries.empty()) {
    EXPECT_NE(text.find(entries.front()), std::string::npos);
    EXPECT_NE(text.substr(text.size() - 9), "$NEWLINE$");
  }
}

}  // namespace
}  // namespace kox
