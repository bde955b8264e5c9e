// Steps per second of the interpreter core on a counted loop
//
//   Label top / Mathematics $I$ + 1 -> I / If I = N / GoTo done / End /
//   GoTo top / Label done
//
// five executed steps per turn, 1,000,000 steps in all, against the same loop
// in a trivial tree-walking interpreter over a string map (the peer: what a
// script engine without per-step bookkeeping costs).
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/script/interpreter/interpreter.h"
#include "engine/script/script_store.h"
#include "engine/vars/variable_manager.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr long long kSteps = 1'000'000;
constexpr long long kStepsPerTurn = 5;
constexpr long long kTurns = kSteps / kStepsPerTurn;

// The engine refreshes DATE and TIME once per second; so does this host environment.
class HostEnvironment : public kox::RunEnvironment {
 public:
  void refreshClock(kox::TVariableManager& store) override {
    const auto second = std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch()).count();
    if (second == lastSecond_) return;
    lastSecond_ = second;
    store.Put("TIME", std::to_string(second));
  }

 private:
  long long lastSecond_ = -1;
};

// Used only when the values family is not in this build.
void increment(kox::CommandContext& context) {
  context.writeResult(context.parameter(4), std::to_string(std::stoll(context.expanded(1)) + 1));
}
constexpr kox::CommandEntry kFallback[] = {{"Mathematics", increment}};

kox::ScriptLists loopScript() {
  const std::vector<std::vector<std::string>> commands{
      {"Label", "top"},
      {"Mathematics", "$I$", "1", "0", "I"},
      {"If", "I", "0", std::to_string(kTurns), "FALSE"},
      {"GoTo Label", "done"},
      {"End"},
      {"GoTo Label", "top"},
      {"Label", "done"},
  };
  kox::ScriptLists lists;
  for (size_t i = 0; i < commands.size(); ++i) {
    const std::string id = "{00000000-0000-0000-0000-" + std::to_string(100000000000 + i) + "}";
    lists.commandNames.push_back(commands[i][0]);
    lists.commandIds.push_back(id);
    lists.disabledFlags.emplace_back();
    lists.parameters.push_back(id);
    for (size_t p = 1; p < commands[i].size(); ++p) lists.parameters.push_back(commands[i][p]);
  }
  return lists;
}

double engineStepsPerSecond(const kox::CommandTable& table, long long& executed) {
  kox::ScriptStore script(loopScript());
  script.fillLabelTable();
  kox::TVariableManager store;
  for (const char* name : {"LOGGED", "SILENT", "TITLE", "KELDLOGO", "OVERRIDECACHE", "LANGUAGE", "ALLUSERS",
                           "KELD_IsCancelled", "ABORT", "ABORTONERROR"})
    store.Put(name, "");
  store.Put("I", "0");
  HostEnvironment environment;
  kox::SilentDialogHost dialogs;
  kox::Interpreter interpreter(script, store, environment, dialogs, table, kox::RunSettings{});
  const auto start = Clock::now();
  interpreter.run();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  executed = static_cast<long long>(interpreter.executedSteps());
  if (store.Get("I") != std::to_string(kTurns)) std::printf("unexpected result I=%s\n", store.Get("I").c_str());
  return executed / seconds;
}

// The peer: a tree of nodes walked directly, variables in a std::map.
struct Node {
  enum Kind { Label, Increment, IfEqualGoTo, GoTo } kind;
  std::string variable;
  std::string value;
  size_t target = 0;
};

double treeWalkerStepsPerSecond(long long& executed) {
  const std::vector<Node> program{{Node::Label, "", "", 0},
                                  {Node::Increment, "I", "", 0},
                                  {Node::IfEqualGoTo, "I", std::to_string(kTurns), 5},
                                  {Node::GoTo, "", "", 0},
                                  {Node::Label, "", "", 0}};  // at 4: "done"
  std::map<std::string, std::string> variables{{"I", "0"}};
  executed = 0;
  const auto start = Clock::now();
  for (size_t pc = 0; pc < program.size();) {
    const Node& node = program[pc++];
    ++executed;
    switch (node.kind) {
      case Node::Label: break;
      case Node::Increment: variables[node.variable] = std::to_string(std::stoll(variables[node.variable]) + 1); break;
      case Node::IfEqualGoTo:
        ++executed;  // the "End" (or the "GoTo done") the engine's script has here
        if (variables[node.variable] == node.value) pc = 4;
        break;
      case Node::GoTo: pc = node.target; break;
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return executed / seconds;
}

}  // namespace

int main() {
  const kox::CommandTable& engine = kox::engineCommandTable();
  const bool haveMathematics =
      engine.resolve("Mathematics", {}).kind == kox::ResolvedCommand::Kind::Family;
  kox::CommandTable fallback;
  fallback.add(kFallback);
  long long engineSteps = 0;
  long long peerSteps = 0;
  const double engineRate = engineStepsPerSecond(haveMathematics ? engine : fallback, engineSteps);
  const double peerRate = treeWalkerStepsPerSecond(peerSteps);
  std::printf("interpreter core (%s): %lld steps, %.0f steps/s\n",
              haveMathematics ? "\"Mathematics\" of the values family" : "stand-in increment command", engineSteps,
              engineRate);
  std::printf("peer, trivial tree-walker over std::map: %lld steps, %.0f steps/s\n", peerSteps, peerRate);
  std::printf("ratio core / peer: %.2f; target 1,000,000 steps/s: %s\n", engineRate / peerRate,
              engineRate >= 1e6 ? "met" : "NOT met");
  return 0;
}
