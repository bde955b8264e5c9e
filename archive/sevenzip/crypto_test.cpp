#include <gtest/gtest.h>

#include <string>

#include "archive/sevenzip/aes_decoder.h"
#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/sha256.h"

namespace kox::sevenzip {
namespace {

std::string hex(const uint8_t* data, size_t size) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < size; ++i) {
    text.push_back(digits[data[i] >> 4]);
    text.push_back(digits[data[i] & 15]);
  }
  return text;
}

TEST(Sha256, MatchesTheStandardVectors) {
  struct Case {
    std::string input;
    const char* digest;
  } cases[] = {
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000, 'a'), "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3"},
  };
  for (const auto& c : cases) {
    Sha256 sha;
    // Fed in uneven pieces to cross block boundaries.
    for (size_t i = 0; i < c.input.size(); i += 7)
      sha.update(reinterpret_cast<const uint8_t*>(c.input.data()) + i, std::min<size_t>(7, c.input.size() - i));
    auto digest = sha.finish();
    EXPECT_EQ(hex(digest.data(), digest.size()), c.digest) << c.input.size();
  }
}

TEST(Aes256, DecryptsTheStandardVector) {
  std::array<uint8_t, 32> key;
  for (int i = 0; i < 32; ++i) key[i] = static_cast<uint8_t>(i);
  const uint8_t cipher[16] = {0x8e, 0xa2, 0xb7, 0xca, 0x51, 0x67, 0x45, 0xbf,
                              0xea, 0xfc, 0x49, 0x90, 0x4b, 0x49, 0x60, 0x89};
  uint8_t plain[16];
  Aes256Decryptor(key).decryptBlock(cipher, plain);
  EXPECT_EQ(hex(plain, 16), "00112233445566778899aabbccddeeff");
}

TEST(Crc32, MatchesTheCheckValue) {
  const std::string text = "123456789";
  EXPECT_EQ(crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
  EXPECT_EQ(crc32Update(crc32(reinterpret_cast<const uint8_t*>(text.data()), 4),
                        reinterpret_cast<const uint8_t*>(text.data()) + 4, 5),
            0xCBF43926u);
}

TEST(SevenZipKey, RawModeCopiesSaltAndPassword) {
  auto key = deriveSevenZipKey({1, 2}, u"A", 0x3F);
  EXPECT_EQ(hex(key.data(), 4), "01024100");
}

}  // namespace
}  // namespace kox::sevenzip
