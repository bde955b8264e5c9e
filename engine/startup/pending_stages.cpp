// The dialog engine's start-up seams: the engine is initialised with the
// support folder and every enabled "Display Dialog" definition preloaded.
// (runScript lives with the interpreter's run set-up.)
#include "engine/dialogs/win/dialog_engine.h"
#include "engine/startup/engine_seams.h"
#include "engine/startup/startup_settings.h"

namespace kox {

void initDialogEngine(const std::string& supportFolder) {
  dialogEngine().init({supportFolder, startupSettings().commandLine.silent,
                       messageTable().text(kMsgFlashUnavailable)});
}

void preloadDialog(const std::string& key, const std::string& formFile) { dialogEngine().loadDialog(key, formFile); }

}  // namespace kox
