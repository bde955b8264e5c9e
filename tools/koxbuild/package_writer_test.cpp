#include "tools/koxbuild/package_writer.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "tools/koxbuild/setup_executable.h"
#include "tools/koxbuild/test_images.h"

namespace kox {
namespace {

SetupPackage oneCommand() {
  SetupPackage p;
  p.commandNames = {"Set Variable"};
  p.commandIds = {"{00000000-0000-0000-0000-00000000000A}"};
  p.parameters = {"{00000000-0000-0000-0000-00000000000A}", "NAME$KELD$KELD$FALSE", "$"};
  p.disabledFlags = {""};
  p.commandMediaFolders = {""};
  p.sourceLineMap = {"setup.kox*0"};
  p.productCode = "{P}";
  p.productTitle = "T";
  p.revisionCode = "{R}";
  p.buildMode = 3;
  p.codePage = 1252;
  p.buildConstants = {"LOCMODE", "NEWONLY"};
  return p;
}

TEST(PackageWriterTest, WritesTheSectionsInOrderWithCrLf) {
  const std::string expected =
      "Set Variable\r\n$\r\n"
      "{00000000-0000-0000-0000-00000000000A}\r\n$\r\n"
      "{00000000-0000-0000-0000-00000000000A}\r\nNAME$KELD$KELD$FALSE\r\n$DOLLAR$\r\n$\r\n"
      "\r\n$\r\n"
      "{P}\r\nT\r\n"
      "$\r\n"
      "\r\n\r\n\r\n\r\n\r\n\r\n"
      "$\r\n"
      "\r\n$\r\n"
      "3\r\n"
      "$\r\n"
      "{R}\r\n"
      "$\r\n"
      "\r\n\r\n"
      "$\r\n"
      "LOCMODE\r\nNEWONLY\r\n$\r\n"
      "1252\r\n"
      "setup.kox*0\r\n$\r\n";
  EXPECT_EQ(writePackage(oneCommand()), expected);
}

TEST(PackageWriterTest, ReaderGetsBackWhatWasWritten) {
  SetupPackage p = oneCommand();
  p.webMediaPasswords = {"offline", "scrambled"};
  p.componentSizes = {"KELD-PREDEF-COMPONENT", "1"};
  p.filePlacements = {"b", "p", "f\\"};
  p.commandHeaders = {"0A1B2C3D", "0"};
  p.pluginCommands = {"Unzip Files", ""};
  p.languageSelection = "TRUE";
  p.defaultLanguage = "German";
  p.productInfo = {"pub", "contact", "help", "update", "comments", "1.0"};
  p.buildMode = -7;
  EXPECT_EQ(parsePackage(writePackage(p)), p);
}

TEST(PackageWriterTest, RefusesWhatCannotBeReadBack) {
  struct Case {
    const char* what;
    void (*change)(SetupPackage&);
    const char* expected;
  } cases[] = {
      {"CR in a parameter", [](SetupPackage& p) { p.parameters[1] = "a\rb"; }, "parameter blocks section holds CR"},
      {"LF in the title", [](SetupPackage& p) { p.productTitle = "a\nb"; }, "product title holds CR"},
      {"NUL in a constant", [](SetupPackage& p) { p.buildConstants[1] = std::string("a\0b", 3); },
       "build constants section holds CR, LF or NUL"},
      {"lone $ in a list", [](SetupPackage& p) { p.pluginCommands = {"$"}; }, "holds a lone \"$\""},
      {"lone $ as a command name", [](SetupPackage& p) { p.commandNames = {"$"}; }, "command names section holds a lone"},
      {"missing flag", [](SetupPackage& p) { p.disabledFlags.clear(); }, "disabled flags section has 0 lines for 1"},
      {"extra line map", [](SetupPackage& p) { p.sourceLineMap.push_back("x*1"); }, "source line map section has 2"},
      {"half pair", [](SetupPackage& p) { p.componentSizes = {"name"}; }, "component sizes section has 1 lines, not whole pairs"},
      {"two thirds of a triple", [](SetupPackage& p) { p.filePlacements = {"a", "b"}; }, "not whole triples"},
  };
  for (const Case& c : cases) {
    SetupPackage p = oneCommand();
    c.change(p);
    try {
      writePackage(p);
      ADD_FAILURE() << c.what << " was written";
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << c.what << ": " << e.what();
    }
  }
}

TEST(SetupExecutableTest, PackageFollowsTheImageAndReplacesAnOldOne) {
  const std::vector<uint8_t> stub = testing::minimalImage();
  std::vector<uint8_t> built = setupExecutableBytes(stub, oneCommand());
  ASSERT_GT(built.size(), stub.size());
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), built.begin()));
  EXPECT_EQ(parsePackage(std::string(built.begin() + stub.size(), built.end())), oneCommand());

  // A built setup used as stub gives the same setup again.
  SetupPackage other = oneCommand();
  other.productTitle = "Other";
  std::vector<uint8_t> rebuilt = setupExecutableBytes(built, other);
  EXPECT_EQ(rebuilt, setupExecutableBytes(stub, other));
}

TEST(SetupExecutableTest, StubMustBeAProgramImage) {
  const std::vector<uint8_t> notAnImage(0x600, 'x');
  EXPECT_THROW(setupExecutableBytes(notAnImage, oneCommand()), EngineError);
}

}  // namespace
}  // namespace kox
