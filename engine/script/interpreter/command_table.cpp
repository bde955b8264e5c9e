#include "engine/script/interpreter/command_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/script/interpreter/feature_commands.h"

#ifdef KOX_HAVE_VALUE_COMMANDS
#include "engine/script/values/value_commands.h"
#endif
#ifdef KOX_HAVE_FILE_COMMANDS
#include "engine/script/files/file_commands.h"
#endif
#ifdef KOX_HAVE_REGISTRY_COMMANDS
#include "engine/script/registry/registry_commands.h"
#endif

namespace kox {
namespace {

constexpr std::array<std::pair<const char*, CoreCommand>, 16> kCoreCommands{{
    {"If", CoreCommand::If},
    {"Else If", CoreCommand::ElseIf},
    {"Else", CoreCommand::Else},
    {"End", CoreCommand::End},
    {"Wizard Loop", CoreCommand::WizardLoop},
    {"Label", CoreCommand::Label},
    {"GoTo Label", CoreCommand::GoToLabel},
    {"Comment", CoreCommand::Comment},
    {"Ignore", CoreCommand::Ignore},
    {"Web Media Block", CoreCommand::WebMediaBlock},
    {"Display Dialog", CoreCommand::DisplayDialog},
    {"Hide Dialog", CoreCommand::HideDialog},
    {"Terminate Install", CoreCommand::TerminateInstall},
    {"Terminate with Exit Code", CoreCommand::TerminateWithExitCode},
    {"Reboot Computer", CoreCommand::RebootComputer},
    {"Reboot and Resume", CoreCommand::RebootAndResume},
}};

// Every command that the command families and the installer Parts implement.
constexpr const char* kFamilyCommands[] = {
    // Variables, strings and queries.
    "Set Variable", "Evaluate Expression", "Mathematics", "Parse String", "Replace String", "Convert Case",
    "Convert Path", "Extract Path", "Get Folder Location", "Get System Settings", "Get OS or SP Level",
    "Get Temporary File", "Get Environment", "Check Disk Space", "Is MSI Setup Installed", "Localization Variable",
    // Files, folders, text and INI files.
    "Check File Version", "Get File Version", "Does File/Folder Exist", "Find All Files", "Read from Text File",
    "Write to Text File", "Get INI File Settings", "Delete Files Recursive", "Extract 7Zip Archive",
    // Registry and environment.
    "Read Registry", "Check Registry", "Delete Registry", "Set 64 Bit Mode",
    // Processes, services, tasks and user interaction.
    "Run Program", "Run Program As", "Run Light Mode Setup", "Terminate Program", "Check Process", "Check Service",
    "Schedule Task", "Delete Scheduled Task", "MessageBox", "MessageBalloon", "System Tray", "Register Library",
    // Target-system changes and components.
    "Install Files", "Copy/Move Local Files", "Delete Files", "Create Folder", "Create Shortcut",
    "Advertised Shortcut", "Edit INI File", "Write Registry", "Set Environment", "Create File Type",
    "Advertised File Type", "Install Service", "Control Service", "Install ODBC Driver", "Create ODBC DSN",
    "Install Assembly", "Define Component", "Delete Component", "Get Component State", "Get Component Space",
    "Set Component State", "Set Component Space", "Set Component Choice", "Set Component Visibility",
    "Load Feature Selections", "Save Feature Selections", "Transform Instance",
    // Shares, access control, IIS, .NET and library registration.
    "Create Share", "Delete Share", "Set Access Control", "Create IIS Site", "Delete IIS Site", "Control IIS Site",
    "Create Virtual Folder", "Delete Virtual Folder", "Get IIS Property", "Set IIS Property", "Get IIS Site Index",
    "Get IIS Site List", "IIS Anonymous User", "Register Assembly", "Remove Assemblies", "Run .NET Installer Class",
    "Generate Native Images",
    // Apply Changes and Apply Patch.
    "Apply Changes", "Apply Patch",
};

}  // namespace

CommandTable::CommandTable() {
  for (const auto& [name, core] : kCoreCommands) {
    ResolvedCommand resolved;
    resolved.kind = ResolvedCommand::Kind::Core;
    resolved.core = core;
    byName_[name] = resolved;
  }
}

void CommandTable::add(std::span<const CommandEntry> entries) {
  for (const CommandEntry& entry : entries) {
    ResolvedCommand resolved;
    resolved.kind = ResolvedCommand::Kind::Family;
    resolved.handler = entry.handler;
    byName_[entry.name] = resolved;
  }
}

bool CommandTable::isListedFamilyCommand(std::string_view name) {
  return std::find(std::begin(kFamilyCommands), std::end(kFamilyCommands), name) != std::end(kFamilyCommands);
}

ResolvedCommand CommandTable::resolve(const std::string& name, const std::vector<std::string>& pluginNames) const {
  if (std::find(pluginNames.begin(), pluginNames.end(), name) != pluginNames.end())
    return {ResolvedCommand::Kind::Plugin, CoreCommand::Comment, nullptr};
  auto it = byName_.find(name);
  if (it != byName_.end()) return it->second;
  // Passed over: names the engine does not know, and the listed commands of
  // families that are not in this build yet. A family that lands adds its
  // table in engineCommandTable() and its names resolve above.
  return {};
}

namespace {

CommandTable& mutableEngineCommandTable() {
  static CommandTable table = [] {
    CommandTable t;
#ifdef KOX_HAVE_VALUE_COMMANDS
    t.add(valueCommands());
#endif
#ifdef KOX_HAVE_FILE_COMMANDS
    t.add(fileCommands());
#endif
#ifdef KOX_HAVE_REGISTRY_COMMANDS
    t.add(registryCommands());
#endif
    t.add(featureCommands());
    return t;
  }();
  return table;
}

}  // namespace

const CommandTable& engineCommandTable() { return mutableEngineCommandTable(); }

void addEngineCommands(std::span<const CommandEntry> entries) { mutableEngineCommandTable().add(entries); }

}  // namespace kox
