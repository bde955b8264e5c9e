// The engine's run environment: message pumping, the clock, the trace, the
// cache links and override, restart and resume, the runtime error box and
// the end of a run whose setup media was removed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/script/interpreter/run_environment.h"
#include "engine/script/interpreter/win/run_identity.h"

namespace kox {

class ScriptStore;

class WinRunEnvironment : public RunEnvironment {
 public:
  WinRunEnvironment(RunIdentity& identity, ScriptStore& script, WriteProtection& protection,
                    std::function<void()> bootstrapAgain, std::function<void()> postRun);

  void processMessages() override;
  void waitStep() override;
  uint64_t tickCount() override;
  void trace(const std::string& line) override;
  void setLogPath(const std::string& path) override;
  void setWindowTitle(const std::string& title, bool logo) override;
  void applyCacheOverride(TVariableManager& store, const std::string& folder) override;
  void refreshClock(TVariableManager& store) override;
  void applyLanguage(const std::string& language) override;
  void refreshCacheLinks(TVariableManager& store) override;
  void requestRestart() override;
  void writeResumeEntry(bool allUsers, const std::string& valueName, const std::string& command) override;
  void showRuntimeError(const std::string& text) override;
  void finishRun() override;
  bool setupMediaRemoved() override;
  void completeRemovedMediaRun(int exitCode) override;

  const std::string& title() const { return title_; }
  std::string singleInstanceMarker() const;
  void setSingleInstance(bool on) { singleInstance_ = on; }

 private:
  RunIdentity& identity_;
  ScriptStore& script_;
  WriteProtection& protection_;
  std::function<void()> bootstrapAgain_;
  std::function<void()> postRun_;
  std::string title_;
  bool singleInstance_ = false;
  // Clock and cache links are recomputed when their inputs change, and the
  // clock at most once per second.
  uint64_t lastClockSecond_ = UINT64_MAX;
  std::string lastAllUsers_ = "\x01";
  std::string lastOverride_ = "\x01";
  uint64_t lastLinksSecond_ = UINT64_MAX;
};

}  // namespace kox
