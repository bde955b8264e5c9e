// One decoder on its own, chosen at build time (KOX_FUZZ_METHOD).
// Input: UINT16 properties size, the properties, UINT32 output size, then the
// coder input (BCJ2: three UINT16 sizes split it into main, call, jump and
// range-coder streams).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/sevenzip/coders.h"
#include "archive/sevenzip/database.h"
#include "fuzz/archive/fuzz_support.h"

using namespace kox::sevenzip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  size_t propertiesSize = data[0] | data[1] << 8;
  if (size < 6 + propertiesSize) return 0;
  Coder coder;
  coder.methodId = KOX_FUZZ_METHOD;
  coder.properties.assign(data + 2, data + 2 + propertiesSize);
  const uint8_t* p = data + 2 + propertiesSize;
  uint64_t outSize = uint64_t(p[0]) | uint64_t(p[1]) << 8 | uint64_t(p[2]) << 16 | uint64_t(p[3]) << 24;
  p += 4;
  std::vector<uint8_t> rest(p, data + size);
  MemoryFile file(rest);
  std::vector<std::unique_ptr<ByteSource>> inputs;
  if (coder.methodId == method::kBcj2) {
    uint64_t offset = 6, sizes[4];
    if (rest.size() < 6) return 0;
    uint64_t used = 6;
    for (int i = 0; i < 3; ++i) {
      sizes[i] = rest[2 * i] | rest[2 * i + 1] << 8;
      used += sizes[i];
    }
    if (used > rest.size()) return 0;
    sizes[3] = rest.size() - used;
    for (int i = 0; i < 4; ++i) {
      inputs.push_back(std::make_unique<FileRegionSource>(file, offset, sizes[i]));
      offset += sizes[i];
    }
  } else {
    inputs.push_back(std::make_unique<FileRegionSource>(file, 0, rest.size()));
  }
  auto password = PasswordSource::fixed(u"Secret");
  DecodeContext context{fuzzing::fuzzLimits(), &password, {}};
  try {
    auto decoder = createDecoder(coder, std::move(inputs), outSize, context);
    ExactSizeSource exact(std::move(decoder), outSize);
    fuzzing::drain(exact, outSize);
  } catch (const ArchiveError&) {
  }
  return 0;
}
