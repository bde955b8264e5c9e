#include "engine/media/media_commands.h"

namespace kox {
namespace {

const CommandEntry kMediaCommands[] = {
    {"Extract 7Zip Archive", extract7ZipArchive},
};

}  // namespace

std::span<const CommandEntry> mediaCommands() { return kMediaCommands; }

}  // namespace kox
