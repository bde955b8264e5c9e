// 7z's AES-256 coder: CBC decryption with a key derived from the password.
//
// Properties: byte 0 = NumCyclesPower (bits 0..5) | salt present (0x80) |
// IV present (0x40); when either is present, byte 1 = (salt size - 1 for the
// flag) << 4 | (IV size - 1 for the flag), then the salt and the IV (a short
// IV is padded with zeros to 16 bytes).
// Key: SHA-256 over 2^NumCyclesPower rounds of salt + password (UTF-16LE) +
// the round number as UINT64; NumCyclesPower 0x3F means salt + password
// copied into the key unhashed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/decode_context.h"
#include "archive/sevenzip/stream.h"

namespace kox::sevenzip {

// AES-256 decryption of single blocks (FIPS-197).
class Aes256Decryptor {
 public:
  explicit Aes256Decryptor(const std::array<uint8_t, 32>& key);
  void decryptBlock(const uint8_t in[16], uint8_t out[16]) const;

 private:
  uint8_t roundKeys_[15][16];
};

std::array<uint8_t, 32> deriveSevenZipKey(const std::vector<uint8_t>& salt, const std::u16string& password,
                                          unsigned cyclesPower);

std::unique_ptr<ByteSource> makeAesDecoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                           DecodeContext& context);

}  // namespace kox::sevenzip
