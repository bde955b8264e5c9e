// Command headers: the package's pairs (header, command index in decimal) for
// the commands that change the target system. A command's header names its
// installer properties ("A" + header, "P" + header + "_" + n).
#pragma once

#include <string>
#include <vector>

#include "engine/script/parameter_store.h"

namespace kox {

inline constexpr const char* kNoCommandHeaderMessage = "Unable to obtain command headers. Please rebuild your project.";

class CommandHeaders {
 public:
  CommandHeaders() = default;
  explicit CommandHeaders(std::vector<std::string> pairs);

  // The line before the first line that is exactly the index in decimal;
  // empty text when there is none.
  std::string find(long long commandIndex) const;
  // As find, but outside the interpreter's initialisation a missing header is
  // an error: throws EngineError with kNoCommandHeaderMessage.
  std::string get(long long commandIndex, bool initialising) const;

 private:
  IndexedLines lines_;
};

}  // namespace kox
