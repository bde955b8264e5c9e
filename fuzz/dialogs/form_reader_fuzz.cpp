// Any bytes: the reader either throws EngineError or returns a tree; a tree
// written back and read again must give the same bytes once more.
#include <cstdint>
#include <cstdlib>

#include "engine/base/error.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/form_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kox::FormObject form;
  try {
    form = kox::readFormFile(std::span<const uint8_t>(data, size));
  } catch (const kox::EngineError&) {
    return 0;
  }
  // Every tree the reader returns can be written as a stream. Writing
  // normalises integer widths of orders and floats; after one pass the bytes
  // must be stable.
  const std::vector<uint8_t> once = kox::writeFormStream(form);
  const std::vector<uint8_t> twice = kox::writeFormStream(kox::readFormFile(once));
  if (once != twice) std::abort();
  try {
    // The resource header cannot name a class that holds a NUL character.
    kox::readFormFile(kox::writeFormFile(form));
  } catch (const kox::EngineError&) {
  }
  return 0;
}
