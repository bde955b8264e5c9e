// Evaluate and SyntaxOK on arbitrary text: they must never crash, never read
// past the input, and always answer one of their three results.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/vars/eval.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly size bytes, so ASan sees any read past the end.
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string result = kox::Evaluate(std::string_view(text.data(), text.size()));
  if (result != "TRUE" && result != "FALSE" && result != "ERROR") std::abort();

  // SyntaxOK is Evaluate of the text with "$" read as a quote.
  std::string quoted = text;
  for (char& c : quoted)
    if (c == '$') c = '"';
  if (kox::SyntaxOK(text) != (kox::Evaluate(quoted) != "ERROR")) std::abort();
  return 0;
}
