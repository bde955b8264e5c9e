#include "engine/script/interpreter/block_map.h"

#include <string_view>

#include "engine/script/script_store.h"

namespace kox {
namespace {

CommandKind kindOf(const ScriptStore& script, size_t index) {
  if (script.isDisabled(index)) return CommandKind::Inactive;
  const std::string_view name = script.commandName(index);
  if (name == "Ignore") return CommandKind::Inactive;
  if (name == "If") return CommandKind::If;
  if (name == "Else If") return CommandKind::ElseIf;
  if (name == "Else") return CommandKind::Else;
  if (name == "End") return CommandKind::End;
  if (name == "Wizard Loop") return CommandKind::WizardLoop;
  if (name == "Display Dialog") return CommandKind::DisplayDialog;
  return CommandKind::Other;
}

}  // namespace

BlockMap::BlockMap(const ScriptStore& script) {
  const size_t count = script.commandCount();
  kinds_.reserve(count);
  for (size_t i = 0; i < count; ++i) kinds_.push_back(kindOf(script, i));
  nextBranch_.assign(count, count);
  blockEnd_.assign(count, count);

  // One pass with a stack of open blocks: each entry is the opener and the
  // last branch marker seen in it, so each marker links to the following one.
  struct Open {
    size_t opener;
    size_t lastMarker;
    std::vector<size_t> members;  // opener and its "Else If"/"Else" lines
  };
  std::vector<Open> open;
  for (size_t i = 0; i < count; ++i) {
    switch (kinds_[i]) {
      case CommandKind::If:
      case CommandKind::WizardLoop:
        open.push_back({i, i, {i}});
        break;
      case CommandKind::ElseIf:
      case CommandKind::Else:
        if (open.empty()) break;
        nextBranch_[open.back().lastMarker] = i;
        open.back().lastMarker = i;
        open.back().members.push_back(i);
        break;
      case CommandKind::End:
        if (open.empty()) break;
        nextBranch_[open.back().lastMarker] = i;
        for (size_t member : open.back().members) blockEnd_[member] = i;
        open.pop_back();
        break;
      default:
        break;
    }
  }
}

}  // namespace kox
