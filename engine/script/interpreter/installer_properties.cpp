#include "engine/script/interpreter/installer_properties.h"

namespace kox {

InstallerProperties& installerProperties() {
  static InstallerProperties properties;
  return properties;
}

}  // namespace kox
