#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {

const char* errorKindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::Corrupt: return "corrupt data";
    case ErrorKind::Unsupported: return "unsupported feature";
    case ErrorKind::NeedPassword: return "password required";
    case ErrorKind::WrongPassword: return "wrong password";
    case ErrorKind::UnsafePath: return "unsafe entry path";
    case ErrorKind::Io: return "input/output failure";
    case ErrorKind::Cancelled: return "cancelled";
    case ErrorKind::NotFound: return "not found";
    case ErrorKind::Limit: return "memory limit";
  }
  return "error";
}

void fail(ErrorKind kind, const std::string& message) { throw ArchiveError(kind, message); }

}  // namespace kox::sevenzip
