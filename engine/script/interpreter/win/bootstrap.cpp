#include <shlobj.h>

#include <fstream>
#include <vector>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/script/interpreter/component_state.h"
#include "engine/script/interpreter/installer_properties.h"
#include "engine/script/interpreter/shared_state.h"
#include "engine/script/interpreter/win/run_identity.h"
#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

constexpr const char* kBootstrapContext = "Bootstrap";
constexpr int kProductStateInstalled = 5;  // INSTALLSTATE_DEFAULT

std::vector<std::string> readLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Windows Installer, bound by function name when the run needs it.
class InstallerLibrary {
 public:
  InstallerLibrary() : module_(LoadLibraryA("msi.dll")) {}

  int productState(const std::string& productCode) const {
    using QueryState = int(WINAPI*)(const char*);
    auto query = function<QueryState>("MsiQueryProductStateA");
    return query ? query(productCode.c_str()) : -1;
  }
  std::string productInfo(const std::string& productCode, const char* property) const {
    using GetInfo = UINT(WINAPI*)(const char*, const char*, char*, DWORD*);
    auto get = function<GetInfo>("MsiGetProductInfoA");
    if (!get) return {};
    std::string buffer(512, '\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    if (get(productCode.c_str(), property, buffer.data(), &size) != ERROR_SUCCESS) return {};
    buffer.resize(size);
    return buffer;
  }

 private:
  template <typename F>
  F function(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
  }
  win::UniqueModule module_;
};

// The installed product is another revision: its package code is not ours.
bool needsUpgrade(const RunIdentity& identity) {
  InstallerLibrary msi;
  if (msi.productState(identity.productCode) != kProductStateInstalled) return false;
  const std::string packageCode = msi.productInfo(identity.productCode, "PackageCode");
  return !packageCode.empty() && !equalsIgnoreCase(packageCode, identity.revisionCode);
}

bool productInstalled(const RunIdentity& identity) {
  return InstallerLibrary().productState(identity.productCode) == kProductStateInstalled;
}

// Component state, pin list and run property list of a cache folder.
void loadRunFiles(const std::string& folder, const RunIdentity& identity, TVariableManager& store,
                  const WriteProtection& protection, const std::string& baseName) {
  ComponentModel& model = componentModel();
  loadComponentStateFile(
      folder + baseName + ".dat", model,
      [&](const std::string& name, const std::string& value) {
        WriteVariable(store, name, value, kLoadComponentsContext, protection);
      },
      LoadOptions{});
  pushSharedState(model);
  model.installedSizeBaseline = model.selectedSize();
  if (fileExists(folder + baseName + ".lnk")) installerProperties().previousPins = readLines(folder + baseName + ".lnk");
  if (fileExists(folder + baseName + ".par")) installerProperties().runProperties = readLines(folder + baseName + ".par");
  (void)identity;
}

// The folder and base name of the previous installation's data, when the
// identity cache names one.
std::optional<std::pair<std::string, std::string>> previousInstallation(const RunIdentity& identity) {
  const std::string key = std::string(kIdentCacheKey) + identity.productCode;
  std::optional<std::string> folder = readRegistryText(HKEY_LOCAL_MACHINE, key, nullptr);
  if (!folder) folder = readRegistryText(HKEY_CURRENT_USER, key, nullptr);
  if (!folder || !folderExists(*folder)) return std::nullopt;
  const std::string root = withBackslash(*folder);
  std::vector<std::string> candidates;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA((root + "*.dat").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  do {
    if (!equalsIgnoreCase(found.cFileName, "instance.dat")) candidates.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  auto baseOf = [](const std::string& name) { return name.substr(0, name.size() - 4); };
  if (candidates.size() == 1) return std::make_pair(root, baseOf(candidates[0]));
  for (const auto& candidate : candidates) {
    const std::string base = root + baseOf(candidate);
    if (fileExists(base + ".exe") && fileExists(base + ".res") && fileExists(base + ".msi") && fileExists(base + ".par"))
      return std::make_pair(root, baseOf(candidate));
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> readRegistryText(HKEY root, const std::string& key, const char* value) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
  win::UniqueRegKey owned(raw);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(raw, value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::string();
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
  std::string text(size, '\0');
  if (RegQueryValueExA(raw, value, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
    return std::string();
  text.resize(size);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

bool isAdministrator() { return IsUserAnAdmin() != FALSE; }

std::string shellFolder(int folderId) {
  char path[MAX_PATH] = {};
  if (SHGetSpecialFolderPathA(nullptr, path, folderId, FALSE) && path[0] != '\0') return withBackslash(path);
  return {};
}

bool fileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool folderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string cacheRoot(const TVariableManager& store, const RunIdentity& identity, bool allUsers) {
  const std::string override = store.Get("OVERRIDECACHE");
  if (!override.empty()) return override;
  const std::string key = std::string(kIdentCacheKey) + identity.productCode;
  std::optional<std::string> cached = readRegistryText(HKEY_LOCAL_MACHINE, key, nullptr);
  if (!cached) cached = readRegistryText(HKEY_CURRENT_USER, key, nullptr);
  if (cached && !cached->empty()) {
    std::string folder = *cached;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const size_t slash = folder.find_last_of('\\');
    if (slash != std::string::npos && equalsIgnoreCase(folder.substr(slash + 1), identity.revisionCode))
      return folder.substr(0, slash + 1);
  }
  std::string root = allUsers ? shellFolder(CSIDL_COMMON_APPDATA) : shellFolder(CSIDL_LOCAL_APPDATA);
  if (root.empty() && !allUsers) root = shellFolder(CSIDL_APPDATA);
  if (root.empty()) {
    std::string desktop = shellFolder(CSIDL_DESKTOP);
    if (!desktop.empty()) desktop.pop_back();
    const size_t slash = desktop.find_last_of('\\');
    root = (slash == std::string::npos ? std::string() : desktop.substr(0, slash + 1)) + "Application Data\\";
  }
  return root;
}

std::string engineCacheFolder(const TVariableManager& store, const RunIdentity& identity, bool allUsers) {
  return cacheRoot(store, identity, allUsers) + identity.revisionCode + "\\";
}

void runBootstrap(RunIdentity& identity, TVariableManager& store, const WriteProtection& protection) {
  auto define = [&](const char* name, const std::string& value, const char* context = kBootstrapContext) {
    WriteVariable(store, name, value, context, protection);
  };
  // 1: an instance file beside the engine gives this setup another identity.
  const std::string instanceFile = identity.executableFolder + "instance.dat";
  const bool hasInstanceFile = fileExists(instanceFile);
  if (hasInstanceFile) {
    const std::vector<std::string> lines = readLines(instanceFile);
    if (lines.size() > 0) identity.productCode = lines[0];
    if (lines.size() > 1) identity.revisionCode = lines[1];
    if (lines.size() > 2) identity.productTitle = lines[2];
  }
  // 2
  define("PRODUCTCODE", identity.productCode);
  define("REVISIONCODE", identity.revisionCode);
  const bool administrator = isAdministrator();
  std::string programs = shellFolder(CSIDL_PROGRAM_FILES);
  if (!administrator) {
    std::string documents = shellFolder(CSIDL_PERSONAL);
    if (!documents.empty()) documents.pop_back();
    programs = documents.substr(0, documents.find_last_of('\\') + 1);
  }
  const std::string defaultTarget = programs + identity.productTitle + "\\";
  // 3
  const std::string cacheFolder = engineCacheFolder(store, identity, administrator);
  define("UNINSTALLLINK", cacheFolder + identity.executableName);
  define("ENGINECACHE", cacheFolder);
  // 4
  if (identity.buildMode == 2) identity.mediaDataFolder = cacheFolder;
  define("DATADIR", identity.mediaDataFolder);
  // 5, 6
  const bool upgrade = needsUpgrade(identity);
  const bool maintenance = !upgrade && productInstalled(identity);
  define("NEEDSUPGRADE", BoolToText(upgrade));
  define("MAINTENANCE", BoolToText(maintenance));
  ComponentModel& model = componentModel();
  if (maintenance) {  // 7
    loadRunFiles(cacheFolder, identity, store, protection, identity.databaseBaseName);
  } else {  // 8
    model.clearComponents();
    model.selectPredefinedComponent();
    installerProperties().runProperties.clear();
    define("TARGETDIR", defaultTarget);
    define("STARTMENU", identity.productTitle);
    define("ALLUSERS", BoolToText(administrator));
    if (fileExists(cacheFolder + identity.databaseBaseName + ".dat"))
      loadRunFiles(cacheFolder, identity, store, protection, identity.databaseBaseName);
  }
  // 9: the data of an earlier installation of this product, for an upgrade.
  if (upgrade && identity.loadOldData) {
    if (auto previous = previousInstallation(identity))
      loadRunFiles(previous->first, identity, store, protection, previous->second);
  }
  // 10
  const bool newInstance = !hasInstanceFile && (maintenance || upgrade);
  define("NEWINSTANCE", BoolToText(newInstance), "Initialization");
}

}  // namespace kox
