// Run script: the set-up before the first command, the step loop, and the
// post-run that keeps what a later maintenance run needs.
#include <windows.h>

#include <algorithm>
#include <fstream>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/media/media_commands.h"
#include "engine/script/compiler.h"
#include "engine/script/interpreter/component_state.h"
#include "engine/script/interpreter/dialog_host.h"
#include "engine/script/interpreter/installer_properties.h"
#include "engine/script/interpreter/interpreter.h"
#include "engine/script/interpreter/predefined_variables.h"
#include "engine/script/interpreter/shared_state.h"
#include "engine/script/interpreter/win/run_identity.h"
#include "engine/script/interpreter/win/set_language.h"
#include "engine/script/interpreter/win/win_environment.h"
#include "engine/script/script_store.h"
#include "engine/startup/engine_seams.h"
#include "engine/startup/language_names.h"
#include "engine/startup/startup_settings.h"
#include "engine/startup/support_folder.h"
#include "engine/startup/trace_log.h"
#include "engine/vars/variable_manager.h"

#ifdef KOX_HAVE_VALUE_COMMANDS
#include "engine/script/values/persistent_variables.h"
#include "engine/script/values/platform_mode.h"
#endif

namespace kox {
namespace {

constexpr UINT kExitCompileFailed = 314;
constexpr const char* kNoLanguageYet = "ZILCH";

std::string firstLine(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

std::vector<std::string> folderEntries(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

class RunSetup {
 public:
  explicit RunSetup(const ScriptRunInput& input) : input_(input) {}
  int run();

 private:
  void compile();
  void defineEarlyVariables();
  bool singleInstanceBlocks();
  bool lastSetUpSteps();
  void patchRunData();
  void removeResumeEntry();
  void deactivateRecordedCommands();
  bool selectLanguage();
  void injectCommandLine();
  void postRun();
  void bootstrap();
  bool patchRun() const;

  const ScriptRunInput& input_;
  StartupSettings& settings_ = startupSettings();
  SetupPackage& package_ = setupPackage();
  TVariableManager& store_ = variableStore();
  std::unique_ptr<ScriptStore> script_;
  RunIdentity identity_;
  WriteProtection protection_;
  std::unique_ptr<WinRunEnvironment> environment_;
  bool maintenance_ = false;
};

bool RunSetup::patchRun() const {
  const std::string& database = identity_.databasePath;
  return fileExists(database.substr(0, database.find_last_of('.')) + ".msp");
}

void RunSetup::bootstrap() {
  trace("    <BootStrap>");
  runBootstrap(identity_, store_, protection_);
  maintenance_ = TextToBool(store_.Get("MAINTENANCE"));
  trace("    </BootStrap>");
}

// Step 2: a script that does not compile is not run, and nothing is cleaned up.
void RunSetup::compile() {
  trace("    <CompileScript>");
  ScriptLists lists;
  lists.commandNames = input_.commandNames;
  lists.commandIds = input_.commandIds;
  lists.disabledFlags = input_.disabledFlags;
  if (!input_.parameterStores.empty()) lists.parameters = input_.parameterStores.front();
  lists.commandHeaders = package_.commandHeaders;
  lists.buildConstants = package_.buildConstants;
  script_ = std::make_unique<ScriptStore>(std::move(lists));
  if (!compileScript(*script_, store_).succeeded()) TerminateProcess(GetCurrentProcess(), kExitCompileFailed);
  trace("    </CompileScript>");
}

// Step 3.
void RunSetup::defineEarlyVariables() {
  store_.Clear();
  componentModel().clearComponents();
  defineProgressVariables(store_, GetTickCount());
  RunFacts facts;
  facts.productTitle = identity_.productTitle;
  facts.administrator = isAdministrator();
  definePreInitializationVariables(store_, protection_, facts);
}

// Step 7.
bool RunSetup::singleInstanceBlocks() {
  if (script_->expandBuildConstants("#SINGLEINSTANCE#") != "TRUE") return false;
  const std::string marker = environment_->singleInstanceMarker();
  if (fileExists(marker)) return true;
  win::UniqueHandle file(CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  environment_->setSingleInstance(true);
  return false;
}

// Step 9: a patch takes the installed product's data from its cache folder,
// named after the folder that holds its uninstaller.
void RunSetup::patchRunData() {
  if (!patchRun()) return;
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + store_.Get("TITLE");
  std::string uninstaller = readRegistryText(HKEY_CURRENT_USER, key, "UninstallString").value_or("");
  if (uninstaller.empty()) uninstaller = readRegistryText(HKEY_LOCAL_MACHINE, key, "UninstallString").value_or("");
  std::erase(uninstaller, '"');
  std::string folder = uninstaller.substr(0, uninstaller.find_last_of('\\'));
  const std::string name = folder.substr(folder.find_last_of('\\') + 1);
  if (name.empty()) return;
  identity_.patchCacheName = name;
  const std::string revision = identity_.revisionCode;
  identity_.revisionCode = name;
  const std::string cache = engineCacheFolder(store_, identity_, TextToBool(store_.Get("ALLUSERS")));
  ComponentModel& model = componentModel();
  loadComponentStateFile(
      cache + identity_.databaseBaseName + ".dat", model,
      [&](const std::string& n, const std::string& v) { WriteVariable(store_, n, v, kLoadComponentsContext, protection_); },
      LoadOptions{});
  pushSharedState(model);
  model.installedSizeBaseline = model.selectedSize();
  identity_.revisionCode = revision;
}

// Step 10.
void RunSetup::removeResumeEntry() {
  const std::string& code = identity_.productCode;
  const std::string valueName = code.substr(code.empty() || code.front() != '{' ? 0 : 1, 8);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, kRunOnceKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) continue;
    win::UniqueRegKey key(raw);
    RegDeleteValueA(raw, valueName.c_str());
  }
}

// Step 11: every recorded command starts switched off in the database.
void RunSetup::deactivateRecordedCommands() {
  InstallerProperties& properties = installerProperties();
  for (size_t i = 0; i + 1 < package_.commandHeaders.size(); i += 2) {
    const std::string name = "A" + package_.commandHeaders[i];
    properties.pending.emplace_back(name, "FALSE");
  }
}

// Step 12. False when the user cancels the language window.
bool RunSetup::selectLanguage() {
  std::string current;
  const std::string& support = settings_.supportFolder;
  std::vector<std::string> languages;
  if (fileExists(support + identity_.productTitle + ".mtx")) {
    for (const std::string& name : folderEntries(support + "translations.*")) {
      if (equalsIgnoreCase(name, "translations.Map") || equalsIgnoreCase(name, "translations.Original")) continue;
      if (findIgnoreCase(name, "shared") != std::string::npos) continue;
      const std::string language = name.substr(std::string("translations.").size());
      languages.push_back(language);
      if (equalsIgnoreCase(language, package_.defaultLanguage)) current = language;
    }
  }
  if (!languages.empty() && TextToBool(package_.languageSelection) && !maintenance_ && !patchRun()) {
    const std::string userLanguage = tableLanguageName(GetUserDefaultLangID());
    auto position = [&](const std::string& wanted) {
      return std::find_if(languages.begin(), languages.end(),
                          [&](const std::string& l) { return equalsIgnoreCase(l, wanted); });
    };
    auto preselected = position(userLanguage);
    if (preselected == languages.end()) preselected = position(package_.defaultLanguage);
    const size_t index = preselected == languages.end() ? 0 : static_cast<size_t>(preselected - languages.begin());
    if (!protection_.silent) {
      auto chosen = TSetLanguage::choose(environment_->title(), languages, index);
      if (!chosen) return false;
      current = *chosen;
    }
  } else if (maintenance_ || patchRun()) {
    const std::string cache = engineCacheFolder(store_, identity_, TextToBool(store_.Get("ALLUSERS")));
    const std::string saved = cache + identity_.databaseBaseName + ".lan";
    if (fileExists(saved)) current = firstLine(saved);
  }
  WriteVariable(store_, "LANGUAGE", current, "Initialization", protection_);
  return true;
}

// Step 13.
void RunSetup::injectCommandLine() {
  const std::vector<std::string>& pairs = settings_.commandLine.variables;
  for (size_t i = 0; i + 1 < pairs.size(); i += 2)
    WriteVariable(store_, toUpperAscii(pairs[i]), pairs[i + 1], kInjectOverrideContext, protection_);
}

// Steps 8 (after its trace line) to 13, inside the interpreter's error guard.
bool RunSetup::lastSetUpSteps() {
  componentModel().selectPredefinedComponent();
  RunFacts facts;
  facts.productTitle = identity_.productTitle;
  facts.company = package_.productInfo.publisher;
  facts.version = package_.productInfo.version;
  facts.executablePath = settings_.executablePath;
  facts.executableFolder = settings_.executableFolder;
  facts.silent = settings_.commandLine.silent;
  facts.logPath = settings_.commandLine.logPath;
  facts.commandLineTail = settings_.commandLine.tail;
  facts.outerPackagePath = settings_.commandLine.outerPackagePath;
  facts.policyPath = settings_.commandLine.policyPath;
  const char* ownerKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\";
  facts.userName = readRegistryText(HKEY_LOCAL_MACHINE, ownerKey, "RegisteredOwner").value_or("");
  facts.userCompany = readRegistryText(HKEY_LOCAL_MACHINE, ownerKey, "RegisteredOrganization").value_or("");
  environment_->refreshClock(store_);
  facts.date = store_.Get("DATE");
  facts.time = store_.Get("TIME");
  facts.tempFolder = settings_.tempFolder;
  facts.supportFolder = settings_.supportFolder;
  facts.databasePath = identity_.databasePath;
  defineInitializationVariables(store_, protection_, facts);
  patchRunData();
  removeResumeEntry();
  deactivateRecordedCommands();
  if (!selectLanguage()) return false;
  injectCommandLine();
  return true;
}

// After the interpreter: web sources removed when asked, the component state
// file written or refreshed in the engine cache.
void RunSetup::postRun() {
  const std::string cacheName = identity_.patchCacheName.empty() ? identity_.revisionCode : identity_.patchCacheName;
  const std::string stateFile = identity_.databaseBaseName + ".dat";
  if (identity_.buildMode == 2 && equalsIgnoreCase(script_->expandBuildConstants("#CACHESOURCES#"), "FALSE")) {
    const std::string cache = cacheRoot(store_, identity_, TextToBool(store_.Get("ALLUSERS"))) + cacheName + "\\";
    for (const std::string& name : folderEntries(cache + "*")) {
      const std::string path = cache + name;
      if (name == "." || name == ".." || equalsIgnoreCase(name, "OFFLINE") || !folderExists(path)) continue;
      for (int pass = 0; pass < 3; ++pass) deleteFolderContents(path);
      RemoveDirectoryA(path.c_str());
    }
  }
  const std::string userCache = cacheRoot(store_, identity_, false) + cacheName + "\\";
  const std::string folder =
      fileExists(userCache + stateFile) ? userCache : cacheRoot(store_, identity_, true) + cacheName + "\\";
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
  ComponentModel& model = componentModel();
  pullSharedState(model);
  if (model.persistentVariables.empty()) return;
  std::string partial;
  for (size_t slash = folder.find('\\'); slash != std::string::npos; slash = folder.find('\\', slash + 1))
    CreateDirectoryA(folder.substr(0, slash).c_str(), nullptr);
  // "Apply Changes" writes the file in full; without it the variables are refreshed.
  try {
    refreshComponentStateFile(folder + stateFile, model, store_);
  } catch (const std::exception&) {
    // A cache that cannot be written leaves the earlier state file as it was.
  }
}

int RunSetup::run() {
  identity_.productCode = package_.productCode;
  identity_.revisionCode = package_.revisionCode;
  identity_.productTitle = package_.productTitle;
  identity_.databasePath = input_.databasePath;
  identity_.databaseBaseName = settings_.executableBaseName;
  identity_.executableFolder = settings_.executableFolder;
  identity_.executableName = settings_.executablePath.substr(settings_.executablePath.find_last_of('\\') + 1);
  identity_.mediaDataFolder = settings_.mediaDataFolder;
  identity_.buildMode = package_.buildMode;
  protection_.silent = settings_.commandLine.silent;
  protection_.commandLineVariables = settings_.commandLine.variables;

  // 1
  trace("    <Variables>");
  componentModel() = ComponentModel{};
  installerProperties().clear();
#ifdef KOX_HAVE_VALUE_COMMANDS
  ClearPersistentVariables();
  ResetPlatformMode();
#endif
  trace("    </Variables>");
  compile();  // 2
  defineEarlyVariables();  // 3
  identity_.loadOldData = script_->expandBuildConstants("#LOADOLDDATA#") == "TRUE";
  environment_ = std::make_unique<WinRunEnvironment>(
      identity_, *script_, protection_, [this] { bootstrap(); }, [this] { postRun(); });
  bootstrap();  // 4
  script_->fillLabelTable();  // 5

  // 6
  const std::string& database = identity_.databasePath;
  if (!fileExists(database) && !patchRun()) return 0;
  if (singleInstanceBlocks()) return 0;  // 7

  RunSettings run;
  run.productCode = identity_.productCode;
  run.executablePath = settings_.executablePath;
  run.executableFolder = settings_.executableFolder;
  run.supportFolder = settings_.supportFolder;
  run.mediaDataFolder = identity_.mediaDataFolder;
  run.outerPackagePath = settings_.commandLine.outerPackagePath;
  run.commandLineTail = settings_.commandLine.tail;
  run.pluginCommands = package_.pluginCommands;
  run.webMediaPasswords = package_.webMediaPasswords;
  run.sourceLineMap = package_.sourceLineMap;
  run.runtimeErrorText = messageTable().text(kMsgRuntimeErrorInScript);
  run.protection = protection_;
  Interpreter interpreter(*script_, store_, *environment_, engineDialogHost(), engineCommandTable(), std::move(run));

  trace("    <keld>");  // 8
  interpreter.run([this, &interpreter] {
    const bool go = lastSetUpSteps();
    // The injected names are the ones the silent run keeps.
    interpreter.settings().protection = protection_;
    return go;
  });
  postRun();
  return interpreter.exitCode();
}

}  // namespace

int runScript(const ScriptRunInput& input) {
  // The media commands belong to the Windows engine, not the script engine:
  // they join the dispatch table here, once, before anything runs.
  static const bool mediaCommandsAdded = [] {
    addEngineCommands(mediaCommands());
    return true;
  }();
  (void)mediaCommandsAdded;
  RunSetup setup(input);
  return setup.run();
}

}  // namespace kox
