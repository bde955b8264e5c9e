// The commands of this family that ask Windows: they exist in the Windows
// builds only (win/system_query_commands.cpp).
#pragma once

namespace kox {

class CommandContext;

void ConvertPathCommand(CommandContext& context);
void GetTemporaryFileCommand(CommandContext& context);
void GetSystemSettingsCommand(CommandContext& context);
void GetOsOrSpLevelCommand(CommandContext& context);
void GetFolderLocationCommand(CommandContext& context);
void CheckDiskSpaceCommand(CommandContext& context);
void IsMsiSetupInstalledCommand(CommandContext& context);

}  // namespace kox
