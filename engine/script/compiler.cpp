// Compilation runs six passes in order:
//   1. clear the label table, the marks and the variables; declare the
//      reserved variables;
//   2. block balance over enabled commands ("If" and "Wizard Loop" open, "End"
//      closes; a "Label" inside a block fails);
//   3. labels over all commands, disabled ones too (duplicates fail);
//   4. "Set Variable" declarations over all commands whose first parameter
//      carries the qualifier "$KELD$KELD$TRUE";
//   5. one check per enabled command by name (the rule table below), which
//      also declares result variables and sets the execution marks;
//   6. only "Display Dialog", "Comment" and "Ignore" inside a "Wizard Loop".
#include "engine/script/compiler.h"

#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "engine/base/text.h"
#include "engine/script/compile_checks.h"
#include "engine/vars/eval.h"
#include "engine/vars/script_variables.h"

namespace kox {
namespace {

constexpr std::string_view kCompilationContext = "Compilation";
constexpr std::string_view kQualifierSeparator = "$KELD$KELD$";

constexpr std::string_view kReservedVariables[] = {
    "KELD_COMPRESSCACHE", "KELD_DISABLEROLLBACK", "KELD_DISABLEVISTARESTARTMANAGER", "IISHOST", "OVERRIDECACHE",
    "KELDLOGO", "TIME", "DATE", "NEWINSTANCE", "SELECTED", "WINDOWHANDLE", "EXEDIR", "EXEFILE", "UNINSTALLLINK",
    "ENGINECACHE", "COPYWEBLOCK", "ABORT", "SILENT", "LOGGED", "CMDLINE", "REBOOTNOW", "SFXPATH", "SFXFILE",
    "LASTERROR", "PROGRESSMODE", "PROGRESSTEXT", "PROGRESS", "LICENSE", "USERNAME", "USERCOMPANY",
    "REBOOTCOMPUTER", "RUNAPP", "WIZARD", "VERSION", "TARGETDIR", "STARTMENU", "ADVERTISE", "ALLUSERS",
    "COMPLETE", "MINIMUM", "PERSONALIZED", "MODIFY", "REPAIR", "REMOVE", "DATADIR", "PRODUCTCODE",
    "REVISIONCODE", "ROOTDIR", "MAINTENANCE", "NEWLINE", "NEEDSUPGRADE", "TITLE", "COMPANY", "TEMPDIR",
    "SUPPORTDIR", "MSIFILE", "LANGUAGE", "ABORTONERROR", "ABORTEDONERROR", "SAVEDATA",
};

// What the command pass checks before it declares and marks.
enum class Check {
  None,
  WebMediaBlock,     // p1 a legal file name; a named block needs a URL in p2
  VariableRequired,  // the first declared parameter must not be empty
  Expression,        // p1 passes the evaluator's syntax check
  SetVariable,       // declares p1 without its qualifier
  GoToLabel,         // p1 is a label
  DefinedVariable,   // p1 names a defined variable
  Condition,         // p1 not empty; p1 and p3 pass the variable-reference test
  DisplayDialog,     // p1 not empty; p4 passes the variable-reference test
  DeleteMode,        // p3 or p4 true
  TargetFolder,      // p3 not empty
};

struct CommandRule {
  Check check = Check::None;
  std::array<int, 2> declares{};  // parameter numbers; 0 = none
  bool marksNotRun = false;       // a target-system command: mark "FALSE"
};

const std::unordered_map<std::string_view, CommandRule>& commandRules() {
  static const std::unordered_map<std::string_view, CommandRule> rules = {
      {"Web Media Block", {Check::WebMediaBlock}},
      {"Get Folder Location", {Check::None, {1}}},
      {"Get INI File Settings", {Check::None, {1}}},
      {"Check File Version", {Check::None, {1}}},
      {"Get System Settings", {Check::None, {1}}},
      {"Get OS or SP Level", {Check::None, {1}}},
      {"Read Registry", {Check::None, {1}}},
      {"Check Registry", {Check::None, {1}}},
      {"Does File/Folder Exist", {Check::None, {1}}},
      {"Localization Variable", {Check::None, {1}}},
      {"Get Temporary File", {Check::None, {1}}},
      {"Get IIS Site List", {Check::None, {1}}},
      {"Get IIS Property", {Check::None, {6}}},
      {"Get File Version", {Check::None, {2}}},
      {"Get Environment", {Check::None, {2}}},
      {"Get IIS Site Index", {Check::None, {2}}},
      {"Run Light Mode Setup", {Check::None, {2}}},
      {"Extract 7Zip Archive", {Check::None, {3}}},
      {"Mathematics", {Check::None, {4}}},
      {"Read from Text File", {Check::None, {2, 3}}},
      {"Parse String", {Check::None, {3, 4}}},
      {"Is MSI Setup Installed", {Check::VariableRequired, {2}}},
      {"Evaluate Expression", {Check::Expression, {2}}},
      {"Run Program", {Check::None, {5}}},
      {"Run Program As", {Check::None, {8}}},
      {"Set Variable", {Check::SetVariable}},
      {"GoTo Label", {Check::GoToLabel}},
      {"Find All Files", {Check::VariableRequired, {4}}},
      {"Check Disk Space", {Check::VariableRequired, {1}}},
      {"Replace String", {Check::DefinedVariable}},
      {"Convert Path", {Check::DefinedVariable}},
      {"Convert Case", {Check::DefinedVariable}},
      {"Extract Path", {Check::DefinedVariable}},
      {"If", {Check::Condition}},
      {"Else If", {Check::Condition}},
      {"MessageBox", {Check::None, {5}}},
      {"Check Service", {Check::None, {3}}},
      {"Register Library", {Check::None, {3}}},
      {"Check Process", {Check::None, {2}}},
      {"Apply Changes", {Check::None, {2}}},
      {"Apply Patch", {Check::None, {1}}},
      {"Display Dialog", {Check::DisplayDialog, {2}}},
      {"Get Component State", {Check::None, {2}}},
      {"Get Component Space", {Check::None, {2}}},
      {"IIS Anonymous User", {Check::None, {1}}},
      {"Delete Files", {Check::DeleteMode, {}, true}},
      {"Install Files", {Check::TargetFolder, {}, true}},
      {"Copy/Move Local Files", {Check::None, {}, true}},
      {"Create Folder", {Check::None, {}, true}},
      {"Create Shortcut", {Check::None, {}, true}},
      {"Advertised Shortcut", {Check::None, {}, true}},
      {"Edit INI File", {Check::None, {}, true}},
      {"Install Assembly", {Check::None, {}, true}},
      {"Set Environment", {Check::None, {}, true}},
      {"Install Service", {Check::None, {}, true}},
      {"Install ODBC Driver", {Check::None, {}, true}},
      {"Create ODBC DSN", {Check::None, {}, true}},
      {"Control Service", {Check::None, {}, true}},
      {"Write Registry", {Check::None, {}, true}},
      {"Create File Type", {Check::None, {}, true}},
      {"Advertised File Type", {Check::None, {}, true}},
  };
  return rules;
}

struct Failure {
  int64_t index;
  std::string message;
};

class Compiler {
 public:
  Compiler(ScriptStore& script, TVariableManager& variables) : script_(script), variables_(variables) {}

  CompileResult run() {
    prepare();
    std::optional<Failure> failure = checkBlocks();
    if (!failure) failure = collectLabels();
    if (!failure) declareQualifiedSetVariables();
    if (!failure) failure = checkCommands();
    if (!failure) failure = checkWizardLoops();
    if (failure) return CompileResult{failure->index, std::move(failure->message)};
    return CompileResult{};
  }

 private:
  size_t count() const { return script_.commandCount(); }
  const std::string& name(size_t i) const { return script_.commandName(i); }
  bool enabled(size_t i) const { return !script_.isDisabled(i); }
  std::string param(size_t i, size_t k) const { return script_.parameter(i, k); }

  // A variable the script can write, declared empty so references to it
  // count as defined. Every compile-time value is empty, so the protected
  // write of a silent run would change nothing here.
  void declare(std::string_view variable) {
    std::string upper = toUpperAscii(variable);
    if (!upper.empty()) WriteVariable(variables_, upper, "", kCompilationContext, WriteProtection{});
  }

  static std::string withoutQualifier(const std::string& text) {
    size_t separator = text.find(kQualifierSeparator);
    return separator == std::string::npos ? text : text.substr(0, separator);
  }

  void prepare() {
    script_.labels().clear();
    script_.executionMarks().clear();
    variables_.Clear();
    for (std::string_view reserved : kReservedVariables) declare(reserved);
  }

  std::optional<Failure> checkBlocks() const {
    int64_t openers = 0, closers = 0;
    for (size_t i = 0; i < count(); ++i) {
      if (!enabled(i)) continue;
      const std::string& command = name(i);
      if (command == "If" || command == "Wizard Loop")
        ++openers;
      else if (command == "End")
        ++closers;
      else if (command == "Label" && openers != closers)
        return Failure{static_cast<int64_t>(i), "LABEL statements cannot be nested inside loops/conditionals"};
    }
    if (openers > closers) return Failure{kBlockBalanceFailureIndex, "Insufficient END statements"};
    if (closers > openers) return Failure{kBlockBalanceFailureIndex, "Too many END statements"};
    return std::nullopt;
  }

  std::optional<Failure> collectLabels() {
    for (size_t i = 0; i < count(); ++i) {
      if (name(i) != "Label") continue;
      std::string label = param(i, 1);
      if (script_.labels().contains(label))
        return Failure{static_cast<int64_t>(i), "LABEL re-defined: " + label};
      script_.labels().addName(label);
    }
    return std::nullopt;
  }

  void declareQualifiedSetVariables() {
    for (size_t i = 0; i < count(); ++i) {
      if (name(i) != "Set Variable") continue;
      std::string first = param(i, 1);
      size_t separator = first.find(kQualifierSeparator);
      if (separator == std::string::npos) continue;
      std::string variable = first.substr(0, separator);
      if (first.substr(separator + kQualifierSeparator.size()) == "TRUE" && !variables_.Exists(variable))
        declare(variable);
    }
  }

  std::optional<Failure> checkCommands() {
    const auto& rules = commandRules();
    for (size_t i = 0; i < count(); ++i) {
      script_.executionMarks().push_back(kMarkSkip);
      if (!enabled(i)) continue;
      auto rule = rules.find(name(i));
      if (rule == rules.end()) continue;  // "Comment" and commands without checks
      if (std::optional<std::string> message = check(rule->second, i))
        return Failure{static_cast<int64_t>(i), std::move(*message)};
      for (int p : rule->second.declares)
        if (p != 0) declare(param(i, p));
      if (rule->second.marksNotRun) script_.executionMarks()[i] = kMarkNotRun;
    }
    return std::nullopt;
  }

  // The failure message of a command's check, or nothing when it passes.
  std::optional<std::string> check(const CommandRule& rule, size_t i) {
    switch (rule.check) {
      case Check::None:
        return std::nullopt;
      case Check::WebMediaBlock: {
        std::string block = param(i, 1);
        if (!isLegalFileName(block)) return "Web Media Block name must be a legal file name";
        if (!block.empty() && param(i, 2).empty()) return "Web Media Block must have at least one download URL";
        return std::nullopt;
      }
      case Check::VariableRequired:
        if (param(i, rule.declares[0]).empty()) return "Variable required";
        return std::nullopt;
      case Check::Expression:
        declare(param(i, 2));
        if (!SyntaxOK(param(i, 1)))
          return "Syntax error in expression. Please review the help topic \"Evaluate Expression\" for the correct "
                 "syntax.";
        return std::nullopt;
      case Check::SetVariable:
        declare(withoutQualifier(param(i, 1)));
        return std::nullopt;
      case Check::GoToLabel: {
        std::string label = param(i, 1);
        if (!script_.labels().contains(label)) return "LABEL undefined: " + label;
        return std::nullopt;
      }
      case Check::DefinedVariable: {
        // Accepts the plain name and the "$NAME$" form these commands take.
        std::string variable = param(i, 1);
        if (!passesVariableReferenceTest(variables_, variable, false)) return "Variable not defined: " + variable;
        return std::nullopt;
      }
      case Check::Condition: {
        std::string left = param(i, 1);
        if (left.empty()) return "Variable required";
        std::string right = param(i, 3);
        if (!passesVariableReferenceTest(variables_, right, true)) return "Variable not defined: " + right;
        if (!passesVariableReferenceTest(variables_, left, false)) return "Variable not defined: " + left;
        return std::nullopt;
      }
      case Check::DisplayDialog: {
        if (param(i, 1).empty()) return "Dialog name not specified";
        std::string variable = param(i, 4);
        if (!variable.empty() && !passesVariableReferenceTest(variables_, variable, false))
          return "Variable not defined: " + variable;
        return std::nullopt;
      }
      case Check::DeleteMode:
        if (!TextToBool(param(i, 3)) && !TextToBool(param(i, 4))) return "At least one delete mode must be selected";
        return std::nullopt;
      case Check::TargetFolder:
        if (param(i, 3).empty())
          return "A target folder must be specified for files that are being installed.\r"
                 "The value $TARGETDIR$ represents the destination folder chosen by the user.";
        return std::nullopt;
    }
    return std::nullopt;
  }

  std::optional<Failure> checkWizardLoops() const {
    bool inside = false;
    for (size_t i = 0; i < count(); ++i) {
      if (!enabled(i)) continue;
      const std::string& command = name(i);
      if (command == "Wizard Loop")
        inside = true;
      else if (command == "End")
        inside = false;
      else if (inside && command != "Display Dialog" && command != "Comment" && command != "Ignore")
        return Failure{static_cast<int64_t>(i), "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP"};
    }
    return std::nullopt;
  }

  ScriptStore& script_;
  TVariableManager& variables_;
};

}  // namespace

CompileResult compileScript(ScriptStore& script, TVariableManager& variables) {
  return Compiler(script, variables).run();
}

}  // namespace kox
