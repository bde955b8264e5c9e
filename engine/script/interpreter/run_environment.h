// What the step loop needs from the process around it: message pumping, the
// clock, the trace, restarting Windows, the resume entry, the error box, and
// the refreshes that touch files, the registry or windows. The engine's
// implementation is Win32; tests and the host build use their own. Every
// hook has a harmless default so a test overrides only what it observes.
#pragma once

#include <cstdint>
#include <string>

namespace kox {

class TVariableManager;

class RunEnvironment {
 public:
  virtual ~RunEnvironment() = default;

  // Handles the pending window messages (every 314th step).
  virtual void processMessages() {}
  // One turn of a waiting loop: one window message, waiting for one if none
  // is queued.
  virtual void waitStep() {}
  virtual uint64_t tickCount() { return 0; }
  virtual void trace(const std::string& /*line*/) {}

  // Step 2: the values the step loop found changed.
  virtual void setLogPath(const std::string& /*path*/) {}
  virtual void setWindowTitle(const std::string& /*title*/, bool /*logo*/) {}
  // The cache override: create the folder, run Bootstrap again, write
  // OVERRIDECACHE (with "\" on success, empty on failure).
  virtual void applyCacheOverride(TVariableManager& /*store*/, const std::string& /*folder*/) {}
  // Step 3: DATE and TIME.
  virtual void refreshClock(TVariableManager& /*store*/) {}
  // Step 4: translation tables and language file of a newly chosen language.
  virtual void applyLanguage(const std::string& /*language*/) {}
  // Step 5: UNINSTALLLINK and ENGINECACHE for the current ALLUSERS.
  virtual void refreshCacheLinks(TVariableManager& /*store*/) {}

  // Ending commands. The restart must not return an error to the script.
  virtual void requestRestart() {}
  virtual void writeResumeEntry(bool /*allUsers*/, const std::string& /*valueName*/, const std::string& /*command*/) {}

  // The runtime error message box (not called in silent runs).
  virtual void showRuntimeError(const std::string& /*text*/) {}
  // Finish: the single-instance marker, the script's open text file, the tray icon.
  virtual void finishRun() {}
  // After script end: whether the setup media has been removed, in which case
  // completeRemovedMediaRun ends the process with the exit code.
  virtual bool setupMediaRemoved() { return false; }
  virtual void completeRemovedMediaRun(int /*exitCode*/) {}
};

}  // namespace kox
