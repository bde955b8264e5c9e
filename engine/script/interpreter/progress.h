// The progress protocol: workers, plug-in callbacks and the interpreter report
// progress only through reserved variables, each written under the variable
// store's lock; the visible dialog's poll timer shows them while the
// delegated-progress flag is set.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace kox {

class TVariableManager;

inline constexpr const char* kProgressVariable = "KELD_thProgress";
inline constexpr const char* kProgressMinVariable = "KELD_thMin";
inline constexpr const char* kProgressMaxVariable = "KELD_thMax";
inline constexpr const char* kProgressTextVariable = "KELD_thProgressText";
inline constexpr const char* kFinishedVariable = "KELD_thFinished";
inline constexpr const char* kCancelledVariable = "KELD_thCancelled";
inline constexpr const char* kIsCancelledVariable = "KELD_IsCancelled";
inline constexpr const char* kLastDelegateTickVariable = "KELD_LastDelegateTick";
inline constexpr const char* kLastActiveTickVariable = "KELD_LastActiveTick";

// Text that reuses the current progress values, and text that leaves the
// progress text alone.
inline constexpr const char* kProgressReuse = "$KELD$";
inline constexpr const char* kProgressKeepText = "$IGNORE$";

// Stamps KELD_LastDelegateTick with tick, then writes the numbers (unless
// position is -1) and the text (unless it is "$IGNORE$"). Safe from any thread.
void reportProgress(TVariableManager& store, uint64_t tick, std::string text, int64_t minimum, int64_t maximum,
                    int64_t position);

// Set while a command, or a worker it waits for, reports progress.
std::atomic<bool>& delegatedProgress();

// Clears the flag when it goes out of scope, however the command ends.
class DelegatedProgressGuard {
 public:
  DelegatedProgressGuard() { delegatedProgress() = true; }
  ~DelegatedProgressGuard() { delegatedProgress() = false; }
  DelegatedProgressGuard(const DelegatedProgressGuard&) = delete;
  DelegatedProgressGuard& operator=(const DelegatedProgressGuard&) = delete;
};

}  // namespace kox
