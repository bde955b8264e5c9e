#include "engine/startup/package.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/base/error.h"

namespace kox {
namespace {

// One section of a package as a test writes it: its lines and whether a "$"
// line ends it.
struct Section {
  std::vector<std::string> lines;
  bool list = true;
};

std::vector<Section> emptyScriptSections() {
  return {
      {{}},                                                    // 1 command names
      {{}},                                                    // 2 identifiers
      {{}},                                                    // 3 parameters
      {{}},                                                    // 4 flags
      {{"{11111111-2222-3333-4444-555555555555}"}, false},     // 5 product code
      {{"Velmora Viewer"}, false},                             // 6 title
      {{}},                                                    // 7 plug-ins
      {{"Brantwick", "desk@example.com", "http://help", "http://update", "note", "2.5"}, false},  // 8
      {{}},                                                    // 9 passwords
      {{}},                                                    // 10 media folders
      {{"0"}, false},                                          // 11 build mode
      {{}},                                                    // 12 component sizes
      {{"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}"}, false},     // 13 revision code
      {{}},                                                    // 14 placements
      {{"TRUE"}, false},                                       // 15 language switch
      {{"English"}, false},                                    // 16 default language
      {{}},                                                    // 17 headers
      {{}},                                                    // 18 constants
      {{"1252"}, false},                                       // 19 code page
      {{}},                                                    // 20 line map
  };
}

// A two-command script: "Set Variable" with parameters and a disabled "If"
// without any.
std::vector<Section> twoCommandSections() {
  std::vector<Section> s = emptyScriptSections();
  s[0].lines = {"Set Variable", "If"};
  s[1].lines = {"{00000000-0000-0000-0000-00000000000A}", "{00000000-0000-0000-0000-00000000000B}"};
  s[2].lines = {"{00000000-0000-0000-0000-00000000000A}", "NAME$KELD$KELD$FALSE", "$DOLLAR$", ""};
  s[3].lines = {"", "C"};
  s[6].lines = {"Unzip Files"};
  s[8].lines = {"offline", "x1y2"};
  s[9].lines = {"data\\", ""};
  s[11].lines = {"KELD-PREDEF-COMPONENT", "8589934592"};
  s[13].lines = {"block1", "sub\\a.txt", "docs\\"};
  s[16].lines = {"0A1B2C3D", "1"};
  s[17].lines = {"SINGLEINSTANCE", "TRUE"};
  s[19].lines = {"C:\\proj\\setup.kox*0", "C:\\proj\\setup.kox*1"};
  return s;
}

std::string join(const std::vector<Section>& sections, const std::string& eol = "\r\n") {
  std::string text;
  for (const Section& section : sections) {
    for (const std::string& line : section.lines) text += line + eol;
    if (section.list) text += "$" + eol;
  }
  return text;
}

std::string errorOf(std::string_view text) {
  try {
    parsePackage(text);
  } catch (const EngineError& e) {
    return e.what();
  }
  return "";
}

TEST(PackageTest, EmptyScriptStillHasEveryTerminator) {
  SetupPackage p = parsePackage(join(emptyScriptSections()));
  EXPECT_TRUE(p.commandNames.empty());
  EXPECT_TRUE(p.parameters.empty());
  EXPECT_TRUE(p.sourceLineMap.empty());
  EXPECT_EQ(p.productCode, "{11111111-2222-3333-4444-555555555555}");
  EXPECT_EQ(p.productTitle, "Velmora Viewer");
  EXPECT_EQ(p.productInfo.publisher, "Brantwick");
  EXPECT_EQ(p.productInfo.contact, "desk@example.com");
  EXPECT_EQ(p.productInfo.helpLink, "http://help");
  EXPECT_EQ(p.productInfo.updateInfoLink, "http://update");
  EXPECT_EQ(p.productInfo.comments, "note");
  EXPECT_EQ(p.productInfo.version, "2.5");
  EXPECT_EQ(p.revisionCode, "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
  EXPECT_EQ(p.languageSelection, "TRUE");
  EXPECT_EQ(p.defaultLanguage, "English");
  EXPECT_EQ(p.codePage, 1252);
  EXPECT_EQ(p.buildMode, 0);
}

TEST(PackageTest, EverySectionLandsInItsList) {
  SetupPackage p = parsePackage(join(twoCommandSections()));
  EXPECT_EQ(p.commandNames, (std::vector<std::string>{"Set Variable", "If"}));
  EXPECT_EQ(p.commandIds[1], "{00000000-0000-0000-0000-00000000000B}");
  EXPECT_EQ(p.parameters,
            (std::vector<std::string>{"{00000000-0000-0000-0000-00000000000A}", "NAME$KELD$KELD$FALSE", "$", ""}));
  // The disabled command keeps its place in every per-command list.
  EXPECT_EQ(p.disabledFlags, (std::vector<std::string>{"", "C"}));
  EXPECT_EQ(p.commandMediaFolders, (std::vector<std::string>{"data\\", ""}));
  EXPECT_EQ(p.sourceLineMap[1], "C:\\proj\\setup.kox*1");
  EXPECT_EQ(p.pluginCommands, std::vector<std::string>{"Unzip Files"});
  EXPECT_EQ(p.webMediaPasswords, (std::vector<std::string>{"offline", "x1y2"}));
  EXPECT_EQ(p.componentSizes[1], "8589934592");
  EXPECT_EQ(p.filePlacements, (std::vector<std::string>{"block1", "sub\\a.txt", "docs\\"}));
  EXPECT_EQ(p.commandHeaders, (std::vector<std::string>{"0A1B2C3D", "1"}));
  EXPECT_EQ(p.buildConstants, (std::vector<std::string>{"SINGLEINSTANCE", "TRUE"}));
}

TEST(PackageTest, BareLineFeedsReadLikeCrLf) {
  EXPECT_EQ(parsePackage(join(twoCommandSections(), "\n")), parsePackage(join(twoCommandSections())));
}

TEST(PackageTest, LastLineNeedsNoLineEnd) {
  std::string text = join(twoCommandSections());
  text.resize(text.size() - 2);  // the final "$" without CR LF
  EXPECT_EQ(parsePackage(text), parsePackage(join(twoCommandSections())));
}

TEST(PackageTest, DollarEscapesBecomeALoneDollarOnlyInParameters) {
  struct Case {
    std::string written;
    std::string read;
  } cases[] = {
      {"$DOLLAR$", "$"},        {"$dollar$", "$"},          {"$WILD_DOLLAR$", "$"},
      {"$Wild_Dollar$", "$"},   {"$DOLLAR$ ", "$DOLLAR$ "}, {"x$DOLLAR$", "x$DOLLAR$"},
      {"$DOLLAR", "$DOLLAR"},   {"", ""},                   {"$$", "$$"},
  };
  for (const Case& c : cases) {
    std::vector<Section> s = twoCommandSections();
    s[2].lines[2] = c.written;
    s[17].lines[1] = c.written;  // a build constant value is not unescaped
    SetupPackage p = parsePackage(join(s));
    EXPECT_EQ(p.parameters[2], c.read) << c.written;
    EXPECT_EQ(p.buildConstants[1], c.written);
    EXPECT_EQ(parsePackageAsWritten(join(s)).parameters[2], c.written);
  }
}

TEST(PackageTest, ListEndIsExactlyADollarLine) {
  // " $" and "$ " are ordinary values, not terminators.
  std::vector<Section> s = twoCommandSections();
  s[6].lines = {" $", "$ "};
  EXPECT_EQ(parsePackage(join(s)).pluginCommands, (std::vector<std::string>{" $", "$ "}));
}

TEST(PackageTest, SingleValuesAreTakenAsWritten) {
  std::vector<Section> s = twoCommandSections();
  s[14].lines = {"true"};
  s[4].lines = {""};
  s[5].lines = {"$"};
  SetupPackage p = parsePackage(join(s));
  EXPECT_EQ(p.languageSelection, "true");  // only "TRUE" offers the window; the reader keeps it as is
  EXPECT_EQ(p.productCode, "");
  EXPECT_EQ(p.productTitle, "$");
}

TEST(PackageTest, NumbersFollowTheReadRules) {
  struct Case {
    std::string written;
    int32_t value;
  } cases[] = {
      {"2", 2}, {"3", 3}, {"7", 7}, {"  2", 2}, {"\t3 anything after a blank", 3},
      {"+4", 4}, {"-1", -1}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    std::vector<Section> s = twoCommandSections();
    s[10].lines = {c.written};
    s[18].lines = {c.written};
    SetupPackage p = parsePackage(join(s));
    EXPECT_EQ(p.buildMode, c.value) << c.written;
    EXPECT_EQ(p.codePage, c.value) << c.written;
  }
}

TEST(PackageTest, NumberSkipsEmptyLinesBeforeIt) {
  std::vector<Section> s = twoCommandSections();
  s[10].lines = {"", "  ", "3"};
  SetupPackage p = parsePackage(join(s));
  EXPECT_EQ(p.buildMode, 3);
  EXPECT_EQ(p.componentSizes[0], "KELD-PREDEF-COMPONENT");
}

TEST(PackageTest, BadNumbersAreReportedWithTheirSection) {
  for (std::string bad : {"abc", "12abc", "0x10", "1.5", "--1", "+-1", "-", "2147483648", "99999999999999"}) {
    std::vector<Section> s = twoCommandSections();
    s[18].lines = {bad};
    std::string error = errorOf(join(s));
    EXPECT_NE(error.find("the code page"), std::string::npos) << bad << ": " << error;
    EXPECT_NE(error.find("malformed"), std::string::npos) << bad << ": " << error;
  }
}

// Cutting the package after any number of its lines must end in an error that
// names the section being read, never in a read past the end.
TEST(PackageTest, TruncationAtEveryLineNamesTheSection) {
  const std::vector<Section> sections = twoCommandSections();
  const char* names[] = {
      "command names section", "command identifiers section", "parameter blocks section",
      "disabled flags section", "product code", "product title", "plug-in command names section",
      "product publisher", "web media passwords section", "per-command media folders section",
      "build mode code", "component sizes section", "revision code", "file placements section",
      "language selection switch", "default language", "command headers section", "build constants section",
      "code page", "source line map section"};
  std::vector<std::string> lines;
  std::vector<std::string> expected;  // the section named when the text stops before line i
  for (size_t i = 0; i < sections.size(); ++i) {
    size_t count = sections[i].lines.size() + (sections[i].list ? 1 : 0);
    for (size_t k = 0; k < count; ++k) {
      std::string name = names[i];
      if (i == 7) {
        static const char* info[] = {"product publisher", "product contact", "product help link",
                                     "product update information link", "product comments", "product version"};
        name = info[k];
      }
      expected.push_back(name);
      lines.push_back(k < sections[i].lines.size() ? sections[i].lines[k] : "$");
    }
  }
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string error = errorOf(text);
    EXPECT_NE(error.find("truncated"), std::string::npos) << "after " << i << " lines: " << error;
    EXPECT_NE(error.find(expected[i]), std::string::npos) << "after " << i << " lines: " << error;
    text += lines[i] + "\r\n";
  }
  EXPECT_EQ(errorOf(text), "");
}

TEST(PackageTest, NulCharacterIsNotText) {
  std::vector<Section> s = twoCommandSections();
  s[2].lines[1] = std::string("NA\0ME", 5);
  std::string error = errorOf(join(s));
  EXPECT_NE(error.find("not text"), std::string::npos) << error;
  EXPECT_NE(error.find("parameter blocks"), std::string::npos) << error;
}

TEST(PackageTest, BytesBehindTheLastSectionAreIgnored) {
  std::string text = join(twoCommandSections()) + std::string("\0\x01signature", 11);
  EXPECT_EQ(parsePackage(text), parsePackage(join(twoCommandSections())));
}

TEST(PackageTest, PerCommandListsMustMatchTheCommandCount) {
  for (size_t section : {1u, 3u, 9u, 19u}) {
    std::vector<Section> s = twoCommandSections();
    s[section].lines.pop_back();
    std::string error = errorOf(join(s));
    EXPECT_NE(error.find("has 1 lines for 2 commands"), std::string::npos) << section << ": " << error;
  }
}

TEST(PackageTest, PairAndTripleListsMustBeWhole) {
  for (size_t section : {8u, 11u, 13u, 16u, 17u}) {
    std::vector<Section> s = twoCommandSections();
    s[section].lines.push_back("extra");
    std::string error = errorOf(join(s));
    EXPECT_NE(error.find("not whole"), std::string::npos) << section << ": " << error;
  }
}

// ---------------------------------------------------------------------------
// Image end

// A minimal PE file: DOS header, PE signature, file header, an optional header
// of the given size and a section table; section data as given.
struct SectionEntry {
  uint32_t rawSize;
  uint32_t rawOffset;
};

void putU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
void putU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

std::vector<uint8_t> makeImage(const std::vector<SectionEntry>& sections, uint16_t optionalHeaderSize,
                               size_t fileSize) {
  std::vector<uint8_t> b(fileSize, 0);
  b[0] = 'M';
  b[1] = 'Z';
  const uint32_t pe = 0x80;
  putU32(b, 60, pe);
  std::memcpy(b.data() + pe, "PE\0\0", 4);
  putU16(b, pe + 4 + 2, static_cast<uint16_t>(sections.size()));
  putU16(b, pe + 4 + 16, optionalHeaderSize);
  size_t table = pe + 4 + 20 + optionalHeaderSize;
  for (size_t i = 0; i < sections.size() && table + (i + 1) * 40 <= b.size(); ++i) {
    putU32(b, table + i * 40 + 16, sections[i].rawSize);
    putU32(b, table + i * 40 + 20, sections[i].rawOffset);
  }
  return b;
}

TEST(PeImageEndTest, LargestSectionEndOver32And64BitHeaders) {
  for (uint16_t optionalHeaderSize : {224, 240}) {
    auto image = makeImage({{0x200, 0x400}, {0x600, 0x800}, {0x200, 0x600}}, optionalHeaderSize, 0x1000);
    EXPECT_EQ(peImageEnd(image), 0xE00u) << optionalHeaderSize;
  }
}

TEST(PeImageEndTest, SectionsWithoutFileDataAreSkipped) {
  auto image = makeImage({{0x200, 0x400}, {0, 0xFFFFFF00}}, 224, 0x800);
  EXPECT_EQ(peImageEnd(image), 0x600u);
}

TEST(PeImageEndTest, ImageWithoutPackageEndsAtTheFileEnd) {
  auto image = makeImage({{0x400, 0x400}}, 224, 0x800);
  EXPECT_EQ(peImageEnd(image), image.size());
}

TEST(PeImageEndTest, DamagedHeadersAreRejected) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty file", {}});
  cases.push_back({"too short for a DOS header", std::vector<uint8_t>(40, 'M')});
  auto noMz = makeImage({{0x200, 0x400}}, 224, 0x800);
  noMz[0] = 'X';
  cases.push_back({"no MZ", noMz});
  auto noPe = makeImage({{0x200, 0x400}}, 224, 0x800);
  noPe[0x81] = 'X';
  cases.push_back({"no PE signature", noPe});
  auto farHeader = makeImage({{0x200, 0x400}}, 224, 0x800);
  putU32(farHeader, 60, 0xFFFFFFF0u);
  cases.push_back({"PE header offset outside the file", farHeader});
  cases.push_back({"no sections", makeImage({}, 224, 0x800)});
  cases.push_back({"97 sections", makeImage(std::vector<SectionEntry>(97, {0x10, 0x400}), 224, 0x2000)});
  cases.push_back({"section table outside the file", makeImage({{0x10, 0x100}}, 0xFFFF, 0x800)});
  cases.push_back({"section ends behind the file", makeImage({{0x900, 0x400}}, 224, 0x800)});
  cases.push_back({"offset + size overflows 32 bits", makeImage({{0xFFFFFFFFu, 0x400}}, 224, 0x800)});
  for (const Case& c : cases) EXPECT_THROW(peImageEnd(c.bytes), EngineError) << c.what;
}

// ---------------------------------------------------------------------------
// Reading a setup executable

class ReadSetupPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kox_package_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path writeExecutable(const std::string& package) {
    auto bytes = makeImage({{0x400, 0x400}}, 224, 0x800);
    bytes.insert(bytes.end(), package.begin(), package.end());
    std::filesystem::path exe = dir_ / "setup.exe";
    std::ofstream(exe, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return exe;
  }

  std::filesystem::path dir_;
};

TEST_F(ReadSetupPackageTest, ReadsThePackageBehindTheImageAndDeletesTheCopy) {
  std::string text = join(twoCommandSections());
  // A stale copy from an earlier run is replaced.
  std::ofstream(dir_ / "kox.tmp") << "stale";
  std::optional<SetupPackage> p = readSetupPackage(writeExecutable(text), dir_);
  ASSERT_TRUE(p.has_value());
  EXPECT_EQ(*p, parsePackage(text));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "kox.tmp"));
}

TEST_F(ReadSetupPackageTest, ImageAloneHasNoPackage) {
  EXPECT_FALSE(readSetupPackage(writeExecutable(""), dir_).has_value());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "kox.tmp"));
}

TEST_F(ReadSetupPackageTest, MalformedPackageThrowsAndStillDeletesTheCopy) {
  std::string text = join(twoCommandSections());
  text.resize(text.size() / 2);
  EXPECT_THROW(readSetupPackage(writeExecutable(text), dir_), EngineError);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "kox.tmp"));
}

TEST_F(ReadSetupPackageTest, MissingExecutableThrows) {
  EXPECT_THROW(readSetupPackage(dir_ / "absent.exe", dir_), EngineError);
}

}  // namespace
}  // namespace kox
