#include "engine/base/error.h"

namespace kox {

EngineError withContext(const std::string& context, const std::exception& inner) {
  return EngineError(context + ": " + inner.what());
}

}  // namespace kox
