#include "engine/startup/startup_settings.h"

namespace kox {

StartupSettings& startupSettings() {
  static StartupSettings settings;
  return settings;
}

MessageTable& messageTable() {
  static MessageTable table;
  return table;
}

SetupPackage& setupPackage() {
  static SetupPackage package;
  return package;
}

}  // namespace kox
