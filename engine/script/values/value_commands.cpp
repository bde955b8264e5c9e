#include "engine/script/values/value_commands.h"

#include "engine/script/values/mathematics.h"
#include "engine/script/values/string_commands.h"
#include "engine/script/values/system_query_commands.h"
#include "engine/script/values/variable_commands.h"

namespace kox {
namespace {

constexpr CommandEntry kValueCommands[] = {
    {"Set Variable", SetVariableCommand},
    {"Localization Variable", LocalizationVariableCommand},
    {"Evaluate Expression", EvaluateExpressionCommand},
    {"Parse String", ParseStringCommand},
    {"Replace String", ReplaceStringCommand},
    {"Convert Case", ConvertCaseCommand},
    {"Extract Path", ExtractPathCommand},
    {"Mathematics", MathematicsCommand},
#if defined(_WIN32)
    {"Convert Path", ConvertPathCommand},
    {"Get Temporary File", GetTemporaryFileCommand},
    {"Get System Settings", GetSystemSettingsCommand},
    {"Get OS or SP Level", GetOsOrSpLevelCommand},
    {"Get Folder Location", GetFolderLocationCommand},
    {"Check Disk Space", CheckDiskSpaceCommand},
    {"Is MSI Setup Installed", IsMsiSetupInstalledCommand},
#endif
};

}  // namespace

std::span<const CommandEntry> valueCommands() { return kValueCommands; }

}  // namespace kox
