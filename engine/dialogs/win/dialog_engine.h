// The dialog engine: the process-wide registry of preloaded wizard dialogs,
// keyed by the index of their "Display Dialog" command, and what happens to
// a dialog between loading and display (preparation) and after it (release).
// Main thread only.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "engine/dialogs/text_templates.h"
#include "engine/dialogs/win/dialog_window.h"

namespace kox {

struct DialogEngineSettings {
  std::string supportFolder;       // content files are looked up here
  bool silent = false;             // a silent run prepares and releases nothing
  std::string flashUnavailableText;  // shown where a movie would play
};

class DialogEngine {
 public:
  // Keeps the settings, empties the registry and sets KELD_IsCancelled to "FALSE".
  void init(DialogEngineSettings settings);

  // Loads the definition file and its rules file (file + ".koxf") into a new
  // window registered under the upper-cased key, replacing the window the key
  // had. Throws EngineError naming the file when either cannot be read or the
  // definition is damaged; the registry is then unchanged.
  HWND loadDialog(std::string_view key, const std::string& dialogFile);

  DialogWindow* findDialog(std::string_view key) const;
  size_t dialogCount() const { return dialogs_.size(); }

  // Fills the dialog's controls from the variables, templates and content
  // files, then applies its rules. Nothing in a silent run.
  void prepareDialog(std::string_view key);
  // Ends the dialog's display: stops watching its licence memo and applies its rules.
  void releaseDialog(std::string_view key);
  // Frees every window and the registry and forgets the text templates.
  void freeDialogs();

  void applyRules(DialogWindow& dialog);

  void setTranslations(DialogTranslations translations) { translations_ = std::move(translations); }
  const DialogTranslations& translations() const { return translations_; }
  TextTemplateStore& templates() { return templates_; }
  const DialogEngineSettings& settings() const { return settings_; }

  // True while the engine itself changes controls; control handlers then do nothing.
  bool filling() const { return filling_; }
  HWND releasedDialog() const { return releasedDialog_; }

 private:
  friend class FillingScope;

  DialogEngineSettings settings_;
  std::map<std::string, std::unique_ptr<DialogWindow>> dialogs_;
  TextTemplateStore templates_;
  DialogTranslations translations_;
  bool filling_ = false;
  HWND releasedDialog_ = nullptr;
};

// Sets the filling flag for a scope and restores what it was.
class FillingScope {
 public:
  explicit FillingScope(DialogEngine& engine) : engine_(engine), previous_(engine.filling_) { engine.filling_ = true; }
  ~FillingScope() { engine_.filling_ = previous_; }
  FillingScope(const FillingScope&) = delete;
  FillingScope& operator=(const FillingScope&) = delete;

 private:
  DialogEngine& engine_;
  bool previous_;
};

// The engine of this process.
DialogEngine& dialogEngine();

}  // namespace kox
