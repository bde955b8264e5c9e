#include "archive/sevenzip/aes_decoder.h"

#include <algorithm>
#include <cstring>

#include "archive/sevenzip/sha256.h"

namespace kox::sevenzip {
namespace {

constexpr uint8_t multiply(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  while (b) {
    if (b & 1) product ^= a;
    a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
    b >>= 1;
  }
  return product;
}

struct Tables {
  uint8_t sbox[256];
  uint8_t inverseSbox[256];
};

// The S-box: multiplicative inverse in GF(2^8) followed by the affine map.
constexpr Tables makeTables() {
  Tables t{};
  for (int x = 0; x < 256; ++x) {
    // x^254 is the inverse of x (and 0 for 0): square and multiply.
    uint8_t inverse = 1, power = static_cast<uint8_t>(x);
    for (unsigned e = 254; e != 0; e >>= 1) {
      if (e & 1) inverse = multiply(inverse, power);
      power = multiply(power, power);
    }
    uint8_t s = inverse;
    uint8_t result = 0x63;
    for (int i = 0; i < 5; ++i) result ^= static_cast<uint8_t>((s << i) | (s >> (8 - i)));
    t.sbox[x] = result;
    t.inverseSbox[result] = static_cast<uint8_t>(x);
  }
  return t;
}

constexpr Tables kTables = makeTables();

}  // namespace

Aes256Decryptor::Aes256Decryptor(const std::array<uint8_t, 32>& key) {
  uint8_t words[60][4];
  std::memcpy(words, key.data(), 32);
  uint8_t rcon = 1;
  for (int i = 8; i < 60; ++i) {
    uint8_t temp[4];
    std::memcpy(temp, words[i - 1], 4);
    if (i % 8 == 0) {
      uint8_t first = temp[0];
      temp[0] = static_cast<uint8_t>(kTables.sbox[temp[1]] ^ rcon);
      temp[1] = kTables.sbox[temp[2]];
      temp[2] = kTables.sbox[temp[3]];
      temp[3] = kTables.sbox[first];
      rcon = multiply(rcon, 2);
    } else if (i % 8 == 4) {
      for (auto& b : temp) b = kTables.sbox[b];
    }
    for (int k = 0; k < 4; ++k) words[i][k] = words[i - 8][k] ^ temp[k];
  }
  std::memcpy(roundKeys_, words, sizeof roundKeys_);
}

void Aes256Decryptor::decryptBlock(const uint8_t in[16], uint8_t out[16]) const {
  uint8_t s[16];
  for (int i = 0; i < 16; ++i) s[i] = in[i] ^ roundKeys_[14][i];
  for (int round = 13; round >= 0; --round) {
    // Inverse ShiftRows and SubBytes: row r moves r columns to the right.
    uint8_t t[16];
    for (int c = 0; c < 4; ++c)
      for (int r = 0; r < 4; ++r) t[r + 4 * c] = kTables.inverseSbox[s[r + 4 * ((c - r + 4) % 4)]];
    for (int i = 0; i < 16; ++i) t[i] ^= roundKeys_[round][i];
    if (round == 0) {
      std::memcpy(out, t, 16);
      return;
    }
    for (int c = 0; c < 4; ++c) {
      const uint8_t* a = t + 4 * c;
      s[4 * c + 0] = multiply(a[0], 14) ^ multiply(a[1], 11) ^ multiply(a[2], 13) ^ multiply(a[3], 9);
      s[4 * c + 1] = multiply(a[0], 9) ^ multiply(a[1], 14) ^ multiply(a[2], 11) ^ multiply(a[3], 13);
      s[4 * c + 2] = multiply(a[0], 13) ^ multiply(a[1], 9) ^ multiply(a[2], 14) ^ multiply(a[3], 11);
      s[4 * c + 3] = multiply(a[0], 11) ^ multiply(a[1], 13) ^ multiply(a[2], 9) ^ multiply(a[3], 14);
    }
  }
}

std::array<uint8_t, 32> deriveSevenZipKey(const std::vector<uint8_t>& salt, const std::u16string& password,
                                          unsigned cyclesPower) {
  std::vector<uint8_t> passwordBytes;
  for (char16_t c : password) passwordBytes.insert(passwordBytes.end(), {uint8_t(c), uint8_t(c >> 8)});
  std::array<uint8_t, 32> key{};
  if (cyclesPower == 0x3F) {
    std::vector<uint8_t> raw = salt;
    raw.insert(raw.end(), passwordBytes.begin(), passwordBytes.end());
    std::copy_n(raw.begin(), std::min<size_t>(raw.size(), 32), key.begin());
    return key;
  }
  // One buffer per round: salt, password, then the round number.
  std::vector<uint8_t> round = salt;
  round.insert(round.end(), passwordBytes.begin(), passwordBytes.end());
  size_t counterOffset = round.size();
  round.resize(counterOffset + 8, 0);
  Sha256 sha;
  for (uint64_t i = 0; i < (uint64_t(1) << cyclesPower); ++i) {
    for (int k = 0; k < 8; ++k) round[counterOffset + k] = static_cast<uint8_t>(i >> (8 * k));
    sha.update(round.data(), round.size());
  }
  return sha.finish();
}

namespace {

class AesSource : public DecoderSource {
 public:
  AesSource(std::unique_ptr<ByteSource> input, const std::array<uint8_t, 32>& key, const uint8_t iv[16])
      : input_(std::move(input)), aes_(key), buffer_(1 << 16) {
    std::memcpy(chain_, iv, 16);
  }

 protected:
  size_t produce(uint8_t* out, size_t size) override {
    if (ready_ == start_) {
      // Read whole blocks; a partial block can only be the (corrupt) end.
      size_t filled = 0;
      while (filled < buffer_.size()) {
        size_t got = input_->read(buffer_.data() + filled, buffer_.size() - filled);
        if (got == 0) break;
        filled += got;
      }
      if (filled % 16 != 0) corrupt("encrypted data is not a whole number of blocks");
      for (size_t offset = 0; offset < filled; offset += 16) {
        uint8_t plain[16];
        aes_.decryptBlock(buffer_.data() + offset, plain);
        for (int i = 0; i < 16; ++i) plain[i] ^= chain_[i];
        std::memcpy(chain_, buffer_.data() + offset, 16);
        std::memcpy(buffer_.data() + offset, plain, 16);
      }
      start_ = 0;
      ready_ = filled;
      if (filled == 0) return 0;
    }
    size_t count = std::min(size, ready_ - start_);
    std::memcpy(out, buffer_.data() + start_, count);
    start_ += count;
    return count;
  }

 private:
  std::unique_ptr<ByteSource> input_;
  Aes256Decryptor aes_;
  std::vector<uint8_t> buffer_;
  uint8_t chain_[16];
  size_t start_ = 0, ready_ = 0;
};

}  // namespace

std::unique_ptr<ByteSource> makeAesDecoder(std::unique_ptr<ByteSource> input, const std::vector<uint8_t>& properties,
                                           DecodeContext& context) {
  if (properties.empty()) corrupt("missing AES properties");
  unsigned cyclesPower = properties[0] & 0x3F;
  std::vector<uint8_t> salt;
  uint8_t iv[16] = {};
  if (properties[0] & 0xC0) {
    if (properties.size() < 2) corrupt("bad AES properties");
    size_t saltSize = ((properties[0] >> 7) & 1) + (properties[1] >> 4);
    size_t ivSize = ((properties[0] >> 6) & 1) + (properties[1] & 0x0F);
    if (properties.size() != 2 + saltSize + ivSize) corrupt("bad AES properties");
    salt.assign(properties.begin() + 2, properties.begin() + 2 + static_cast<long>(saltSize));
    std::copy_n(properties.begin() + 2 + static_cast<long>(saltSize), ivSize, iv);
  }
  if (cyclesPower != 0x3F && cyclesPower > context.limits.maxKeyCyclesPower)
    unsupported("an AES key derivation with 2^" + std::to_string(cyclesPower) + " rounds");
  const auto& password = context.password ? context.password->get() : std::optional<std::u16string>();
  if (!password) fail(ErrorKind::NeedPassword, "the archive is encrypted and no password was given");
  // Folders of one archive usually share salt and round count: derive once.
  for (const auto& [keyProperties, key] : context.keyCache)
    if (keyProperties == properties) return std::make_unique<AesSource>(std::move(input), key, iv);
  auto key = deriveSevenZipKey(salt, *password, cyclesPower);
  context.keyCache.emplace_back(properties, key);
  return std::make_unique<AesSource>(std::move(input), key, iv);
}

}  // namespace kox::sevenzip
