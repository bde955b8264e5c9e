#include "engine/startup/command_line.h"

#include "engine/base/text.h"

namespace kox {
namespace {

bool isSwitch(std::string_view arg, std::string_view word) {
  return arg.size() == word.size() + 1 && (arg[0] == '/' || arg[0] == '-') &&
         equalsIgnoreCase(arg.substr(1), word);
}

// The value of the first argument holding one of the markers: the whole
// argument lower-cased, without its first three characters.
std::string firstValue(const std::vector<std::string>& args, std::initializer_list<std::string_view> markers) {
  for (const auto& arg : args) {
    for (auto marker : markers) {
      if (findIgnoreCase(arg, marker) != std::string_view::npos) {
        std::string lower = toLowerAscii(arg);
        return lower.size() > 3 ? lower.substr(3) : std::string();
      }
    }
  }
  return {};
}

}  // namespace

std::string commandLineTail(std::string_view raw) {
  if (!raw.empty() && raw[0] == '"') {
    size_t close = raw.find('"', 1);
    if (close == std::string_view::npos) return {};
    size_t start = close + 2;  // the closing quote and the one character after it
    return start < raw.size() ? std::string(raw.substr(start)) : std::string();
  }
  size_t blank = raw.find(' ');
  if (blank == std::string_view::npos) return {};
  return std::string(raw.substr(blank + 1));
}

CommandLine parseCommandLine(std::string_view raw, const std::vector<std::string>& args) {
  CommandLine cl;
  cl.tail = commandLineTail(raw);
  for (const auto& arg : args) {
    if (isSwitch(arg, "s") || isSwitch(arg, "qn")) cl.silent = true;
    if (isSwitch(arg, "update") || isSwitch(arg, "updatesetup")) cl.noStartupWindows = true;
  }
  cl.policyPath = firstValue(args, {"/g="});
  cl.outerPackagePath = firstValue(args, {"/m="});
  cl.logPath = firstValue(args, {"/l=", "-l="});
  cl.mediaPath = firstValue(args, {"/p=", "-p="});
  for (const auto& arg : args) {
    if (arg.empty() || arg[0] == '/' || arg[0] == '-') continue;
    size_t eq = arg.find('=');
    if (eq == std::string::npos) continue;
    cl.variables.push_back(toUpperAscii(arg.substr(0, eq)));
    cl.variables.push_back(arg.substr(eq + 1));
  }
  return cl;
}

}  // namespace kox
