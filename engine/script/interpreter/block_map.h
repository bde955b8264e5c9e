// The block structure of a script, worked out once before the run: what kind
// of command stands at each index and, for every block command, where the
// scans of the step loop stop.
//
// Matching is by nesting: inner "If"/"Wizard Loop" blocks and their "End"s
// are passed over as units; disabled commands and "Ignore" never count. A
// scan that finds no marker (an unbalanced script, which compilation rejects)
// stops past the last command, which ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kox {

class ScriptStore;

enum class CommandKind : uint8_t {
  Other,
  Inactive,  // disabled, or "Ignore"
  If,
  ElseIf,
  Else,
  End,
  WizardLoop,
  DisplayDialog,
};

class BlockMap {
 public:
  explicit BlockMap(const ScriptStore& script);

  size_t size() const { return kinds_.size(); }
  CommandKind kind(size_t index) const { return index < kinds_.size() ? kinds_[index] : CommandKind::Other; }
  // For an "If" or "Else If": the next "Else If", "Else" or "End" of its block.
  size_t nextBranch(size_t index) const { return index < nextBranch_.size() ? nextBranch_[index] : size(); }
  // For "If", "Else If", "Else" and "Wizard Loop": the block's "End".
  size_t blockEnd(size_t index) const { return index < blockEnd_.size() ? blockEnd_[index] : size(); }

 private:
  std::vector<CommandKind> kinds_;
  std::vector<size_t> nextBranch_;
  std::vector<size_t> blockEnd_;
};

}  // namespace kox
