// Preparation of a dialog before each display, kind by kind: every text
// restored from its template and expanded, bound controls filled from their
// variables, content files loaded, licence memos watched.
#pragma once

#include "engine/dialogs/win/dialog_engine.h"

namespace kox {

// Treats every component in creation order, then the window's caption.
// Runs with the engine's filling flag set by the caller.
void prepareDialogControls(DialogEngine& engine, DialogWindow& dialog);

// Gives a watched memo or rich edit its own window procedure back.
void stopWatching(DialogWindow& dialog);

}  // namespace kox
