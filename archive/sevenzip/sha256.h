// SHA-256 (FIPS 180-4), for the 7z AES key derivation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kox::sevenzip {

class Sha256 {
 public:
  Sha256();
  void update(const uint8_t* data, size_t size);
  std::array<uint8_t, 32> finish();

 private:
  void compress(const uint8_t* block);

  uint32_t state_[8];
  uint8_t block_[64];
  size_t blockFill_ = 0;
  uint64_t length_ = 0;
};

}  // namespace kox::sevenzip
