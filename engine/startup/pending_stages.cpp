// The dialog engine is not built yet. Until it is, preloading only counts the
// dialogs (the start-up does that). It replaces its functions here with its
// own. (runScript lives with the interpreter's run set-up.)
#include "engine/startup/engine_seams.h"

namespace kox {

void initDialogEngine(const std::string&) {}

void preloadDialog(const std::string&, const std::string&) {}

}  // namespace kox
