#include "engine/script/command_headers.h"

#include "engine/base/error.h"

namespace kox {

CommandHeaders::CommandHeaders(std::vector<std::string> pairs) : lines_(std::move(pairs)) {}

std::string CommandHeaders::find(long long commandIndex) const {
  size_t line = lines_.find(std::to_string(commandIndex));
  if (line == std::string::npos || line == 0) return {};
  return lines_[line - 1];
}

std::string CommandHeaders::get(long long commandIndex, bool initialising) const {
  std::string header = find(commandIndex);
  if (header.empty() && !initialising) throw EngineError(kNoCommandHeaderMessage);
  return header;
}

}  // namespace kox
