// The 7z container with every decoder behind it: open, then extract all.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/extractor.h"
#include "fuzz/archive/fuzz_support.h"

using namespace kox::sevenzip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    auto password = PasswordSource::fixed(u"Secret");
    Archive archive = Archive::open(std::make_unique<MemoryFile>(std::vector<uint8_t>(data, data + size)), password,
                                    fuzzing::fuzzLimits());
    fuzzing::DiscardTarget target;
    ExtractOptions options;
    options.limits = fuzzing::fuzzLimits();
    extract(archive, password, target, options);
  } catch (const ArchiveError&) {
  }
  return 0;
}
