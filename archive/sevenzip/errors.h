// Failures of the 7z reader and its decoders. Every failure is one ArchiveError
// whose kind tells the callers what went wrong, so the library can map it to the
// codes of its exported functions: damaged data is never reported as a missing
// feature, and a wrong password is told apart from both.
#pragma once

#include <string>

#include "engine/base/error.h"

namespace kox::sevenzip {

enum class ErrorKind {
  Corrupt,        // the bytes contradict the format (sizes, CRCs, coder streams)
  Unsupported,    // well-formed, but uses a method or feature we do not decode
  NeedPassword,   // encrypted and no password was offered
  WrongPassword,  // encrypted data did not decrypt to anything valid
  UnsafePath,     // an entry would land outside the target folder
  Io,             // reading the archive or writing the output failed
  Cancelled,      // a caller's callback asked to stop
  NotFound,       // the archive file or a requested entry does not exist
  Limit,          // the archive asks for more memory than we allow
};

const char* errorKindName(ErrorKind kind);

class ArchiveError : public kox::EngineError {
 public:
  ArchiveError(ErrorKind kind, const std::string& message)
      : kox::EngineError(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

[[noreturn]] void fail(ErrorKind kind, const std::string& message);
[[noreturn]] inline void corrupt(const std::string& message) { fail(ErrorKind::Corrupt, message); }
[[noreturn]] inline void unsupported(const std::string& message) { fail(ErrorKind::Unsupported, message); }

}  // namespace kox::sevenzip
