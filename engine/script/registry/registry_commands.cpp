#include "engine/script/registry/registry_commands.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "engine/base/text.h"
#include "engine/base/win/handle.h"
#include "engine/script/registry/platform_selection.h"
#include "engine/script/registry/registry_access.h"
#include "engine/script/registry/registry_text.h"
#include "engine/script/values/platform_mode.h"
#include "engine/script/values/win/redirection.h"
#include "engine/vars/script_variables.h"

namespace kox {

namespace {

// The root of parameter k, or nothing after reporting the failure: a root code
// outside 0 to 4 leaves the registry and the result alone.
std::optional<HKEY> rootParameter(CommandContext& context, int k) {
  std::string code = context.expanded(k);
  std::optional<int> root = registryRootCode(code);
  if (!root) {
    context.fail(context.commandName() + ": invalid registry root code \"" + code + "\"");
    return std::nullopt;
  }
  return win::registryRoot(*root);
}

// "Check Registry" and "Read Registry": P1 result, P2 root, P3 key, P4 value.
void readRegistry(CommandContext& context, bool clearMarkers) {
  std::optional<HKEY> root = rootParameter(context, 2);
  if (!root) return;
  std::string result = plainName(context.parameter(1));
  std::string value = win::readRegistryValue(*root, trimmedKeyPath(context.pathValue(3)), context.pathValue(4),
                                             win::RegistryViewForCommand());
  if (clearMarkers && isRegistryMarker(value)) value.clear();
  context.writeResult(result, value);
}

void checkRegistryCommand(CommandContext& context) { readRegistry(context, false); }
void readRegistryCommand(CommandContext& context) { readRegistry(context, true); }

// "Delete Registry": P1 root, P2 key, P3 value, P4 delete the whole key.
// Failures are ignored. A key is deleted with its subkeys in the view of the
// platform mode, the 64-bit view included.
void deleteRegistryCommand(CommandContext& context) {
  std::optional<HKEY> root = rootParameter(context, 1);
  if (!root) return;
  std::string keyPath = trimmedKeyPath(context.pathValue(2));
  const REGSAM view = win::RegistryViewForCommand();
  if (context.flag(4)) {
    // An empty key path would name the root itself and take the whole hive
    // with it (an unset variable in the script is enough for that).
    if (keyPath.empty()) {
      context.fail("Delete Registry: refusing to delete a registry root");
      return;
    }
    win::deleteRegistryKeyTree(*root, keyPath, view);
  } else {
    win::deleteRegistryValue(*root, keyPath, context.pathValue(3), view);
  }
}

// The environment block of the process, entry by entry, as the system keeps
// it (the C runtime's copy misses later changes).
std::vector<std::string> environmentBlock() {
  std::vector<std::string> entries;
  char* block = GetEnvironmentStringsA();
  if (block == nullptr) return entries;
  for (const char* entry = block; *entry != '\0';) {
    std::string text(entry);
    entry += text.size() + 1;
    entries.push_back(std::move(text));
  }
  FreeEnvironmentStringsA(block);
  return entries;
}

// "Get Environment": P1 name (may be empty: the whole block), P2 result.
void getEnvironmentCommand(CommandContext& context) {
  win::FileSystemRedirectionOff redirection;
  std::string name = context.expanded(1);
  std::string value;
  if (name.empty()) {
    value = EnvironmentText(environmentBlock());
  } else {
    // An undefined name stays "%NAME%", as ExpandEnvironmentStrings leaves it.
    std::string reference = "%" + name + "%";
    std::vector<char> buffer(266240);
    DWORD length = ExpandEnvironmentStringsA(reference.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > buffer.size()) {
      buffer.resize(length);
      length = ExpandEnvironmentStringsA(reference.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (length == 0 || length > buffer.size()) {
      context.fail("Get Environment: cannot read \"" + name + "\": " + win::systemErrorText());
      return;
    }
    value.assign(buffer.data(), length - 1);
  }
  context.writeResult(toUpperAscii(plainOrReferenceName(context.parameter(2))), value);
}

// "Set 64 Bit Mode": P1 32-bit, P2 Itanium, P3 x64.
void set64BitModeCommand(CommandContext& context) {
  SetPlatformMode(
      selectPlatformMode(PlatformMode(), context.expanded(1), context.expanded(2), context.expanded(3)));
}

constexpr CommandEntry kRegistryCommands[] = {
    {"Read Registry", readRegistryCommand},
    {"Check Registry", checkRegistryCommand},
    {"Delete Registry", deleteRegistryCommand},
    {"Get Environment", getEnvironmentCommand},
    {"Set 64 Bit Mode", set64BitModeCommand},
};

}  // namespace

std::span<const CommandEntry> registryCommands() { return kRegistryCommands; }

}  // namespace kox
