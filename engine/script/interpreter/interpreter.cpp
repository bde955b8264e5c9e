#include "engine/script/interpreter/interpreter.h"

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/script/interpreter/condition.h"
#include "engine/script/interpreter/progress.h"
#include "engine/script/script_store.h"
#include "engine/vars/variable_manager.h"

#ifdef KOX_HAVE_VALUE_COMMANDS
#include "engine/script/values/context_extensions.h"
#endif

namespace kox {
namespace {

constexpr size_t kMessageInterval = 314;
constexpr const char* kCancelStateContext = "Cancel State";

// Doubled backslashes collapse; a leading "\\" of a network path stays.
std::string collapseBackslashes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  if (text.starts_with("\\\\")) {
    out = "\\\\";
    text.remove_prefix(2);
  }
  const size_t kept = out.size();
  for (char c : text) {
    if (c == '\\' && out.size() > kept && out.back() == '\\') continue;
    out.push_back(c);
  }
  return out;
}

std::string dialogResultText(const DialogOutcome& outcome) {
  switch (static_cast<DialogCode>(outcome.code)) {
    case DialogCode::NotModal: return "NOTMODAL";
    case DialogCode::Cancel: return "CANCEL";
    case DialogCode::Next: return "NEXT";
    case DialogCode::Back: return "BACK";
    case DialogCode::Text: return toUpperAscii(outcome.text);
  }
  return {};  // other codes: the dialog engine produces none
}

}  // namespace

#ifdef KOX_HAVE_VALUE_COMMANDS
// The services a few value commands look for beyond CommandContext.
class ValueContextExtensions : public KeyedTranslation, public ProgressDelegation {
 public:
  explicit ValueContextExtensions(const ScriptStore& script) : script_(script) {}
  std::string translatedWithKey(std::string_view value, std::string_view key, int slot) const override {
    if (script_.translations().empty() || slot <= 0) return std::string(value);
    return script_.translatedParameter(value, key, static_cast<size_t>(slot));
  }
  void setDelegatedProgress(bool on) override { delegatedProgress() = on; }

 private:
  const ScriptStore& script_;
};
#else
class ValueContextExtensions {
 public:
  explicit ValueContextExtensions(const ScriptStore&) {}
};
#endif

// The command body's view of the run.
class Interpreter::Context final : public CommandContext, public ValueContextExtensions {
 public:
  explicit Context(Interpreter& run) : ValueContextExtensions(run.script_), run_(run) {}

  const std::string& commandName() const override { return run_.script_.commandName(run_.current_); }
  size_t commandIndex() const override { return run_.current_; }
  const std::string& commandId() const override { return run_.script_.commandId(run_.current_); }

  std::string parameter(int k) const override {
    if (k < 0) return {};
    return run_.parameterText(run_.current_, static_cast<size_t>(k));
  }
  std::string expanded(int k) const override { return ExpandText(run_.store_, parameter(k)); }
  std::string translated(int k, int slot) const override {
    std::string value = parameter(k);
    if (!run_.script_.translations().empty() && slot > 0)
      value = run_.script_.translatedParameter(value, commandId(), static_cast<size_t>(slot));
    return ExpandText(run_.store_, value);
  }
  std::string pathValue(int k) const override { return collapseBackslashes(expanded(k)); }
  bool flag(int k) const override { return TextToBool(expanded(k)); }

  TVariableManager& variables() override { return run_.store_; }
  std::string readVariable(std::string_view name) const override { return ReadVariable(run_.store_, name); }
  void writeResult(std::string_view name, std::string_view value) override {
    if (name.empty()) return;
    const std::string stored = run_.store_.Exists(name) ? std::string(name) : toUpperAscii(name);
    writeVariable(stored, value, commandName() + " Action");
  }
  void writeVariable(std::string_view name, std::string_view value, std::string_view context) override {
    WriteVariable(run_.store_, name, value, context, run_.settings_.protection);
  }

  void fail(const std::string& message) override {
    if (TextToBool(ReadVariable(run_.store_, "ABORTONERROR"))) throw EngineError(message);
    const std::string context = commandName() + " Action";
    writeVariable("ABORTEDONERROR", "TRUE", context);
    writeVariable("LASTERROR", message, context);
  }

  void reportProgress(const std::string& text, int64_t minimum, int64_t maximum, int64_t position) override {
    kox::reportProgress(run_.store_, run_.env_.tickCount(), text, minimum, maximum, position);
  }
  void markExecuted() override { run_.script_.markExecuted(run_.current_); }
  void waitStep() override { run_.env_.waitStep(); }
  bool silent() const override { return run_.settings_.protection.silent; }
  const std::string& supportFolder() const override { return run_.settings_.supportFolder; }
  const std::string& executableFolder() const override { return run_.settings_.executableFolder; }

 private:
  Interpreter& run_;
};

Interpreter::Interpreter(ScriptStore& script, TVariableManager& store, RunEnvironment& environment,
                         DialogHost& dialogs, const CommandTable& commands, RunSettings settings)
    : script_(script),
      store_(store),
      env_(environment),
      dialogs_(dialogs),
      settings_(std::move(settings)),
      blocks_(script),
      context_(std::make_unique<Context>(*this)) {
  parameterCache_.resize(script.commandCount());
  resolved_.reserve(script.commandCount());
  for (size_t i = 0; i < script.commandCount(); ++i)
    resolved_.push_back(commands.resolve(script.commandName(i), settings_.pluginCommands));
}

Interpreter::~Interpreter() = default;

// The package's parameters do not change during a run, nor do the build
// constants, so each parameter is fetched and substituted once.
const std::string& Interpreter::parameterText(size_t index, size_t k) {
  std::vector<std::optional<std::string>>& cached = parameterCache_[index];
  if (cached.size() <= k) cached.resize(k + 1);
  if (!cached[k]) cached[k] = script_.expandBuildConstants(script_.parameter(index, k));
  return *cached[k];
}

std::string Interpreter::runtimeErrorMessage(size_t index, const std::string& error) const {
  std::string file;
  std::string line;
  if (index < settings_.sourceLineMap.size()) {
    const std::string& entry = settings_.sourceLineMap[index];
    const size_t star = entry.rfind('*');
    file = entry.substr(0, star);
    if (star != std::string::npos) line = entry.substr(star + 1);
  }
  return settings_.runtimeErrorText + "\r\r" + "Source File: " + file + "\r" + "Line Number: " + line + "\r\r" + error;
}

RunEnd Interpreter::run(const std::function<bool()>& prelude, const StepCallback& onStep) {
  try {
    if (prelude && !prelude()) {
      finish();
      return RunEnd::StoppedByCaller;
    }
    programCounter_ = 0;
    while (programCounter_ < script_.commandCount()) {
      if (programCounter_ % kMessageInterval == 0) env_.processMessages();  // 1
      refreshBeforeStep();                                                  // 2 to 5
      handleBlocks();                                                       // 6
      if (!choseByWizard_ && !fetch()) break;                               // 7
      choseByWizard_ = false;
      // 8: ABORT mirrors the user's cancel request.
      bool cancelled = false;
      store_.WithValue(kIsCancelledVariable, [&](const std::string& value) { cancelled = TextToBool(value); });
      const std::string_view abort = cancelled ? "TRUE" : "FALSE";
      bool same = false;
      store_.WithValue("ABORT", [&](const std::string& value) { same = value == abort; });
      if (!same) context_->writeVariable("ABORT", abort, kCancelStateContext);
      if (visibleDialog_ != 0) reportDialogProgress();  // 9
      if (onStep && !onStep(programCounter_)) {         // 10
        finish();
        return RunEnd::StoppedByCaller;
      }
      ++executedSteps_;
      if (dispatch() == Flow::EndScript) break;  // 11, 12
    }
  } catch (const std::exception& e) {
    if (!settings_.protection.silent) env_.showRuntimeError(runtimeErrorMessage(current_, e.what()));
    finish();
    return RunEnd::RuntimeError;
  }
  endScript();
  return RunEnd::ScriptEnded;
}

// Steps 2 to 5: the run follows what the script wrote into its variables.
// Values are compared in place; only a change costs a copy.
bool Interpreter::refreshBeforeStep() {
  if (changed("LOGGED", lastLogPath_)) env_.setLogPath(lastLogPath_);
  bool silent = false;
  store_.WithValue("SILENT", [&](const std::string& value) { silent = TextToBool(value); });
  settings_.protection.silent = silent;
  bool logo = false;
  store_.WithValue("KELDLOGO", [&](const std::string& value) { logo = value == "TRUE"; });
  if (changed("TITLE", lastTitle_) || !titleApplied_ || logo != lastLogo_) {
    titleApplied_ = true;
    lastLogo_ = logo;
    env_.setWindowTitle(lastTitle_, lastLogo_);
  }
  bool overrideWanted = false;
  store_.WithValue("OVERRIDECACHE",
                   [&](const std::string& value) { overrideWanted = !value.empty() && value != lastOverride_; });
  if (overrideWanted) {
    env_.applyCacheOverride(store_, store_.Get("OVERRIDECACHE"));
    lastOverride_ = store_.Get("OVERRIDECACHE");
  }
  env_.refreshClock(store_);  // 3
  bool languageWanted = false;  // 4
  store_.WithValue("LANGUAGE",
                   [&](const std::string& value) { languageWanted = !value.empty() && value != lastLanguage_; });
  if (languageWanted) {
    lastLanguage_ = store_.Get("LANGUAGE");
    env_.applyLanguage(lastLanguage_);
  }
  env_.refreshCacheLinks(store_);  // 5
  return true;
}

// Whether a variable's value differs from last; if so last takes it (a
// missing variable counts as empty text).
bool Interpreter::changed(const char* name, std::string& last) const {
  bool differs = false;
  const bool exists = store_.WithValue(name, [&](const std::string& value) {
    if (value == last) return;
    differs = true;
    last = value;
  });
  if (!exists && !last.empty()) {
    last.clear();
    return true;
  }
  return differs;
}

// Step 6: a pending skip moves the program counter; an active wizard chooses
// the next dialog itself.
void Interpreter::handleBlocks() {
  if (skipToBranch_) {
    skipToBranch_ = false;
    const size_t marker = blocks_.nextBranch(current_);
    switch (blocks_.kind(marker)) {
      case CommandKind::ElseIf:
        programCounter_ = marker;
        branchCondition_ = true;
        break;
      case CommandKind::Else:
        programCounter_ = marker + 1;
        ++blockDepth_;
        break;
      default:  // the block's "End", or past the script
        programCounter_ = marker;
        landedOnEnd_ = true;
        break;
    }
    return;
  }
  if (skipToEnd_) {
    skipToEnd_ = false;
    programCounter_ = blocks_.blockEnd(current_);
    landedOnEnd_ = true;
    return;
  }
  if (!wizardActive_) return;

  if (wizardDirection_ == WizardDirection::None) {
    endWizard(wizardOpener_);
    return;
  }
  size_t i = current_;
  for (;;) {
    if (wizardDirection_ == WizardDirection::Forward) {
      ++i;
    } else if (i == 0) {
      endWizard(wizardOpener_);
      return;
    } else {
      --i;
    }
    if (i >= blocks_.size()) {
      wizardActive_ = false;
      programCounter_ = blocks_.size();
      return;
    }
    switch (blocks_.kind(i)) {
      case CommandKind::DisplayDialog:
        current_ = i;
        programCounter_ = i + 1;
        choseByWizard_ = true;
        return;
      case CommandKind::End:
        wizardActive_ = false;
        programCounter_ = i + 1;
        return;
      case CommandKind::WizardLoop:
        endWizard(i);
        return;
      default:
        break;
    }
  }
}

void Interpreter::endWizard(size_t opener) {
  wizardActive_ = false;
  wizardDirection_ = WizardDirection::None;
  const size_t end = blocks_.blockEnd(opener);
  programCounter_ = end < blocks_.size() ? end + 1 : end;
}

// Step 7: the next enabled command that is not "Ignore".
bool Interpreter::fetch() {
  while (programCounter_ < blocks_.size() && blocks_.kind(programCounter_) == CommandKind::Inactive) ++programCounter_;
  if (programCounter_ >= blocks_.size()) return false;
  current_ = programCounter_++;
  return true;
}

// Step 9: the visible modeless dialog shows PROGRESSTEXT and PROGRESS.
void Interpreter::reportDialogProgress() {
  std::string text = store_.Get("PROGRESSTEXT");
  const std::string positionText = store_.Get("PROGRESS");
  const auto position = parseDecimal(positionText);
  if (!position) throw EngineError("'" + positionText + "' is not a valid integer value (PROGRESS)");
  if (text == lastProgressText_ && *position == lastProgressValue_) return;
  lastProgressText_ = text;
  lastProgressValue_ = *position;
  context_->reportProgress(text, 0, 100, *position);
  env_.waitStep();
}

Interpreter::Flow Interpreter::dispatch() {
  const ResolvedCommand& command = resolved_[current_];
  switch (command.kind) {
    case ResolvedCommand::Kind::Core:
      return runCore(command.core);
    case ResolvedCommand::Kind::Family:
      command.handler(*context_);
      return Flow::Continue;
    case ResolvedCommand::Kind::Plugin:
      // Plug-in commands: passed over until the plug-in bridge is built in.
    case ResolvedCommand::Kind::PassOver:
      return Flow::Continue;
  }
  return Flow::Continue;
}

Interpreter::Flow Interpreter::runCore(CoreCommand command) {
  switch (command) {
    case CoreCommand::If:
      enterBranch(condition());
      break;
    case CoreCommand::ElseIf:
      if (branchCondition_) {
        branchCondition_ = false;
        enterBranch(condition());
      } else {
        // The branch before it is complete.
        skipToEnd_ = true;
        if (blockDepth_ > 0) --blockDepth_;
      }
      break;
    case CoreCommand::Else:
      skipToEnd_ = true;
      if (blockDepth_ > 0) --blockDepth_;
      break;
    case CoreCommand::End:
      if (landedOnEnd_)
        landedOnEnd_ = false;  // closes the block whose branches were all passed over
      else if (blockDepth_ > 0)
        --blockDepth_;
      break;
    case CoreCommand::WizardLoop:
      wizardActive_ = true;
      wizardDirection_ = WizardDirection::Forward;
      wizardOpener_ = current_;
      break;
    case CoreCommand::GoToLabel:
      goToLabel();
      break;
    case CoreCommand::Label:
    case CoreCommand::Comment:
    case CoreCommand::Ignore:
      break;
    case CoreCommand::WebMediaBlock:
      webMediaBlockCommand();
      break;
    case CoreCommand::DisplayDialog:
      displayDialog();
      break;
    case CoreCommand::HideDialog:
      hideDialog();
      break;
    case CoreCommand::TerminateInstall:
      return Flow::EndScript;
    case CoreCommand::TerminateWithExitCode: {
      const std::string text = context_->expanded(1);
      const auto code = parseDecimal(text);
      if (!code || *code < INT32_MIN || *code > INT32_MAX) throw EngineError("'" + text + "' is not a valid integer value");
      exitCode_ = static_cast<int>(*code);
      return Flow::EndScript;
    }
    case CoreCommand::RebootComputer:
      env_.requestRestart();
      return Flow::EndScript;
    case CoreCommand::RebootAndResume:
      rebootAndResume();
      return Flow::EndScript;
  }
  return Flow::Continue;
}

bool Interpreter::condition() const {
  ConditionOperands operands{context_->parameter(1), context_->parameter(2), context_->parameter(3),
                             ExpandText(store_, context_->parameter(4))};
  if (!script_.translations().empty()) {
    const std::string& id = script_.commandId(current_);
    operands.left = script_.translatedParameter(operands.left, id, 1);
    operands.right = script_.translatedParameter(operands.right, id, 2);
  }
  return evaluateCondition(store_, operands);
}

void Interpreter::enterBranch(bool taken) {
  if (taken)
    ++blockDepth_;
  else
    skipToBranch_ = true;
}

void Interpreter::clearBlockState() {
  skipToBranch_ = skipToEnd_ = landedOnEnd_ = branchCondition_ = false;
  blockDepth_ = 0;
  wizardActive_ = false;
  wizardDirection_ = WizardDirection::None;
}

void Interpreter::goToLabel() {
  const std::string label = toUpperAscii(context_->parameter(1));
  const auto index = script_.labels().commandIndex(label);
  if (!index) throw EngineError("Label not found: " + label);
  clearBlockState();
  programCounter_ = *index;
}

void Interpreter::displayDialog() {
  Context& context = *context_;
  // 1: a condition variable whose value matches parameter 6 skips the dialog.
  const std::string conditionVariable = context.parameter(4);
  if (!conditionVariable.empty()) {
    const bool value = TextToBool(ReadVariableExpandedOrEmpty(store_, conditionVariable));
    if (value == context.flag(6)) return;
  }
  const std::string key = std::to_string(current_);  // 2
  currentDialogKey_ = key;
  if (!pendingHideKey_.empty()) {  // 3
    dialogs_.hide(pendingHideKey_);
    pendingHideKey_.clear();
  }
  dialogs_.prepare(key);  // 4
  const std::string context_label = context.commandName() + " Action";
  DialogOutcome outcome;
  if (wizardActive_ || context.flag(3)) {  // 5
    outcome = dialogs_.showModal(key);
    visibleDialog_ = 0;
    context.writeVariable("WINDOWHANDLE", "0", context_label);
    pendingHideKey_ = key;
  } else {
    visibleDialog_ = dialogs_.showModeless(key);
    context.writeVariable("WINDOWHANDLE", std::to_string(visibleDialog_), context_label);
  }
  const std::string resultParameter = context.parameter(2);  // 6
  if (!resultParameter.empty())
    context.writeVariable(plainOrReferenceName(resultParameter), dialogResultText(outcome), context_label);
  if (wizardActive_) {  // 7
    switch (static_cast<DialogCode>(outcome.code)) {
      case DialogCode::Next: wizardDirection_ = WizardDirection::Forward; break;
      case DialogCode::Back: wizardDirection_ = WizardDirection::Back; break;
      case DialogCode::Cancel: wizardDirection_ = WizardDirection::None; break;
      default: break;
    }
  }
}

void Interpreter::hideDialog() {
  dialogs_.hide(currentDialogKey_);
  pendingHideKey_ = currentDialogKey_;
  visibleDialog_ = 0;
  context_->writeVariable("WINDOWHANDLE", "0", "Hide Dialog");
}

void Interpreter::webMediaBlockCommand() {
  WebMediaBlock block;
  block.name = context_->parameter(1);
  block.archivePath = settings_.mediaDataFolder + block.name + ".7zip";
  block.urls = context_->expanded(2);
  block.password = mediaPasswordFor(settings_.webMediaPasswords, block.name);
  webMedia_ = std::move(block);
}

void Interpreter::rebootAndResume() {
  const std::string& code = settings_.productCode;
  const size_t start = !code.empty() && code.front() == '{' ? 1 : 0;
  const std::string valueName = code.substr(std::min(start, code.size()), 8);
  std::string command = settings_.outerPackagePath.empty() ? settings_.executablePath : settings_.outerPackagePath;
  if (!settings_.commandLineTail.empty()) command += " " + settings_.commandLineTail;
  env_.writeResumeEntry(TextToBool(store_.Get("ALLUSERS")), valueName, command);
  env_.requestRestart();
}

void Interpreter::endScript() {
  env_.trace("    </keld>");
  env_.trace("    <ExitScript>");
  finish();
  env_.trace("    </ExitScript>");
  if (env_.setupMediaRemoved()) env_.completeRemovedMediaRun(exitCode_);
}

void Interpreter::finish() {
  env_.finishRun();
  dialogs_.destroyAll();
  visibleDialog_ = 0;
  currentDialogKey_.clear();
  pendingHideKey_.clear();
}

}  // namespace kox
