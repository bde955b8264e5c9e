// Rates of the two hot paths of the script engine, each against a plain peer
// measured in the same run:
//   1. reference expansion of a 1 KB text holding 20 references, store of
//      10,000 variables; peer: the in-place rewrite of one string with a
//      std::map of folded names;
//   2. parameter fetch by command identifier in scripts of 10,000 and 100,000
//      commands; peer: a linear scan of the parameter list for the identifier
//      line. The indexed fetch should cost the same at both sizes.
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/base/text.h"
#include "engine/script/parameter_store.h"
#include "engine/vars/variable_manager.h"

namespace {

using Clock = std::chrono::steady_clock;

// Calls work at least minCalls times and until at least minSeconds have
// passed; returns calls per second.
template <typename Work>
double rate(Work&& work, size_t minCalls = 0, double minSeconds = 0.5) {
  size_t calls = 0;
  const auto start = Clock::now();
  double elapsed = 0;
  do {
    for (int i = 0; i < 16; ++i) work(calls++);
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  } while (elapsed < minSeconds || calls < minCalls);
  return calls / elapsed;
}

volatile size_t sink = 0;
// Keeps the measured results alive so the optimiser cannot drop the work.
void keep(size_t value) { sink = sink + value; }

// The peer: one string rewritten in place, names folded into a std::map.
std::string naiveExpand(const std::map<std::string, std::string>& vars, std::string result) {
  size_t p = 0;
  for (;;) {
    size_t a = result.find('$', p);
    if (a == std::string::npos) return result;
    size_t b = result.find('$', a + 1);
    std::string name = b == std::string::npos ? "" : result.substr(a + 1, b - a - 1);
    auto it = name.empty() ? vars.end() : vars.find(kox::toLowerAscii(name));
    if (it != vars.end()) {
      result.replace(a, name.size() + 2, it->second);
      p = a;
    } else {
      p = a + name.size() + 1;
    }
  }
}

void benchExpansion() {
  kox::TVariableManager store;
  std::map<std::string, std::string> peer;
  for (int i = 0; i < 10000; ++i) {
    std::string name = "Variable_" + std::to_string(i);
    std::string value = "value number " + std::to_string(i);
    if (i % 100 == 0) value = "nested $Variable_" + std::to_string(i + 1) + "$";
    store.Put(name, value);
    peer[kox::toLowerAscii(name)] = value;
  }
  std::mt19937 random(7);
  std::string text;
  for (int r = 0; r < 20; ++r) {
    text += std::string(30, 'a' + r % 26) + " ";
    text += "$VARIABLE_" + std::to_string(random() % 10000) + "$ ";
  }
  while (text.size() < 1024) text += "padding text without references. ";
  text.resize(1024);
  if (store.ExpandReferences(text) != naiveExpand(peer, text)) {
    std::printf("expansion results differ\n");
    return;
  }
  double ours = rate([&](size_t) { keep(store.ExpandReferences(text).size()); });
  double naive = rate([&](size_t) { keep(naiveExpand(peer, text).size()); });
  std::printf("expand 1 KB, 20 refs, 10,000 vars: TVariableManager %10.0f /s   std::map in-place peer %10.0f /s   ratio %.2f\n",
              ours, naive, ours / naive);

  // A long text, such as a file read with its line breaks as "$NEWLINE$":
  // rewriting in place moves the whole tail for every reference.
  store.Put("NEWLINE", "\r\n");
  peer["newline"] = "\r\n";
  std::string longText;
  while (longText.size() < (256u << 10)) longText += "a line of some text in a file$NEWLINE$";
  ours = rate([&](size_t) { keep(store.ExpandReferences(longText).size()); });
  naive = rate([&](size_t) { keep(naiveExpand(peer, longText).size()); });
  std::printf("expand 256 KB, 6,900 refs:         TVariableManager %10.1f /s   std::map in-place peer %10.1f /s   ratio %.1f\n",
              ours, naive, ours / naive);
}

struct Script {
  std::vector<std::string> ids;
  std::vector<std::string> lines;
};

Script makeScript(size_t commands) {
  Script script;
  char id[64];
  for (size_t i = 0; i < commands; ++i) {
    std::snprintf(id, sizeof id, "{%08zX-1C2D-4E5F-8A9B-%012zX}", i * 2654435761u % 0xFFFFFFFFu, i);
    script.ids.push_back(id);
    script.lines.push_back(id);
    for (int k = 1; k <= 4; ++k) script.lines.push_back("parameter " + std::to_string(k) + " of " + std::to_string(i));
  }
  return script;
}

std::string linearFetch(const std::vector<std::string>& lines, const std::string& id, size_t k) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (kox::equalsIgnoreCase(lines[i], id)) return i + k < lines.size() ? lines[i + k] : std::string();
  return {};
}

// Fetches parameter 2 of 1,024 commands spread over the whole script, picked
// in script order (as the step loop walks) or at random (where a large script
// no longer fits in the processor caches). Spreading the picks keeps the
// linear scan honest: it must reach the end of the script as often as the start.
void benchFetch(bool inScriptOrder) {
  double indexedRate[2] = {0, 0}, linearRate[2] = {0, 0};
  int row = 0;
  const char* order = inScriptOrder ? "in script order" : "random commands";
  for (size_t commands : {10000u, 100000u}) {
    Script script = makeScript(commands);
    kox::ParameterStore store(script.lines);
    std::mt19937 random(11);
    std::vector<size_t> picks(1024);
    for (size_t i = 0; i < picks.size(); ++i) picks[i] = inScriptOrder ? i * commands / picks.size() : random() % commands;
    double indexed = rate([&](size_t call) { keep(store.fetch(script.ids[picks[call % picks.size()]], 2).size()); },
                          picks.size());
    double linear = rate(
        [&](size_t call) { keep(linearFetch(script.lines, script.ids[picks[call % picks.size()]], 2).size()); },
        picks.size());
    indexedRate[row] = indexed;
    linearRate[row++] = linear;
    std::printf("fetch %s, %6zu commands: ParameterStore %10.0f /s   linear-scan peer %10.0f /s   ratio %8.1f\n",
                order, commands, indexed, linear, indexed / linear);
  }
  std::printf("fetch %s, 10,000 -> 100,000 commands: ParameterStore keeps %.0f%% of its rate, linear-scan peer keeps %.0f%%\n",
              order, 100 * indexedRate[1] / indexedRate[0], 100 * linearRate[1] / linearRate[0]);
}

}  // namespace

int main() {
  benchExpansion();
  benchFetch(true);
  benchFetch(false);
  return 0;
}
