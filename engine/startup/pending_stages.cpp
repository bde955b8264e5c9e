// The dialog engine and the interpreter are not built yet. Until they are,
// preloading only counts the dialogs (the start-up does that) and the script
// runs as an empty one. Each stage replaces its functions here with its own.
#include "engine/startup/engine_seams.h"

namespace kox {

void initDialogEngine(const std::string&) {}

void preloadDialog(const std::string&, const std::string&) {}

int runScript(const ScriptRunInput&) { return 0; }

}  // namespace kox
