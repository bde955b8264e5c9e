// A minimal PE image for tests: headers and one section of raw data, the way
// the engine stub looks to the package reader.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace kox::testing {

inline std::vector<uint8_t> minimalImage() {
  std::vector<uint8_t> b(0x600, 0);
  b[0] = 'M';
  b[1] = 'Z';
  b[60] = 0x80;
  std::memcpy(b.data() + 0x80, "PE\0\0", 4);
  b[0x84 + 2] = 1;    // one section
  b[0x84 + 16] = 224;  // optional header size
  const size_t entry = 0x84 + 20 + 224;
  b[entry + 17] = 0x02;  // raw size 0x200
  b[entry + 21] = 0x04;  // raw offset 0x400
  for (size_t i = 0x400; i < 0x600; ++i) b[i] = static_cast<uint8_t>(i);
  return b;
}

}  // namespace kox::testing
