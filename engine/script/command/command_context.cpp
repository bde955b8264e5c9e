#include "engine/script/command/command_context.h"

namespace kox {

std::string plainOrReferenceName(std::string_view parameter) {
  // "$NAME$": a "$" first, and the next "$" is the last character.
  if (parameter.size() >= 3 && parameter.front() == '$') {
    size_t next = parameter.find('$', 1);
    if (next == parameter.size() - 1) return std::string(parameter.substr(1, parameter.size() - 2));
  }
  return std::string(parameter);
}

}  // namespace kox
