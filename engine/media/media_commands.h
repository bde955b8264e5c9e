// The media command family: "Extract 7Zip Archive" (Windows builds only).
#pragma once

#include <span>

#include "engine/script/command/command_context.h"

namespace kox {

std::span<const CommandEntry> mediaCommands();

// "Extract 7Zip Archive": P1 archive file, P2 target folder (path values),
// P3 result variable (plain name, optional), P4 password (expanded), P5 keep
// the archive's folders, P6 replace existing files. Extracts the whole archive
// on a TDirectExtractMedia worker and stores "SUCCESS" or the error text in
// P3. A cancel during the wait ends the script ("Setup cancelled") with
// ABORTONERROR true; otherwise ABORTEDONERROR becomes "TRUE" with the context
// "Cancel at Extract-7Zip Time" and the script goes on.
void extract7ZipArchive(CommandContext& context);

}  // namespace kox
