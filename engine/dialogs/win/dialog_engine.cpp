#include "engine/dialogs/win/dialog_engine.h"

#include <fstream>
#include <iterator>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/dialog_rules.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/win/dialog_preparation.h"
#include "engine/dialogs/win/dialog_properties.h"
#include "engine/vars/script_variables.h"

namespace kox {

namespace {

std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EngineError("the file cannot be opened");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EngineError("the file cannot be read");
  return bytes;
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Changes the current directory for a scope (designer pictures and other
// relative names resolve beside the definition) and restores it.
class CurrentDirectoryScope {
 public:
  explicit CurrentDirectoryScope(const std::string& folder) {
    char current[MAX_PATH] = "";
    if (GetCurrentDirectoryA(MAX_PATH, current)) previous_ = current;
    if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());
  }
  ~CurrentDirectoryScope() {
    if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
  }
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

 private:
  std::string previous_;
};

void pumpPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

DialogEngine& dialogEngine() {
  static DialogEngine engine;
  return engine;
}

void DialogEngine::init(DialogEngineSettings settings) {
  freeDialogs();
  settings_ = std::move(settings);
  settings_.supportFolder = withBackslash(settings_.supportFolder);
  releasedDialog_ = nullptr;
  registerDialogClasses();
  AssignVariable(variableStore(), "KELD_IsCancelled", "FALSE", "ShowDesign", WriteProtection{settings_.silent, {}});
}

HWND DialogEngine::loadDialog(std::string_view key, const std::string& dialogFile) {
  const std::string upperKey = toUpperAscii(key);
  const std::string folder = dialogFile.substr(0, dialogFile.size() - fileNameOf(dialogFile).size());
  CurrentDirectoryScope directory(folder);

  // Everything is read and checked before the registry changes.
  FormObject definition;
  try {
    definition = readFormFile(readWholeFile(dialogFile));
  } catch (const std::exception& e) {
    throw withContext("Cannot load the dialog \"" + dialogFile + "\"", e);
  }
  const std::string rulesFile = dialogFile + ".koxf";
  std::vector<std::string> rules;
  try {
    const std::vector<uint8_t> bytes = readWholeFile(rulesFile);
    for (std::string_view line : splitLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
      rules.emplace_back(line);
  } catch (const std::exception& e) {
    throw withContext("Cannot read the rules of the dialog \"" + rulesFile + "\"", e);
  }

  if (auto old = dialogs_.find(upperKey); old != dialogs_.end()) {
    if (old->second && old->second->handle() == releasedDialog_) releasedDialog_ = nullptr;
    if (old->second) ShowWindow(old->second->handle(), SW_HIDE);
    old->second.reset();
    pumpPendingMessages();
  }
  std::unique_ptr<DialogWindow> dialog;
  try {
    dialog = DialogWindow::create(definition, fileNameOf(dialogFile));
  } catch (const std::exception& e) {
    dialogs_.erase(upperKey);
    throw withContext("Cannot load the dialog \"" + dialogFile + "\"", e);
  }
  dialog->ruleLines() = std::move(rules);
  HWND handle = dialog->handle();
  dialogs_[upperKey] = std::move(dialog);
  return handle;
}

DialogWindow* DialogEngine::findDialog(std::string_view key) const {
  auto it = dialogs_.find(toUpperAscii(key));
  return it == dialogs_.end() ? nullptr : it->second.get();
}

void DialogEngine::applyRules(DialogWindow& dialog) {
  DialogProperties properties(dialog);
  applyDialogRules(properties, dialog.ruleLines());
}

void DialogEngine::prepareDialog(std::string_view key) {
  if (settings_.silent) return;
  DialogWindow* dialog = findDialog(key);
  if (!dialog) throw EngineError("no dialog is loaded under the key " + std::string(key));
  FillingScope filling(*this);
  prepareDialogControls(*this, *dialog);
  applyRules(*dialog);
}

void DialogEngine::releaseDialog(std::string_view key) {
  if (settings_.silent) return;
  DialogWindow* dialog = findDialog(key);
  if (!dialog) return;
  releasedDialog_ = dialog->handle();
  FillingScope filling(*this);
  stopWatching(*dialog);
  applyRules(*dialog);
}

void DialogEngine::freeDialogs() {
  for (auto& [key, dialog] : dialogs_)
    if (dialog) stopWatching(*dialog);
  dialogs_.clear();
  releasedDialog_ = nullptr;
  templates_.clear();
}

}  // namespace kox
