#include "engine/script/script_store.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "engine/script/compile_checks.h"
#include "engine/script/script_builder_test.h"

namespace kox {
namespace {

using testing::buildScript;

TEST(ScriptStore, PerCommandListsAndParameters) {
  ScriptLists lists = buildScript({{"Set Variable", {"A$KELD$KELD$FALSE", "1"}},
                                   {"Comment", {}, true},
                                   {"Label", {"Again"}}});
  lists.disabledFlags.pop_back();  // a short flag list: the command counts as enabled
  ScriptStore script(std::move(lists));
  EXPECT_EQ(script.commandCount(), 3u);
  EXPECT_EQ(script.commandName(0), "Set Variable");
  EXPECT_EQ(script.commandName(7), "");
  EXPECT_TRUE(script.isDisabled(1));
  EXPECT_FALSE(script.isDisabled(2));
  EXPECT_EQ(script.parameter(0, 2), "1");
  EXPECT_EQ(script.parameter(1, 1), "");  // no parameter block
  EXPECT_EQ(script.parameter(9, 1), "");  // no such command
  EXPECT_EQ(script.fetchParameter(script.commandId(2), 1), "Again");
}

TEST(ScriptStore, CommandHeaders) {
  ScriptLists lists = buildScript({{"Comment"}, {"Install Files"}, {"Write Registry"}});
  lists.commandHeaders = {"0A1B2C3D", "1", "DEADBEEF", "2"};
  ScriptStore script(std::move(lists));
  EXPECT_EQ(script.commandHeader(1, false), "0A1B2C3D");
  EXPECT_EQ(script.commandHeader(2, false), "DEADBEEF");
  EXPECT_EQ(script.findCommandHeader(0), "");
  EXPECT_EQ(script.commandHeader(0, true), "");  // no error while initialising
  try {
    script.commandHeader(0, false);
    FAIL() << "expected an error";
  } catch (const EngineError& error) {
    EXPECT_STREQ(error.what(), "Unable to obtain command headers. Please rebuild your project.");
  }
}

TEST(ScriptStore, RunLabelTableHoldsNamesAndIndexes) {
  ScriptStore script(buildScript({{"Comment"}, {"Label", {"Start"}}, {"Label", {"end"}, true}}));
  script.fillLabelTable();
  EXPECT_EQ(script.labels().entries(), (std::vector<std::string>{"START", "1", "END", "2"}));
  EXPECT_EQ(script.labels().commandIndex("start"), 1u);
  EXPECT_EQ(script.labels().commandIndex("End"), 2u);
  EXPECT_EQ(script.labels().commandIndex("1"), std::nullopt);  // an index is not a label
}

TEST(CompileChecks, VariableReferenceTest) {
  TVariableManager variables;
  variables.Put("KNOWN", "");
  struct Case {
    const char* text;
    bool plainTextPasses;
    bool expected;
  };
  const Case cases[] = {
      {"$KNOWN$", true, true},   {"$KNOWN$", false, true},   {"$UNKNOWN$", true, false},
      {"$UNKNOWN$", false, false}, {"KNOWN", false, true},   {"UNKNOWN", false, false},
      {"UNKNOWN", true, true},   {"some text", true, true},  {"$", true, true},
      {"$$", true, true},        {"$A$B$", true, true},      {"$A$B$", false, false},
      {"", true, true},          {"", false, false},         {"$known$", false, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(passesVariableReferenceTest(variables, c.text, c.plainTextPasses), c.expected)
        << c.text << " " << c.plainTextPasses;
}

TEST(CompileChecks, LegalFileName) {
  for (const char* name : {"", "web1", "C:\\folder\\file.7z", "a:b", "name with spaces.txt", "dir\\"})
    EXPECT_TRUE(isLegalFileName(name)) << name;
  for (const char* name : {"a/b", "a*", "what?", "\"q\"", "<x>", "a|b", "C:\\dir\\bad|name"})
    EXPECT_FALSE(isLegalFileName(name)) << name;
}

}  // namespace
}  // namespace kox
