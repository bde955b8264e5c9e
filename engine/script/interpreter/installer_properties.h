// What the run records for the installer Parts: the pending property queue
// (pairs written into the installer database before it runs), the run
// property list (the same pairs, kept in the engine cache as ".par") and the
// previous pin list (".lnk" of an earlier run). Process-wide: the recording
// commands fill them, "Apply Changes" consumes them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kox {

struct InstallerProperties {
  std::vector<std::pair<std::string, std::string>> pending;
  std::vector<std::string> runProperties;  // name, value alternating
  std::vector<std::string> previousPins;

  void clear() {
    pending.clear();
    runProperties.clear();
    previousPins.clear();
  }
};

InstallerProperties& installerProperties();

}  // namespace kox
