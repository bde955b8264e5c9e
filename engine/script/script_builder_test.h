// Builds script lists for tests: one entry per command, identifiers made up
// from the position.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "engine/script/script_store.h"

namespace kox::testing {

struct TestCommand {
  TestCommand(std::string n, std::vector<std::string> p = {}, bool d = false)
      : name(std::move(n)), parameters(std::move(p)), disabled(d) {}
  TestCommand(const char* n) : TestCommand(std::string(n)) {}

  std::string name;
  std::vector<std::string> parameters;
  bool disabled = false;
};

inline ScriptLists buildScript(const std::vector<TestCommand>& commands) {
  ScriptLists lists;
  for (size_t i = 0; i < commands.size(); ++i) {
    std::string id = "{00000000-0000-0000-0000-" + std::to_string(100000000000 + i) + "}";
    lists.commandNames.push_back(commands[i].name);
    lists.commandIds.push_back(id);
    lists.disabledFlags.push_back(commands[i].disabled ? "C" : "");
    if (commands[i].parameters.empty()) continue;
    lists.parameters.push_back(id);
    for (const auto& p : commands[i].parameters) lists.parameters.push_back(p);
  }
  return lists;
}

}  // namespace kox::testing
