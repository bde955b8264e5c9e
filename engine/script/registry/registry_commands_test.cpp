#include "engine/script/registry/registry_commands.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/win/handle.h"
#include "engine/script/files/testing/fake_command_context.h"
#include "engine/script/registry/registry_access.h"
#include "engine/script/values/platform_mode.h"
#include "engine/script/values/win/redirection.h"

namespace kox {
namespace {

using testing::FakeCommandContext;

const std::string kTestRoot = "Software\\KoxRegistryCommandsTest";

void run(FakeCommandContext& context) {
  for (const CommandEntry& entry : registryCommands()) {
    if (context.commandName() == entry.name) return entry.handler(context);
  }
  FAIL() << "no command " << context.commandName();
}

win::UniqueRegKey createKey(HKEY root, const std::string& path, REGSAM view = 0) {
  HKEY key = nullptr;
  LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
  EXPECT_EQ(result, ERROR_SUCCESS) << path;
  return win::UniqueRegKey(key);
}

void setValue(HKEY key, const char* name, DWORD type, std::string_view data) {
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
}

bool keyExists(HKEY root, const std::string& path, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool valueExists(HKEY root, const std::string& path, const char* name) {
  return RegGetValueA(root, path.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

class RegistryCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot.c_str());
    auto key = createKey(HKEY_CURRENT_USER, kTestRoot + "\\Values");
    setValue(key.get(), "Text", REG_SZ, std::string_view("hello world\0", 12));
    setValue(key.get(), "Expand", REG_EXPAND_SZ, std::string_view("%SystemRoot%\\x\0", 15));
    setValue(key.get(), "Dword", REG_DWORD, std::string_view("\xFE\xFF\xFF\xFF", 4));
    setValue(key.get(), "Binary", REG_BINARY, std::string_view("\x01\xAB", 2));
    setValue(key.get(), "EmptyBinary", REG_BINARY, std::string_view());
    setValue(key.get(), "Multi", REG_MULTI_SZ, std::string_view("a\0b\0c\0\0", 7));
    setValue(key.get(), "EmptyMulti", REG_MULTI_SZ, std::string_view("\0", 1));
    setValue(key.get(), "Qword", REG_QWORD, std::string_view("\x01\0\0\0\0\0\0\0", 8));
    setValue(key.get(), "Marker", REG_SZ, std::string_view("BINARY$VALUE\0", 13));
    setValue(key.get(), "", REG_SZ, std::string_view("default\0", 8));
    setValue(key.get(), "Back\\slash", REG_MULTI_SZ, std::string_view("x\0y\0\0", 5));
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot.c_str());
    ResetPlatformMode();
  }
};

struct ReadCase {
  const char* key;
  const char* value;
  const char* checked;  // "Check Registry"
  const char* read;     // "Read Registry"
};

TEST_F(RegistryCommands, ValuesByTypeAndMarkers) {
  const std::string values = kTestRoot + "\\Values";
  const ReadCase cases[] = {
      {"Values", "Text", "hello world", "hello world"},
      {"Values", "Expand", "%SystemRoot%\\x", "%SystemRoot%\\x"},
      {"Values", "Dword", "-2", "-2"},
      {"Values", "Binary", "01AB", "01AB"},
      {"Values", "EmptyBinary", "", ""},
      {"Values", "Multi", "a$NEWLINE$b$NEWLINE$c", "a$NEWLINE$b$NEWLINE$c"},
      {"Values", "EmptyMulti", "", ""},
      {"Values", "Qword", "UNKNOWN$TYPE", ""},
      {"Values", "Missing", "NO$VALUE", ""},
      {"Values", "Marker", "BINARY$VALUE", ""},
      {"Values", "", "default", "default"},
      {"Values", "Back\\slash", "x$NEWLINE$y", "x$NEWLINE$y"},  // value names may hold backslashes
      {"NoSuchKey", "Text", "NO$KEY", ""},
  };
  for (const ReadCase& c : cases) {
    std::string key = kTestRoot + "\\" + c.key;
    FakeCommandContext check("Check Registry", {"Result", "1", key, c.value});
    run(check);
    EXPECT_EQ(check.readVariable("Result"), c.checked) << c.key << " " << c.value;
    FakeCommandContext read("Read Registry", {"Result", "1", key, c.value});
    read.variables().Put("Result", "old");
    run(read);
    EXPECT_EQ(read.readVariable("Result"), c.read) << c.key << " " << c.value;
  }
}

TEST_F(RegistryCommands, ResultCreatedUpperCasedWithActionContext) {
  FakeCommandContext context("Check Registry", {"result", "1", "\\" + kTestRoot + "\\\\Values\\", "Dword"});
  run(context);
  EXPECT_EQ(context.storedName("result"), "RESULT");
  EXPECT_EQ(context.readVariable("RESULT"), "-2");
  EXPECT_EQ(context.lastContext("RESULT"), "Check Registry Action");
}

TEST_F(RegistryCommands, InvalidRootCodeIsRejectedWithoutEffect) {
  for (const char* code : {"5", "-1", "", "HKLM"}) {
    FakeCommandContext check("Check Registry", {"Result", code, kTestRoot + "\\Values", "Text"});
    check.variables().Put("ABORTONERROR", "FALSE");
    run(check);
    EXPECT_EQ(check.failures, 1) << code;
    EXPECT_FALSE(check.variables().Exists("Result")) << code;
    EXPECT_EQ(check.readVariable("ABORTEDONERROR"), "TRUE");

    FakeCommandContext remove("Delete Registry", {code, kTestRoot + "\\Values", "", "TRUE"});
    remove.variables().Put("ABORTONERROR", "FALSE");
    run(remove);
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\Values")) << code;
  }
  FakeCommandContext aborting("Read Registry", {"Result", "7", kTestRoot, ""});
  EXPECT_THROW(run(aborting), EngineError);
}

TEST_F(RegistryCommands, DeleteValueLeavesTheKey) {
  FakeCommandContext context("Delete Registry", {"1", kTestRoot + "\\Values", "Text", "FALSE"});
  run(context);
  EXPECT_FALSE(valueExists(HKEY_CURRENT_USER, kTestRoot + "\\Values", "Text"));
  EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, kTestRoot + "\\Values", "Dword"));
  EXPECT_EQ(context.failures, 0);

  FakeCommandContext missing("Delete Registry", {"1", kTestRoot + "\\NoSuchKey", "Text", "FALSE"});
  run(missing);
  EXPECT_EQ(missing.failures, 0);
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\NoSuchKey"));
}

TEST_F(RegistryCommands, DeleteKeyTakesItsSubkeys) {
  createKey(HKEY_CURRENT_USER, kTestRoot + "\\Tree\\A\\B\\C");
  createKey(HKEY_CURRENT_USER, kTestRoot + "\\Tree\\D");
  createKey(HKEY_CURRENT_USER, kTestRoot + "\\Tree2");  // a sibling with a common prefix
  FakeCommandContext context("Delete Registry", {"1", kTestRoot + "\\Tree", "", "TRUE"});
  run(context);
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\Tree"));
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\Tree2"));
  EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\Values"));
}

TEST_F(RegistryCommands, DeleteKeyRefusesAnEmptyKeyPath) {
  for (const char* path : {"", "\\", "$UNSET$"}) {
    FakeCommandContext context("Delete Registry", {"1", path, "", "TRUE"});
    context.variables().Put("ABORTONERROR", "FALSE");
    context.variables().Put("UNSET", "");
    run(context);
    EXPECT_EQ(context.failures, 1) << path;
    EXPECT_TRUE(keyExists(HKEY_CURRENT_USER, kTestRoot + "\\Values")) << path;
  }
}

TEST_F(RegistryCommands, GetEnvironmentOneNameUndefinedAndWholeBlock) {
  ASSERT_TRUE(SetEnvironmentVariableA("KOX_TEST_ENV", "some value"));
  SetEnvironmentVariableA("KOX_UNDEFINED_ENV", nullptr);

  FakeCommandContext one("Get Environment", {"KOX_TEST_ENV", "$envResult$"});
  run(one);
  EXPECT_EQ(one.storedName("envResult"), "ENVRESULT");
  EXPECT_EQ(one.readVariable("ENVRESULT"), "some value");

  FakeCommandContext undefined("Get Environment", {"KOX_UNDEFINED_ENV", "R"});
  run(undefined);
  EXPECT_EQ(undefined.readVariable("R"), "%KOX_UNDEFINED_ENV%");

  FakeCommandContext all("Get Environment", {"", "R"});
  run(all);
  std::string block = "$NEWLINE$" + all.readVariable("R") + "$NEWLINE$";
  // The change made through the system shows, so the system's block was read.
  EXPECT_NE(block.find("$NEWLINE$KOX_TEST_ENV=some value$NEWLINE$"), std::string::npos);
  EXPECT_EQ(block.find("$NEWLINE$$NEWLINE$"), std::string::npos);
  SetEnvironmentVariableA("KOX_TEST_ENV", nullptr);
}

TEST_F(RegistryCommands, Set64BitModeExactTrueOnly) {
  FakeCommandContext lower("Set 64 Bit Mode", {"FALSE", "FALSE", "true"});
  run(lower);
  EXPECT_EQ(PlatformMode(), "Win32");
  FakeCommandContext x64("Set 64 Bit Mode", {"FALSE", "TRUE", "TRUE"});
  run(x64);
  EXPECT_EQ(PlatformMode(), "x64");
  FakeCommandContext none("Set 64 Bit Mode", {"", "", ""});
  run(none);
  EXPECT_EQ(PlatformMode(), "x64");
  FakeCommandContext back("Set 64 Bit Mode", {"TRUE", "", ""});
  run(back);
  EXPECT_EQ(PlatformMode(), "Win32");
}

TEST(RegistryView, CommandViewFollowsWow64AndPlatformMode) {
  const bool wow64 = win::RunningUnderWow64();
  ResetPlatformMode();
  EXPECT_EQ(win::RegistryViewForCommand(), wow64 ? KEY_WOW64_32KEY : 0u);
  SetPlatformMode("x64");
  EXPECT_EQ(win::RegistryViewForCommand(), wow64 ? KEY_WOW64_64KEY : 0u);
  ResetPlatformMode();
}

// HKLM\SOFTWARE has a 32-bit and a 64-bit view on 64-bit Windows; the reads
// and deletions address the view their flag names.
TEST(RegistryView, ThirtyTwoAndSixtyFourBitViewsDiffer) {
  const std::string path = "SOFTWARE\\KoxRegistryViewTest";
  {
    auto key64 = createKey(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    auto key32 = createKey(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    if (!key64 || !key32) GTEST_SKIP() << "HKLM\\SOFTWARE is not writable here";
    setValue(key64.get(), "View", REG_SZ, "sixty-four");
    setValue(key32.get(), "View", REG_SZ, "thirty-two");
  }
  std::string read64 = win::readRegistryValue(HKEY_LOCAL_MACHINE, path, "View", KEY_WOW64_64KEY);
  std::string read32 = win::readRegistryValue(HKEY_LOCAL_MACHINE, path, "View", KEY_WOW64_32KEY);
  if (read64 == read32) {
    win::deleteRegistryKeyTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    GTEST_SKIP() << "this system keeps one registry view (both read \"" << read64 << "\")";
  }
  EXPECT_EQ(read64, "sixty-four");
  EXPECT_EQ(read32, "thirty-two");

  createKey(HKEY_LOCAL_MACHINE, path + "\\Sub", KEY_WOW64_32KEY);
  EXPECT_TRUE(win::deleteRegistryKeyTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY));
  EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY));
  EXPECT_TRUE(win::deleteRegistryKeyTree(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY));
}

}  // namespace
}  // namespace kox
