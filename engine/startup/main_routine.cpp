#include "engine/startup/main_routine.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/startup/engine_seams.h"
#include "engine/startup/language_names.h"
#include "engine/startup/startup_settings.h"
#include "engine/startup/startup_windows.h"
#include "engine/startup/support_folder.h"
#include "engine/startup/trace_log.h"
#include "engine/startup/window_title.h"

extern "C" {
extern int __argc;
extern char** __argv;
}

namespace kox {
namespace {

using ExitCode = std::optional<int>;  // a value ends the run early with that code

constexpr int kExitException = 11;
constexpr int kExitNoPackage = 13;
constexpr int kExitNoArchive = 14;
constexpr int kExitExtractionFailed = 15;
constexpr int kExitNoDatabase = 16;

bool fileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
  win::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw EngineError("Unable to open " + path + ": " + win::systemErrorText());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) throw EngineError("Unable to size " + path + ": " + win::systemErrorText());
  if (size.QuadPart > 0x7FFFFFFF) throw EngineError(path + " is too large");
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      throw EngineError("Unable to read " + path + ": " + win::systemErrorText());
    if (got == 0) throw EngineError("Unable to read " + path + ": unexpected end of file");
    done += got;
  }
  return bytes;
}

void writeWholeFile(const std::string& path, const uint8_t* data, size_t size) {
  win::UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw EngineError("Unable to create " + path + ": " + win::systemErrorText());
  DWORD written = 0;
  if (size > 0 && (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size))
    throw EngineError("Unable to write " + path + ": " + win::systemErrorText());
}

// Deletes a temporary file when it goes out of scope, whatever happened.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() { DeleteFileA(path_.c_str()); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string readTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EngineError("Unable to open " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string userLanguageName() {
  return languageName(GetUserDefaultLangID(), [](int id) -> std::string {
    char buffer[128] = {};
    if (!GetLocaleInfoA(MAKELCID(id, SORT_DEFAULT), LOCALE_SENGLANGUAGE, buffer, sizeof(buffer))) return {};
    return buffer;
  });
}

std::string moduleFileName(HMODULE module) {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    DWORD length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) throw EngineError("Unable to find the program's own path: " + win::systemErrorText());
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(buffer.size() * 2);
  }
}

class MainRoutine {
 public:
  int run();

 private:
  void adjustOperatingSystem();
  void restrictToFirstProcessor();
  void establishFolders();
  void applyLibraryLanguageFile();
  void readCommandLine();
  void createStartupWindows();
  ExitCode readPackage();
  void createSupportFolderStep();
  ExitCode extractArchive();
  ExitCode checkDatabase();
  void copyDatabase();
  void preloadDialogs();
  void destroyStartupWindows();
  int runTheScript();
  void removeSupportFolder();

  ExitCode fail(int code, const std::string& message);
  std::string title() const { return windowTitle(setupPackage().productTitle, false); }
  bool silent() const { return settings_.commandLine.silent; }
  bool windowsExist() const { return windowsCreated_; }

  StartupSettings& settings_ = startupSettings();
  TSetupSplash splash_;
  TSetupInit init_;
  bool windowsCreated_ = false;
};

// Step 1: registry adjustments for Windows 7 and Vista; failures are ignored.
void MainRoutine::adjustOperatingSystem() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return;
#pragma GCC diagnostic pop
  std::string exePath;
  try {
    exePath = moduleFileName(nullptr);
  } catch (const EngineError&) {
    return;
  }
  const std::string exeName = exePath.substr(exePath.find_last_of('\\') + 1);
  const bool seven = info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 1);
  const bool vista = info.dwMajorVersion == 6 && info.dwMinorVersion == 0;
  HKEY raw = nullptr;
  if (seven) {
    // Keeps the setup program off the taskbar's jump lists.
    std::string key = "Applications\\" + exeName;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) ==
        ERROR_SUCCESS) {
      win::UniqueRegKey owned(raw);
      RegSetValueExA(raw, "IsHostApp", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    }
  } else if (vista) {
    // Keeps the Program Compatibility Assistant from asking about the setup.
    const char* key = "Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) == ERROR_SUCCESS) {
      win::UniqueRegKey owned(raw);
      DWORD value = 32;
      RegSetValueExA(raw, exePath.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
  }
}

// Step 2: only when the kernel has the function.
void MainRoutine::restrictToFirstProcessor() {
  using SetAffinity = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  auto setAffinity = reinterpret_cast<SetAffinity>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessAffinityMask")));
  if (setAffinity) setAffinity(GetCurrentProcess(), 1);
}

// Step 3.
void MainRoutine::establishFolders() {
  settings_.supportFolder.clear();
  settings_.executablePath = moduleFileName(nullptr);
  const size_t slash = settings_.executablePath.find_last_of('\\');
  settings_.executableFolder = settings_.executablePath.substr(0, slash + 1);
  std::string fileName = settings_.executablePath.substr(slash + 1);
  const size_t dot = fileName.find_last_of('.');
  settings_.executableBaseName = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  char temp[MAX_PATH + 1] = {};
  DWORD length = GetTempPathA(MAX_PATH, temp);
  settings_.tempFolder = withBackslash(std::string(temp, length <= MAX_PATH ? length : 0));
  if (!settings_.tempFolder.empty()) CreateDirectoryA(settings_.tempFolder.c_str(), nullptr);
}

// Step 4: a language text appended behind the archive library's image.
void MainRoutine::applyLibraryLanguageFile() {
  win::UniqueModule library(LoadLibraryA((settings_.executableFolder + "kox.lib").c_str()));
  if (!library) return;
  try {
    const std::vector<uint8_t> image = readWholeFile(moduleFileName(library.get()));
    const uint64_t end = peImageEnd(image);
    if (end >= image.size()) return;
    TemporaryFile langFile(settings_.tempFolder + "lang.loc");
    writeWholeFile(langFile.path(), image.data() + end, image.size() - static_cast<size_t>(end));
    messageTable().applyLanguageFile(readTextFile(langFile.path()), userLanguageName());
  } catch (const EngineError&) {
    // A library we cannot read simply leaves the English texts in place.
  }
}

// Step 5.
void MainRoutine::readCommandLine() {
  settings_.archivePath = settings_.executableFolder + settings_.executableBaseName + ".res";
  std::vector<std::string> args;
  for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
  settings_.commandLine = parseCommandLine(GetCommandLineA(), args);
  traceLog().setPath(settings_.commandLine.logPath);
}

// Step 6.
void MainRoutine::createStartupWindows() {
  trace("<Velmora>");
  trace("  <SetupSplash>");
  if (silent() || settings_.commandLine.noStartupWindows) return;
  init_.create(messageTable().text(kMsgInitCaption), messageTable().text(kMsgInitLabel));
  windowsCreated_ = true;
  const std::string bitmap = settings_.executableFolder + "setup.bmp";
  if (fileExists(bitmap) && splash_.load(bitmap)) {
    splash_.showCentred();
    init_.placeBesideSplash(splash_.bounds());
  } else {
    init_.centre();
  }
  init_.show();
}

ExitCode MainRoutine::fail(int code, const std::string& message) {
  if (!silent()) MessageBoxA(init_.handle(), message.c_str(), title().c_str(), MB_OK | MB_ICONERROR);
  return code;
}

// Step 7: measure the image, copy the package to "kox.tmp", read its sections.
ExitCode MainRoutine::readPackage() {
  trace("    <StubSize>");
  std::vector<uint8_t> image = readWholeFile(settings_.executablePath);
  uint64_t end;
  try {
    end = peImageEnd(image);
  } catch (const std::exception& e) {
    throw withContext("the setup executable is damaged", e);
  }
  if (end >= image.size()) return fail(kExitNoPackage, "For internal use only");
  trace("    </StubSize>");

  trace("    <StubData>");
  TemporaryFile packageFile(settings_.tempFolder + "kox.tmp");
  writeWholeFile(packageFile.path(), image.data() + end, image.size() - static_cast<size_t>(end));
  std::vector<uint8_t>().swap(image);
  trace("    </StubData>");

  trace("    <GlobalLists>");
  setupPackage() = parsePackage(readTextFile(packageFile.path()));
  trace("    </GlobalLists>");
  return std::nullopt;
}

// Step 8.
void MainRoutine::createSupportFolderStep() {
  trace("    <SupportDir>");
  settings_.supportFolder = createSupportFolder(settings_.tempFolder);
  trace("    </SupportDir>");
}

// Step 9.
ExitCode MainRoutine::extractArchive() {
  trace("    <ExtractArchive>");
  if (!fileExists(settings_.archivePath)) return fail(kExitNoArchive, messageTable().text(kMsgResourceNotFound));
  std::string error;
  if (!extractSetupArchive(settings_.archivePath, settings_.supportFolder, error))
    return fail(kExitExtractionFailed, messageTable().text(kMsgDecompressionFailure));
  trace("    </ExtractArchive>");
  return std::nullopt;
}

// Step 10.
ExitCode MainRoutine::checkDatabase() {
  trace("    <ExtractResource>");
  const std::string base = settings_.executableFolder + settings_.executableBaseName;
  if (!fileExists(base + ".msi") && !fileExists(base + ".msp"))
    return fail(kExitNoDatabase, messageTable().text(kMsgDatabaseNotFound));
  trace("    </ExtractResource>");
  return std::nullopt;
}

// Step 11: the database and the patch go into the support folder, writable.
void MainRoutine::copyDatabase() {
  trace("    <ResourcePath>");
  for (const char* extension : {".msi", ".msp"}) {
    const std::string name = settings_.executableBaseName + extension;
    const std::string source = settings_.executableFolder + name;
    if (!fileExists(source)) continue;
    const std::string target = settings_.supportFolder + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE))
      throw EngineError("Unable to copy " + source + " to " + target + ": " + win::systemErrorText());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  trace("    </ResourcePath>");
  settings_.mediaDataFolder = settings_.executableFolder + "data\\";
}

// Step 12.
void MainRoutine::preloadDialogs() {
  trace("    <Dialogs>");
  const SetupPackage& package = setupPackage();
  auto enabledDialog = [&](size_t i) {
    return package.commandNames[i] == "Display Dialog" && (i >= package.disabledFlags.size() || package.disabledFlags[i] != "C");
  };
  int count = 0;
  for (size_t i = 0; i < package.commandNames.size(); ++i)
    if (enabledDialog(i)) ++count;
  if (windowsExist()) {
    init_.setRange(count, 1);
    init_.repaint();
  }
  initDialogEngine(settings_.supportFolder);
  std::vector<std::vector<std::string>> stores{package.parameters};
  for (size_t i = 0; i < package.commandNames.size(); ++i) {
    if (!enabledDialog(i)) continue;
    // The dialog's name is the command's first parameter: the line after its identifier.
    std::string name;
    const std::string& id = i < package.commandIds.size() ? package.commandIds[i] : std::string();
    for (size_t line = 0; line + 1 < package.parameters.size(); ++line) {
      if (equalsIgnoreCase(package.parameters[line], id)) {
        name = package.parameters[line + 1];
        break;
      }
    }
    preloadDialog(std::to_string(i), settings_.supportFolder + name + ".dfm");
    if (windowsExist()) {
      init_.step();
      init_.repaint();
      if (splash_.visible()) splash_.repaint();
    }
  }
  trace("    </Dialogs>");
}

// Step 13.
void MainRoutine::destroyStartupWindows() {
  if (windowsExist()) {
    init_.destroy();
    if (splash_.visible()) splash_.destroy();
    windowsCreated_ = false;
  }
  trace("  </SetupSplash>");
}

// Step 14.
int MainRoutine::runTheScript() {
  SetupPackage& package = setupPackage();
  trace("  <RunScript>");
  std::vector<std::vector<std::string>> parameterStores;
  parameterStores.push_back(std::move(package.parameters));
  ScriptRunInput input{package.commandNames, package.commandIds, package.disabledFlags, parameterStores,
                       package.commandMediaFolders,
                       settings_.supportFolder + settings_.executableBaseName + ".msi"};
  const int exitCode = runScript(input);
  trace("  </RunScript>");
  trace("  <Free>");
  parameterStores.clear();
  for (auto* list : {&package.commandNames, &package.commandIds, &package.disabledFlags, &package.commandMediaFolders,
                     &package.pluginCommands}) {
    std::vector<std::string>().swap(*list);
  }
  trace("  </Free>");
  return exitCode;
}

// Step 16.
void MainRoutine::removeSupportFolder() {
  trace("  <CachedSupportDir>");
  removeFolderTree(settings_.supportFolder);
  trace("  </CachedSupportDir>");
  trace("</Velmora>");
}

int MainRoutine::run() {
  adjustOperatingSystem();
  restrictToFirstProcessor();
  establishFolders();
  applyLibraryLanguageFile();
  readCommandLine();
  createStartupWindows();

  int exitCode = 0;
  try {
    if (ExitCode early = readPackage()) return *early;
    createSupportFolderStep();
    if (ExitCode early = extractArchive()) return *early;
    if (ExitCode early = checkDatabase()) return *early;
    copyDatabase();
    preloadDialogs();
    destroyStartupWindows();
    exitCode = runTheScript();
  } catch (const std::exception& e) {
    // An error from the package onward ends the run, but the support folder still goes.
    if (!silent())
      MessageBoxA(nullptr, (messageTable().text(kMsgRuntimeErrorInInstall) + e.what()).c_str(), title().c_str(),
                  MB_OK | MB_ICONERROR);
    exitCode = kExitException;
  }
  removeSupportFolder();
  return exitCode;
}

}  // namespace

int runEngine() {
  MainRoutine routine;
  return routine.run();
}

}  // namespace kox
