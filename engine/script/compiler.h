// The compile step, run once before the first command. It checks the
// script's structure (block balance, labels, wizard loops, required
// parameters, expression syntax), collects the labels, declares every
// variable that the script can write (so later references count as defined)
// and fills the execution marks. A script that fails is not run.
#pragma once

#include <cstdint>
#include <string>

#include "engine/script/script_store.h"
#include "engine/vars/variable_manager.h"

namespace kox {

inline constexpr int64_t kCompileSucceeded = -1;
// The index reported when the "If"/"Wizard Loop" and "End" counts differ.
inline constexpr int64_t kBlockBalanceFailureIndex = 2147483644;
inline constexpr const char* kCompileSuccessMessage = "Script compiled successfully";

struct CompileResult {
  int64_t index = kCompileSucceeded;  // first offending command, or kCompileSucceeded
  std::string message = kCompileSuccessMessage;

  bool succeeded() const { return index == kCompileSucceeded; }
};

// Clears the variables, the label table and the execution marks, then
// compiles. Stops at the first failure.
CompileResult compileScript(ScriptStore& script, TVariableManager& variables);

}  // namespace kox
