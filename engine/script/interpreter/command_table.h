// Command dispatch: every command name the interpreter recognises, resolved
// once per script position before the run so that a step costs one switch.
//
// Names come from three places: the interpreter's own commands (blocks,
// dialogs, endings), the command families (values, files, registry ...,
// each a table of CommandEntry), and the names listed for families that have
// not been built into this engine yet. Those are passed over, in the one place
// marked below, exactly like names the table does not know.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/script/command/command_context.h"

namespace kox {

enum class CoreCommand : uint8_t {
  If,
  ElseIf,
  Else,
  End,
  WizardLoop,
  Label,
  GoToLabel,
  Comment,
  Ignore,
  WebMediaBlock,
  DisplayDialog,
  HideDialog,
  TerminateInstall,
  TerminateWithExitCode,
  RebootComputer,
  RebootAndResume,
};

struct ResolvedCommand {
  enum class Kind : uint8_t {
    Core,      // the interpreter's own command
    Family,    // a command family's handler
    Plugin,    // a name in the plug-in name list
    PassOver,  // not in the table (authoring markers ...), or family not built yet
  };
  Kind kind = Kind::PassOver;
  CoreCommand core = CoreCommand::Comment;
  CommandHandler handler = nullptr;
};

class CommandTable {
 public:
  // The interpreter's own commands only.
  CommandTable();

  // Adds a family's commands; a later entry for the same name replaces an earlier one.
  void add(std::span<const CommandEntry> entries);
  // What a name runs as. Plug-in names go first (the plug-in name list).
  ResolvedCommand resolve(const std::string& name, const std::vector<std::string>& pluginNames) const;
  // Whether a family command of this name is known to the engine (built or not).
  static bool isListedFamilyCommand(std::string_view name);

 private:
  std::unordered_map<std::string, ResolvedCommand> byName_;
};

// The engine's table: the interpreter's commands, the feature-selection
// commands and every command family linked into this build.
const CommandTable& engineCommandTable();
// Adds a family that lives outside the script engine (the media commands of
// the Windows engine) to the engine's table; call it before the run starts.
void addEngineCommands(std::span<const CommandEntry> entries);

}  // namespace kox
