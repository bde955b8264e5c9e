#include "engine/script/interpreter/win/win_environment.h"

#include <fstream>
#include <iterator>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/script/files/text_file_reader.h"
#include "engine/script/script_store.h"
#include "engine/startup/startup_settings.h"
#include "engine/startup/support_folder.h"
#include "engine/startup/trace_log.h"
#include "engine/startup/window_title.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

// Test runs set this to a file: a restart request is appended to it instead
// of restarting the machine that runs the tests.
constexpr const char* kRestartLogVariable = "KOX_TEST_RESTART_LOG";

std::string localeText(bool date) {
  char buffer[128] = {};
  const int length = date ? GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof(buffer))
                          : GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof(buffer));
  return length > 0 ? std::string(buffer) : std::string();
}

void enableShutdownPrivilege() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
  win::UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
    AdjustTokenPrivileges(raw, FALSE, &privileges, 0, nullptr, nullptr);
}

// Creates a folder and its missing parents; returns the ones it created,
// outermost first. Empty optional on failure.
std::optional<std::vector<std::string>> createFolders(const std::string& folder) {
  std::vector<std::string> created;
  std::string path = withBackslash(folder);
  for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (part.empty() || part.back() == ':' || part == "\\" || folderExists(part)) continue;
    if (!CreateDirectoryA(part.c_str(), nullptr) && !folderExists(part)) return std::nullopt;
    created.push_back(part);
  }
  return folderExists(path) ? std::optional(created) : std::nullopt;
}

}  // namespace

WinRunEnvironment::WinRunEnvironment(RunIdentity& identity, ScriptStore& script, WriteProtection& protection,
                                     std::function<void()> bootstrapAgain, std::function<void()> postRun)
    : identity_(identity),
      script_(script),
      protection_(protection),
      bootstrapAgain_(std::move(bootstrapAgain)),
      postRun_(std::move(postRun)),
      title_(windowTitle(identity.productTitle, false)) {}

void WinRunEnvironment::processMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void WinRunEnvironment::waitStep() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    WaitMessage();
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

uint64_t WinRunEnvironment::tickCount() { return GetTickCount(); }

void WinRunEnvironment::trace(const std::string& line) { kox::trace(line); }

void WinRunEnvironment::setLogPath(const std::string& path) { traceLog().setPath(path); }

void WinRunEnvironment::setWindowTitle(const std::string& title, bool logo) { title_ = windowTitle(title, logo); }

void WinRunEnvironment::applyCacheOverride(TVariableManager& store, const std::string& folder) {
  const auto created = createFolders(folder);
  if (!created) {
    WriteVariable(store, "OVERRIDECACHE", "", "Failed Cache Override", protection_);
    return;
  }
  WriteVariable(store, "OVERRIDECACHE", withBackslash(folder), kInjectOverrideContext, protection_);
  bootstrapAgain_();
  // The folders only served as a test that the override can be created.
  for (auto it = created->rbegin(); it != created->rend(); ++it) RemoveDirectoryA(it->c_str());
  lastOverride_ = "\x01";
}

void WinRunEnvironment::refreshClock(TVariableManager& store) {
  const uint64_t second = GetTickCount() / 1000;
  if (second == lastClockSecond_) return;
  lastClockSecond_ = second;
  WriteVariable(store, "DATE", localeText(true), "Initialization", protection_);
  WriteVariable(store, "TIME", localeText(false), "Initialization", protection_);
}

void WinRunEnvironment::applyLanguage(const std::string& language) {
  const StartupSettings& settings = startupSettings();
  script_.setTranslations(TranslationTables::load(settings.supportFolder, identity_.productTitle, language));
  const std::string shared = settings.supportFolder + "shared.translations." + language;
  std::ifstream in(shared, std::ios::binary);
  if (in) messageTable().applyLanguageFile(std::string(std::istreambuf_iterator<char>(in), {}), language);
}

void WinRunEnvironment::refreshCacheLinks(TVariableManager& store) {
  const std::string allUsers = store.Get("ALLUSERS");
  const std::string override = store.Get("OVERRIDECACHE");
  const uint64_t second = GetTickCount() / 1000;
  // The registry behind the cache root changes only through the run itself.
  if (allUsers == lastAllUsers_ && override == lastOverride_ && second == lastLinksSecond_) return;
  lastAllUsers_ = allUsers;
  lastOverride_ = override;
  lastLinksSecond_ = second;
  if (!identity_.patchCacheName.empty()) {
    const HKEY root = TextToBool(allUsers) ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    std::string link = readRegistryText(root,
                                        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                            store.Get("TITLE"),
                                        "UninstallString")
                           .value_or("");
    std::erase(link, '"');
    WriteVariable(store, "UNINSTALLLINK", link, "Bootstrap", protection_);
    WriteVariable(store, "ENGINECACHE", link.substr(0, link.find_last_of('\\') + 1), "Bootstrap", protection_);
    return;
  }
  const std::string folder = engineCacheFolder(store, identity_, TextToBool(allUsers));
  WriteVariable(store, "UNINSTALLLINK", folder + identity_.executableName, "Bootstrap", protection_);
  WriteVariable(store, "ENGINECACHE", folder, "Bootstrap", protection_);
}

void WinRunEnvironment::requestRestart() {
  char logPath[MAX_PATH] = {};
  if (GetEnvironmentVariableA(kRestartLogVariable, logPath, sizeof(logPath)) > 0) {
    std::ofstream(logPath, std::ios::app) << "restart\n";
    return;
  }
  enableShutdownPrivilege();
  ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
}

void WinRunEnvironment::writeResumeEntry(bool allUsers, const std::string& valueName, const std::string& command) {
  HKEY raw = nullptr;
  if (RegCreateKeyExA(allUsers ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunOnceKey, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS)
    return;
  win::UniqueRegKey key(raw);
  RegSetValueExA(raw, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
}

void WinRunEnvironment::showRuntimeError(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

std::string WinRunEnvironment::singleInstanceMarker() const {
  return startupSettings().tempFolder + identity_.revisionCode + ".kox";
}

void WinRunEnvironment::finishRun() {
  if (singleInstance_) DeleteFileA(singleInstanceMarker().c_str());
  // The one text file "Read from Text File" keeps open between calls.
  closeScriptReadFile();
}

bool WinRunEnvironment::setupMediaRemoved() {
  const std::string& folder = identity_.executableFolder;
  if (folder.size() < 3) return false;
  const std::string drive = folder.substr(0, 3);
  return GetDriveTypeA(drive.c_str()) != DRIVE_FIXED && !folderExists(folder);
}

void WinRunEnvironment::completeRemovedMediaRun(int exitCode) {
  postRun_();
  kox::trace("  </RunScript>");
  kox::trace("  <Free>");
  SetupPackage& package = setupPackage();
  for (auto* list : {&package.commandNames, &package.commandIds, &package.disabledFlags, &package.commandMediaFolders,
                     &package.pluginCommands})
    std::vector<std::string>().swap(*list);
  kox::trace("  </Free>");
  kox::trace("  <CachedSupportDir>");
  removeFolderTree(startupSettings().supportFolder);
  kox::trace("  </CachedSupportDir>");
  kox::trace("  <RemovableMediaPrematureEject>");
  kox::trace("  </RemovableMediaPrematureEject>");
  kox::trace("</Velmora>");
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace kox
