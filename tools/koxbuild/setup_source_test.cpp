#include "tools/koxbuild/setup_source.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "tools/koxbuild/package_writer.h"
#include "tools/koxbuild/source_dump.h"

namespace kox {
namespace {

constexpr char kSource[] = R"(# A small setup
[setup]
title = Velmora Viewer
product-code = {11111111-2222-3333-4444-555555555555}
revision-code = {AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}
publisher = Brantwick
version = 2.5
build-mode = 2

[build-constants]
SINGLEINSTANCE | TRUE
GREETING | "  a | b  "

[plugins]
Unzip Files

[component-sizes]
KELD-PREDEF-COMPONENT | 8589934592

[file-placements]
block1 | sub\a.txt | docs\

[command-headers]
0A1B2C3D | 1

[script]
command = Set Variable
param = NAME$KELD$KELD$FALSE
param = $
param =

command = Install Files
id = {00000000-0000-0000-0000-00000000000B}
disabled = true
media = data\
line = C:\proj\setup.kox*41
param = "\xE9t\xE9"
param = $WILD_DOLLAR$

command = Ignore
)";

std::string errorOf(std::string_view source) {
  try {
    parseSetupSource(source, "setup.src");
  } catch (const EngineError& e) {
    return e.what();
  }
  return "";
}

TEST(SetupSourceTest, ReadsEverySectionAndCommand) {
  SetupPackage p = parseSetupSource(kSource, "setup.src");
  EXPECT_EQ(p.productTitle, "Velmora Viewer");
  EXPECT_EQ(p.productInfo.publisher, "Brantwick");
  EXPECT_EQ(p.productInfo.contact, "");
  EXPECT_EQ(p.productInfo.version, "2.5");
  EXPECT_EQ(p.buildMode, 2);
  // Defaults of settings the source leaves out.
  EXPECT_EQ(p.codePage, 1252);
  EXPECT_EQ(p.languageSelection, "FALSE");
  EXPECT_EQ(p.defaultLanguage, "English");
  EXPECT_EQ(p.buildConstants, (std::vector<std::string>{"SINGLEINSTANCE", "TRUE", "GREETING", "  a | b  "}));
  EXPECT_EQ(p.pluginCommands, std::vector<std::string>{"Unzip Files"});
  EXPECT_EQ(p.filePlacements, (std::vector<std::string>{"block1", "sub\\a.txt", "docs\\"}));
  EXPECT_EQ(p.commandNames, (std::vector<std::string>{"Set Variable", "Install Files", "Ignore"}));
  EXPECT_EQ(p.disabledFlags, (std::vector<std::string>{"", "C", ""}));
  EXPECT_EQ(p.commandMediaFolders, (std::vector<std::string>{"", "data\\", ""}));
  // Without a "line", a command points at its own line of the source (zero-based).
  EXPECT_EQ(p.sourceLineMap, (std::vector<std::string>{"setup.src*26", "C:\\proj\\setup.kox*41", "setup.src*39"}));
  const std::string& firstId = p.commandIds[0];
  EXPECT_EQ(p.parameters,
            (std::vector<std::string>{firstId, "NAME$KELD$KELD$FALSE", "$", "", "{00000000-0000-0000-0000-00000000000B}",
                                      "\xE9t\xE9", "$WILD_DOLLAR$"}));
}

TEST(SetupSourceTest, MadeIdentifiersAreStableGuidsOfTheSetup) {
  SetupPackage a = parseSetupSource(kSource, "setup.src");
  SetupPackage b = parseSetupSource(kSource, "other.src");
  EXPECT_EQ(a.commandIds, b.commandIds);
  EXPECT_NE(a.commandIds[0], a.commandIds[2]);
  for (size_t i : {0u, 2u}) {
    const std::string& id = a.commandIds[i];
    ASSERT_EQ(id.size(), 38u) << id;
    EXPECT_EQ(id.front(), '{');
    EXPECT_EQ(id.back(), '}');
    for (size_t dash : {9u, 14u, 19u, 24u}) EXPECT_EQ(id[dash], '-') << id;
  }
  std::string renamed = kSource;
  renamed.replace(renamed.find("Velmora Viewer"), 14, "Other Viewer");
  EXPECT_NE(parseSetupSource(renamed, "setup.src").commandIds[0], a.commandIds[0]);
}

TEST(SetupSourceTest, ErrorsNameFileAndLine) {
  const std::string head =
      "[setup]\ntitle = T\nproduct-code = {P}\nrevision-code = {R}\n";  // lines 1-4
  struct Case {
    std::string source;
    std::string expected;
  } cases[] = {
      {"title = T\n", "setup.src:1: text before the first [section]"},
      {head + "[nonsense]\n", "setup.src:5: unknown section [nonsense]"},
      {head + "colour = red\n", "setup.src:5: unknown setting \"colour\""},
      {head + "title = again\n", "setup.src:5: \"title\" is given twice"},
      {head + "code-page = 12x\n", "setup.src:5: \"code-page\" must be a decimal integer"},
      {head + "code-page = 99999999999\n", "setup.src:5: \"code-page\" must be a decimal integer"},
      {head + "no equals sign\n", "setup.src:5: expected \"key = value\""},
      {head + "version = \"unterminated\n", "setup.src:5: a quoted value has no closing quote"},
      {head + "version = \"\\x0D\\x0A\"\n", "setup.src:5: the version holds CR, LF or NUL"},
      {head + "[plugins]\n$\n", "setup.src:6: the value cannot be a lone \"$\""},
      {head + "[plugins]\na | b\n", "setup.src:6: a row of [plugins] has 1 field"},
      {head + "[build-constants]\nONLY_NAME\n", "setup.src:6: a row of [build-constants] has 2 fields"},
      {head + "[file-placements]\na | b\n", "setup.src:6: a row of [file-placements] has 3 fields"},
      {head + "[script]\nparam = x\n", "setup.src:6: \"param\" before the first \"command =\" line"},
      {head + "[script]\ncommand = If\nmedia = a\\\nmedia = b\\\n", "setup.src:8: the command already has its media folder"},
      {head + "[script]\ncommand = If\ndisabled = maybe\n", "setup.src:7: \"disabled\" is true or false"},
      {head + "[script]\ncommand = If\ncolour = red\n", "setup.src:7: unknown command key \"colour\""},
      {head + "[script]\ncommand = $\n", "setup.src:6: the command name cannot be a lone \"$\""},
      {head + "[script]\ncommand = A\nid = {X}\ncommand = B\nid = {x}\n",
       "setup.src:9: the identifier {x} is already the one of the command at line 6"},
      {head + "[script]\ncommand = A\nid = {X}\nparam = {x}\n",
       "setup.src:8: a parameter cannot be the identifier of the command at line 6"},
      {head + "[raw-parameters]\n{X}\n[script]\ncommand = A\nid = {X}\nparam = 1\n",
       "setup.src:10: a command has no \"param\" lines when the source has [raw-parameters] (line 6)"},
      {"[setup]\ntitle = T\nrevision-code = {R}\n", "setup.src:1: [setup] has no \"product-code\""},
      {"[script]\n", "setup.src:1: [setup] has no \"title\""},
  };
  for (const Case& c : cases) {
    std::string error = errorOf(c.source);
    EXPECT_NE(error.find(c.expected), std::string::npos) << c.source << "\n=> " << error;
  }
}

// Source to package to reader: what the engine sees is what the source says.
TEST(SetupSourceTest, EngineReadsTheSourceValues) {
  SetupPackage written = parseSetupSource(kSource, "setup.src");
  SetupPackage read = parsePackage(writePackage(written));
  SetupPackage expected = written;
  expected.parameters[6] = "$";  // "$WILD_DOLLAR$" is the engine's spelling of a lone "$" too
  EXPECT_EQ(read, expected);
}

// Dumping a package and building the dump gives the package back byte for byte.
void expectDumpRebuildsPackage(const std::string& package) {
  std::string source = dumpSetupSource(parsePackageAsWritten(package));
  SetupPackage reparsed;
  ASSERT_NO_THROW(reparsed = parseSetupSource(source, "dump.src")) << source;
  EXPECT_EQ(writePackage(reparsed), package) << source;
}

TEST(SetupSourceTest, DumpRebuildsTheSamePackage) {
  expectDumpRebuildsPackage(writePackage(parseSetupSource(kSource, "setup.src")));
}

TEST(SetupSourceTest, DumpKeepsEveryAwkwardValue) {
  SetupPackage p = parseSetupSource(kSource, "setup.src");
  const std::vector<std::string> awkward = {"",    " lead",  "trail ",    "a|b",       "\"quoted\"", "#hash",
                                            ";semi", "[bracket", "\xE9\xFF", "$NEWLINE$", "$DOLLAR$",   "$dollar$",
                                            "$WILD_DOLLAR$", "x = y", "\\",  "\t"};
  for (const std::string& v : awkward) {
    p.parameters.push_back(v);  // appended to the last block
    p.buildConstants.insert(p.buildConstants.end(), {v, v});
    p.pluginCommands.push_back(v);
    p.productInfo.comments = v;
    p.commandMediaFolders[0] = v;
    p.sourceLineMap[1] = v;
    p.commandNames[2] = v;
    p.disabledFlags[2] = v;
    expectDumpRebuildsPackage(writePackage(p));
  }
}

TEST(SetupSourceTest, ParametersOutOfCommandOrderAreDumpedRaw) {
  SetupPackage p = parseSetupSource(kSource, "setup.src");
  // The second command's block first, and a block whose identifier is spelt
  // in another letter case.
  const std::string first = p.commandIds[0];
  std::string lowered = first;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const auto& params : std::vector<std::vector<std::string>>{
           {p.commandIds[1], "x", first, "y"},
           {lowered, "x"},
           {first},
           {"orphan", first, "x"}}) {
    p.parameters = params;
    std::string package = writePackage(p);
    EXPECT_NE(dumpSetupSource(parsePackageAsWritten(package)).find("[raw-parameters]"), std::string::npos);
    expectDumpRebuildsPackage(package);
  }
}

}  // namespace
}  // namespace kox
