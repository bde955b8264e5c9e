// The one error type of the engine. A failure that ends a command (or the
// start-up) is thrown as an EngineError; callers that add context wrap it with
// withContext() so the final message reads from the outermost step inward:
//   "Failed to read the setup package: section 3 is not terminated"
#pragma once

#include <stdexcept>
#include <string>

namespace kox {

class EngineError : public std::runtime_error {
 public:
  explicit EngineError(const std::string& message) : std::runtime_error(message) {}
};

// Returns an error whose message is "context: inner message".
EngineError withContext(const std::string& context, const std::exception& inner);

}  // namespace kox
