// The interpreter core: the step loop, blocks, conditions, the wizard walk,
// the dialog and ending commands, and dispatch to the command families.
// Platform-neutral; what it needs from Windows comes through RunEnvironment
// and DialogHost.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/script/interpreter/block_map.h"
#include "engine/script/interpreter/command_table.h"
#include "engine/script/interpreter/dialog_host.h"
#include "engine/script/interpreter/run_environment.h"
#include "engine/script/interpreter/web_media_block.h"
#include "engine/vars/script_variables.h"

namespace kox {

class ScriptStore;
class TVariableManager;

// Process-wide values the run reads (set by the start-up and the run set-up).
struct RunSettings {
  std::string productCode;
  std::string executablePath;      // the engine's own path
  std::string executableFolder;    // ends in "\"
  std::string supportFolder;       // ends in "\"
  std::string mediaDataFolder;     // ends in "\"
  std::string outerPackagePath;
  std::string commandLineTail;
  std::vector<std::string> pluginCommands;
  std::vector<std::string> webMediaPasswords;  // name, scrambled password pairs
  std::vector<std::string> sourceLineMap;      // "file*line" per command
  std::string runtimeErrorText = "Runtime error in setup script:";
  WriteProtection protection;  // silent flag (kept in step with SILENT) and command-line variables
};

// How the run ended.
enum class RunEnd {
  ScriptEnded,     // past the last command, or an ending command
  RuntimeError,    // a command raised an error
  StoppedByCaller, // the step callback returned false
};

enum class WizardDirection { None, Forward, Back };

class Interpreter {
 public:
  Interpreter(ScriptStore& script, TVariableManager& store, RunEnvironment& environment, DialogHost& dialogs,
              const CommandTable& commands, RunSettings settings);
  ~Interpreter();
  Interpreter(const Interpreter&) = delete;
  Interpreter& operator=(const Interpreter&) = delete;

  // Called with the program counter before every command; false ends the run.
  using StepCallback = std::function<bool(size_t programCounter)>;

  // Runs prelude (the last set-up steps) and then the script from command 0,
  // all inside the one error guard. A prelude that returns false ends the
  // run before the first command (the dialogs are finished).
  RunEnd run(const std::function<bool()>& prelude = {}, const StepCallback& onStep = {});

  // Hides and destroys the dialogs, removes the marker, closes files.
  void finish();

  // The process exit code ("Terminate with Exit Code").
  int exitCode() const { return exitCode_; }
  size_t executedSteps() const { return executedSteps_; }
  const WebMediaBlock& webMediaBlock() const { return webMedia_; }
  RunSettings& settings() { return settings_; }
  // The runtime error text of the command at an index.
  std::string runtimeErrorMessage(size_t index, const std::string& error) const;

 private:
  class Context;
  enum class Flow { Continue, EndScript };

  bool refreshBeforeStep();
  bool changed(const char* name, std::string& last) const;
  const std::string& parameterText(size_t index, size_t k);
  void handleBlocks();
  bool fetch();
  void reportDialogProgress();
  Flow dispatch();
  Flow runCore(CoreCommand command);

  bool condition() const;
  void enterBranch(bool taken);
  void displayDialog();
  void hideDialog();
  void webMediaBlockCommand();
  void goToLabel();
  void endWizard(size_t opener);
  void clearBlockState();
  void rebootAndResume();
  void endScript();

  ScriptStore& script_;
  TVariableManager& store_;
  RunEnvironment& env_;
  DialogHost& dialogs_;
  RunSettings settings_;
  BlockMap blocks_;
  std::vector<ResolvedCommand> resolved_;
  std::vector<std::vector<std::optional<std::string>>> parameterCache_;
  std::unique_ptr<Context> context_;

  size_t programCounter_ = 0;
  size_t current_ = 0;
  size_t executedSteps_ = 0;
  int exitCode_ = 0;

  // Block state.
  bool skipToBranch_ = false;
  bool skipToEnd_ = false;
  bool landedOnEnd_ = false;
  bool branchCondition_ = false;  // a skip stopped at an "Else If": evaluate it
  size_t blockDepth_ = 0;

  // Wizard state.
  bool wizardActive_ = false;
  WizardDirection wizardDirection_ = WizardDirection::None;
  size_t wizardOpener_ = 0;
  bool choseByWizard_ = false;

  // Dialogs and progress.
  std::string currentDialogKey_;
  std::string pendingHideKey_;
  uintptr_t visibleDialog_ = 0;
  std::string lastProgressText_;
  int64_t lastProgressValue_ = 0;

  // Values applied from variables (step 2 and 4).
  std::string lastLogPath_;
  std::string lastTitle_;
  bool lastLogo_ = false;
  bool titleApplied_ = false;
  std::string lastOverride_;
  std::string lastLanguage_ = "ZILCH";

  WebMediaBlock webMedia_;
};

}  // namespace kox
