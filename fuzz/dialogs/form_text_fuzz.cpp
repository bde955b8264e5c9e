// Any text: the converter either throws EngineError or produces a file that
// the reader turns back into the very tree the text described.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/base/error.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/form_text.h"
#include "engine/dialogs/form_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kox::FormObject form;
  try {
    form = kox::parseFormText(text);
  } catch (const kox::EngineError&) {
    return 0;
  }
  std::vector<uint8_t> file;
  try {
    file = kox::writeFormFile(form);
  } catch (const kox::EngineError&) {
    return 0;  // e.g. a class name the format cannot hold
  }
  if (!(kox::readFormFile(file) == form)) std::abort();
  return 0;
}
