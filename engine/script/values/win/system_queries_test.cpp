// The system queries against what the system (Wine, in the test runs) reports.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "engine/script/values/platform_mode.h"
#include "engine/script/values/system_query_commands.h"
#include "engine/script/values/test_command_context.h"
#include "engine/script/values/value_commands.h"
#include "engine/script/values/win/folder_location.h"
#include "engine/script/values/win/redirection.h"
#include "engine/script/values/win/registry_read.h"
#include "engine/script/values/win/system_probe_win.h"

namespace kox {
namespace {

using testing::TestCommandContext;

std::string setting(int code) {
  TestCommandContext context("Get System Settings", {"R", std::to_string(code)});
  GetSystemSettingsCommand(context);
  return context.get("R");
}

std::string folder(int code, bool allUsers) {
  TestCommandContext context("Get Folder Location", {"f", std::to_string(code), allUsers ? "TRUE" : "FALSE"});
  GetFolderLocationCommand(context);
  EXPECT_EQ(context.storedName("F"), "F");
  return context.get("F");
}

std::string withSlash(const std::string& path) { return path.empty() || path.back() == '\\' ? path : path + "\\"; }

TEST(GetSystemSettings, ScreenAndDisplayAsTheSystemReports) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  const std::pair<int, int> sizes[] = {{800, 600}, {1024, 768}, {1280, 1024}, {1600, 1200}, {1920, 1440}};
  for (int i = 0; i < 5; ++i) {
    auto [w, h] = sizes[i];
    bool expected = (width >= w && height >= h) || (height >= w && width >= h);
    EXPECT_EQ(setting(8 + i), expected ? "TRUE" : "FALSE") << w << "x" << h << " on " << width << "x" << height;
  }
  HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  int bits = GetDeviceCaps(dc, BITSPIXEL);
  int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  DeleteDC(dc);
  EXPECT_EQ(setting(13), bits >= 8 ? "TRUE" : "FALSE");
  EXPECT_EQ(setting(16), bits >= 32 ? "TRUE" : "FALSE");
  EXPECT_EQ(setting(64), std::to_string(dpi));
  EXPECT_EQ(setting(66), GetSystemMetrics(SM_TABLETPC) ? "TRUE" : "FALSE");
  EXPECT_EQ(setting(67), GetSystemMetrics(SM_MEDIACENTER) ? "TRUE" : "FALSE");
}

TEST(GetSystemSettings, MemoryVersionAndIdentity) {
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof(memory);
  ASSERT_TRUE(GlobalMemoryStatusEx(&memory));
  const int megabytes[] = {32, 64, 128, 256, 512, 1024, 2048};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(setting(1 + i), memory.ullTotalPhys >= (megabytes[i] - 2ull) * 1024 * 1024 ? "TRUE" : "FALSE");

  EXPECT_EQ(setting(17), "FALSE");
  EXPECT_EQ(setting(18), "TRUE");
  EXPECT_EQ(setting(24), "TRUE");  // every NT system Wine imitates is 5.0 or later

  char user[257] = {};
  DWORD size = sizeof(user);
  ASSERT_TRUE(GetUserNameA(user, &size));
  EXPECT_EQ(setting(60), user);
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  size = sizeof(computer);
  ASSERT_TRUE(GetComputerNameA(computer, &size));
  EXPECT_EQ(setting(61), computer);

  std::string group = setting(63);
  EXPECT_TRUE(group == "ADMIN" || group == "POWER" || group == "USER" || group == "GUEST" || group == "ERROR") << group;
  EXPECT_EQ(setting(0) == "TRUE", group == "ADMIN");
}

TEST(GetSystemSettings, ProcessorAndVirtualMachine) {
  // The tests run as a 64-bit process: no WOW64, an AMD64 processor.
  EXPECT_EQ(setting(65), win::RunningUnderWow64() ? "TRUE" : "FALSE");
#if defined(_WIN64)
  EXPECT_EQ(setting(65), "FALSE");
  EXPECT_EQ(setting(75), "AMD64");
#endif
  std::string vmware = setting(70), virtualPc = setting(71), physical = setting(74);
  EXPECT_EQ(physical, vmware == "FALSE" && virtualPc == "FALSE" ? "TRUE" : "FALSE");
  EXPECT_EQ(vmware, win::HypervisorVendor() == "VMwareVMware" ? "TRUE" : vmware);
  for (int code : {68, 69, 77, 79}) {
    std::string value = setting(code);
    EXPECT_TRUE(value == "TRUE" || value == "FALSE") << code << ": " << value;
  }
}

TEST(GetSystemSettings, LanguageOfTheSystem) {
  std::string id = setting(33);
  if (id.empty()) GTEST_SKIP() << "winver.exe has no version resource here";
  char name[256] = {};
  VerLanguageNameA(static_cast<DWORD>(std::stoul(id)), name, sizeof(name));
  EXPECT_EQ(setting(34), name);
}

TEST(GetSystemSettings, UnknownCodesAndBadNumbers) {
  EXPECT_EQ(setting(81), "");
  TestCommandContext context("Get System Settings", {"R", "eight"});
  EXPECT_THROW(GetSystemSettingsCommand(context), EngineError);
}

TEST(GetOsOrSpLevel, NameAndServicePackOfThisSystem) {
  WindowsVersion version = win::QueryWindowsVersion();
  EXPECT_TRUE(version.ntFamily);
  EXPECT_GE(version.major, 5u);

  TestCommandContext named("Get OS or SP Level", {"os", "TRUE"});
  GetOsOrSpLevelCommand(named);
  static const std::set<std::string> kNames = {"NT4", "2000", "XP", "2003", "2008", "VISTA", "SEVEN", "UNKNOWN"};
  EXPECT_EQ(kNames.count(named.get("OS")), 1u) << named.get("OS");
  EXPECT_EQ(named.get("OS"), WindowsName(version));
  EXPECT_EQ(named.storedName("os"), "OS");

  TestCommandContext level("Get OS or SP Level", {"SP", "FALSE"});
  GetOsOrSpLevelCommand(level);
  EXPECT_EQ(level.get("SP"), std::to_string(ServicePackNumber(version.servicePackText)));
}

TEST(GetFolderLocation, FoldersTheSystemReports) {
  char buffer[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(folder(25, false), withSlash(buffer));
  ASSERT_GT(GetSystemDirectoryA(buffer, MAX_PATH), 0u);
  EXPECT_EQ(folder(23, false), withSlash(buffer));  // not under WOW64 here

  const std::pair<int, std::pair<int, int>> special[] = {
      {15, {CSIDL_APPDATA, CSIDL_COMMON_APPDATA}},
      {2, {CSIDL_PERSONAL, CSIDL_COMMON_DOCUMENTS}},
      {14, {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}},
      {18, {CSIDL_FONTS, CSIDL_FONTS}},
  };
  for (const auto& [code, csidls] : special) {
    ASSERT_EQ(SHGetFolderPathA(nullptr, csidls.first, nullptr, 0, buffer), S_OK) << code;
    EXPECT_EQ(folder(code, false), withSlash(buffer)) << code;
    ASSERT_EQ(SHGetFolderPathA(nullptr, csidls.second, nullptr, 0, buffer), S_OK) << code;
    EXPECT_EQ(folder(code, true), withSlash(buffer)) << code;
  }

  auto programFiles = win::ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                            "ProgramFilesDir", 0);
  ASSERT_TRUE(programFiles.has_value());
  EXPECT_EQ(folder(20, false), withSlash(*programFiles));
  auto commonFiles = win::ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                           "CommonFilesDir", 0);
  EXPECT_EQ(folder(20, true), withSlash(commonFiles.value_or("")));
}

TEST(GetFolderLocation, CdRomQuickLaunchAndUnknownCodes) {
  std::string cd = folder(10, false);
  if (!cd.empty()) {
    EXPECT_EQ(cd.size(), 3u);
    EXPECT_EQ(GetDriveTypeA(cd.c_str()), static_cast<UINT>(DRIVE_CDROM));
  }
  EXPECT_EQ(cd, win::FirstCdRomDrive());

  std::string quickLaunch = folder(26, false);
  if (!quickLaunch.empty()) {
    EXPECT_TRUE(quickLaunch.ends_with("\\Microsoft\\Internet Explorer\\Quick Launch\\")) << quickLaunch;
  }

  EXPECT_EQ(folder(28, false), "");
  EXPECT_EQ(folder(-1, true), "");
  for (int code = 0; code <= win::kLastFolderCode; ++code) {
    std::string path = folder(code, false);
    if (!path.empty()) {
      EXPECT_EQ(path.back(), '\\') << code;
    }
  }
}

TEST(CheckDiskSpace, FreeAndTotalBytes) {
  ULARGE_INTEGER available{}, total{};
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, nullptr));

  TestCommandContext totalContext("Check Disk Space", {"$Space$", "C:\\\\", "FALSE"});
  CheckDiskSpaceCommand(totalContext);
  EXPECT_EQ(totalContext.get("SPACE"), std::to_string(total.QuadPart));
  EXPECT_EQ(totalContext.storedName("space"), "SPACE");

  TestCommandContext freeContext("Check Disk Space", {"FREE", "C:\\windows", "TRUE"});
  CheckDiskSpaceCommand(freeContext);
  uint64_t reported = std::stoull(freeContext.get("FREE"));
  // Free space moves while other tests write; it stays near the system's figure.
  EXPECT_GT(reported, 0u);
  EXPECT_LE(reported, total.QuadPart);

  TestCommandContext missing("Check Disk Space", {"NONE", "Q:\\no\\such\\folder", "TRUE"});
  CheckDiskSpaceCommand(missing);
  EXPECT_EQ(missing.get("NONE"), "0");
}

TEST(IsMsiSetupInstalled, UnknownProductIsNotInstalled) {
  TestCommandContext context("Is MSI Setup Installed", {"{00000000-1111-2222-3333-444444444444}", "installed"});
  IsMsiSetupInstalledCommand(context);
  EXPECT_EQ(context.get("INSTALLED"), "FALSE");
  EXPECT_EQ(context.storedName("installed"), "INSTALLED");
  ASSERT_FALSE(context.writes.empty());
  EXPECT_EQ(context.writes.back().context, "MsiQueryProductState");

  TestCommandContext garbage("Is MSI Setup Installed", {"not a product code", "R"});
  IsMsiSetupInstalledCommand(garbage);
  EXPECT_EQ(garbage.get("R"), "FALSE");
}

TEST(GetTemporaryFile, CreatesAnEmptyFileInTheTemporaryFolder) {
  TestCommandContext context("Get Temporary File", {"$tmp$"});
  GetTemporaryFileCommand(context);
  std::string path = context.get("TMP");
  ASSERT_FALSE(path.empty());
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string name = path.substr(path.find_last_of('\\') + 1);
  EXPECT_EQ(path.substr(0, path.size() - name.size()), temp);
  EXPECT_EQ(name.substr(0, 3), "kox");
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 0u);

  GetTemporaryFileCommand(context);
  EXPECT_NE(context.get("TMP"), path);  // a new name each time
  DeleteFileA(context.get("TMP").c_str());
  DeleteFileA(path.c_str());
}

class ConvertPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "kox values " + std::to_string(GetCurrentProcessId());
    folder_ = root_ + "\\Long Folder Name";
    file_ = folder_ + "\\Read Me Please.txt";
    ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    HANDLE created = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    RemoveDirectoryA(folder_.c_str());
    RemoveDirectoryA(root_.c_str());
  }
  std::string convert(const std::string& value, bool shortForm) {
    TestCommandContext context("Convert Path", {"P", shortForm ? "TRUE" : "FALSE"});
    context.variables().Put("P", value);
    ConvertPathCommand(context);
    return context.get("P");
  }
  std::string root_, folder_, file_;
};

TEST_F(ConvertPathTest, ShortAndBackToLong) {
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetShortPathNameA(file_.c_str(), expected, MAX_PATH), 0u);
  std::string shortForm = convert(file_, true);
  EXPECT_EQ(shortForm, expected);

  // The long form restores every component's name as stored on disk.
  char longExpected[MAX_PATH] = {};
  ASSERT_GT(GetLongPathNameA(shortForm.c_str(), longExpected, MAX_PATH), 0u);
  EXPECT_EQ(convert(shortForm, false), longExpected);
}

TEST_F(ConvertPathTest, LongFormTakesTheLetterCaseFromTheDisk) {
  std::string lower = root_ + "\\long folder name\\read me please.txt";
  std::string converted = convert(lower, false);
  EXPECT_TRUE(converted.ends_with("\\Long Folder Name\\Read Me Please.txt")) << converted;
  // Doubled backslashes collapse first.
  std::string doubled = root_ + "\\\\Long Folder Name\\\\Read Me Please.txt";
  EXPECT_TRUE(convert(doubled, false).ends_with("\\Long Folder Name\\Read Me Please.txt"));
  // A path that does not exist stays as given; its short form is empty.
  std::string missing = root_ + "\\long folder name\\missing.txt";
  EXPECT_EQ(convert(missing, false), missing);
  EXPECT_EQ(convert(missing, true), "");
}

TEST(Redirection, NothingToSwitchOutsideWow64) {
  ResetPlatformMode();
  {
    win::FileSystemRedirectionOff guard;
    EXPECT_FALSE(guard.active());
  }
  EXPECT_EQ(win::RegistryViewForCommand(), win::RunningUnderWow64() ? static_cast<REGSAM>(KEY_WOW64_32KEY) : 0u);
  SetPlatformMode(kPlatformX64);
  {
    win::FileSystemRedirectionOff guard;
    EXPECT_EQ(guard.active(), win::RunningUnderWow64());
    EXPECT_EQ(win::RegistryViewForCommand(), win::RunningUnderWow64() ? static_cast<REGSAM>(KEY_WOW64_64KEY) : 0u);
  }
  ResetPlatformMode();
}

TEST(ValueCommands, WindowsBuildListsTheQueries) {
  std::set<std::string> names;
  for (const CommandEntry& entry : valueCommands()) names.insert(entry.name);
  EXPECT_EQ(names.size(), 15u);
  for (const char* name : {"Convert Path", "Get Temporary File", "Get System Settings", "Get OS or SP Level",
                           "Get Folder Location", "Check Disk Space", "Is MSI Setup Installed"})
    EXPECT_EQ(names.count(name), 1u) << name;
}

}  // namespace
}  // namespace kox
