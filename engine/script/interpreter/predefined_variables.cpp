#include "engine/script/interpreter/predefined_variables.h"

#include "engine/script/interpreter/progress.h"

namespace kox {
namespace {

constexpr const char* kPreInitialization = "Pre-Initialization";
constexpr const char* kInitialization = "Initialization";

struct Predefined {
  const char* name;
  std::string (*value)(const RunFacts&);
  bool onlyWhenUndefined = false;
};

std::string text(const char* value) { return value; }

// In the order the run defines them.
const Predefined kInitializationVariables[] = {
    {"KELD_COMPRESS_INSTALLER_CACHE", [](const RunFacts&) { return text("TRUE"); }},
    {"KELD_DISABLE_ROLLBACK", [](const RunFacts&) { return text("FALSE"); }},
    {"KELD_DISABLE_VISTA_RESTART_MANAGER", [](const RunFacts&) { return text("FALSE"); }},
    {"IISHOST", [](const RunFacts&) { return text("localhost"); }},
    {"OVERRIDECACHE", [](const RunFacts&) { return text(""); }, true},
    {"KELDLOGO", [](const RunFacts&) { return text(""); }},
    {"SELECTED", [](const RunFacts&) { return text("0"); }},
    {"WINDOWHANDLE", [](const RunFacts&) { return text("0"); }},
    {"EXEFILE", [](const RunFacts& f) { return f.executablePath; }},
    {"EXEDIR", [](const RunFacts& f) { return f.executableFolder; }},
    {"PROGRESSTEXT", [](const RunFacts&) { return text(""); }},
    {"PROGRESSMODE", [](const RunFacts&) { return text(""); }},
    {"ABORT", [](const RunFacts&) { return text("FALSE"); }},
    {"PROGRESS", [](const RunFacts&) { return text("0"); }},
    {"LASTERROR", [](const RunFacts&) { return text(""); }},
    {"LICENSE", [](const RunFacts&) { return text("FALSE"); }},
    {"USERNAME", [](const RunFacts& f) { return f.userName; }},
    {"USERCOMPANY", [](const RunFacts& f) { return f.userCompany; }},
    {"COPYWEBLOCK", [](const RunFacts&) { return text(""); }},
    {"REBOOTCOMPUTER", [](const RunFacts&) { return text("FALSE"); }},
    {"RUNAPP", [](const RunFacts&) { return text("TRUE"); }},
    {"WIZARD", [](const RunFacts&) { return text("NEXT"); }},
    {"VERSION", [](const RunFacts& f) { return f.version; }},
    {"SILENT", [](const RunFacts& f) { return BoolToText(f.silent); }},
    {"LOGGED", [](const RunFacts& f) { return f.logPath; }},
    {"CMDLINE", [](const RunFacts& f) { return f.commandLineTail; }},
    {"REBOOTNOW", [](const RunFacts&) { return text("OK"); }},
    {"SFXPATH", [](const RunFacts& f) { return folderOf(f.outerPackagePath); }},
    {"SFXFILE", [](const RunFacts& f) { return fileNameOf(f.outerPackagePath); }},
    {"GPOPATH", [](const RunFacts& f) { return folderOf(f.policyPath); }},
    {"COMPLETE", [](const RunFacts&) { return text("TRUE"); }},
    {"NEWLINE", [](const RunFacts&) { return text("\r\n"); }},
    {"MINIMUM", [](const RunFacts&) { return text("FALSE"); }},
    {"PERSONALIZED", [](const RunFacts&) { return text("FALSE"); }},
    {"MODIFY", [](const RunFacts&) { return text("TRUE"); }},
    {"REPAIR", [](const RunFacts&) { return text("FALSE"); }},
    {"REMOVE", [](const RunFacts&) { return text("FALSE"); }},
    {"ROOTDIR", [](const RunFacts& f) { return f.executableFolder; }},
    {"TITLE", [](const RunFacts& f) { return f.productTitle; }},
    {"COMPANY", [](const RunFacts& f) { return f.company; }},
    {"ADVERTISE", [](const RunFacts&) { return text("FALSE"); }},
    {"DATE", [](const RunFacts& f) { return f.date; }},
    {"TIME", [](const RunFacts& f) { return f.time; }},
    {"TEMPDIR", [](const RunFacts& f) { return f.tempFolder; }},
    {"ABORTONERROR", [](const RunFacts&) { return text("TRUE"); }},
    {"ABORTEDONERROR", [](const RunFacts&) { return text("FALSE"); }},
    {"SAVEDATA", [](const RunFacts&) { return text("FALSE"); }},
    {"SUPPORTDIR", [](const RunFacts& f) { return f.supportFolder; }},
    {"MSIFILE", [](const RunFacts& f) { return f.databasePath; }},
};

}  // namespace

std::string folderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void defineProgressVariables(TVariableManager& store, uint64_t tickCount) {
  store.Put(kProgressVariable, "0");
  store.Put(kProgressMaxVariable, "100");
  store.Put(kProgressMinVariable, "0");
  store.Put(kProgressTextVariable, "");
  store.Put(kFinishedVariable, "FALSE");
  store.Put(kCancelledVariable, "FALSE");
  store.Put(kIsCancelledVariable, "FALSE");
  store.Put(kLastDelegateTickVariable, std::to_string(tickCount));
  store.Put(kLastActiveTickVariable, std::to_string(tickCount));
}

void definePreInitializationVariables(TVariableManager& store, const WriteProtection& protection,
                                      const RunFacts& facts) {
  WriteVariable(store, "TARGETDIR", "", kPreInitialization, protection);
  WriteVariable(store, "STARTMENU", facts.productTitle, kPreInitialization, protection);
  WriteVariable(store, "ALLUSERS", BoolToText(facts.administrator), kPreInitialization, protection);
}

void defineInitializationVariables(TVariableManager& store, const WriteProtection& protection,
                                   const RunFacts& facts) {
  for (const Predefined& variable : kInitializationVariables) {
    if (variable.onlyWhenUndefined && store.Exists(variable.name)) continue;
    WriteVariable(store, variable.name, variable.value(facts), kInitialization, protection);
  }
}

}  // namespace kox
