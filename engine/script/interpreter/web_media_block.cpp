#include "engine/script/interpreter/web_media_block.h"

#include "engine/base/error.h"
#include "engine/base/text.h"

namespace kox {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = asciiUpper(c);
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const std::string* findPassword(const std::vector<std::string>& pairs, std::string_view name) {
  for (size_t i = 0; i + 1 < pairs.size(); i += 2)
    if (equalsIgnoreCase(pairs[i], name)) return &pairs[i + 1];
  return nullptr;
}

}  // namespace

std::string unscrambleMediaPassword(std::string_view stored) {
  std::string plain(stored);
  for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(plain[i] ^ static_cast<char>(i & 0xFF));
  if (plain.size() % 2 != 0) throw EngineError("The web media password is damaged (odd length)");
  std::string bytes;
  bytes.reserve(plain.size() / 2);
  for (size_t i = 0; i < plain.size(); i += 2) {
    // Low digit first: the pair "1F" is the byte 0xF1.
    const int low = hexDigit(plain[i]);
    const int high = hexDigit(plain[i + 1]);
    if (low < 0 || high < 0) throw EngineError("The web media password is damaged (not hexadecimal)");
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  return bytes;
}

std::string mediaPasswordFor(const std::vector<std::string>& passwordPairs, std::string_view blockName) {
  const std::string* stored = findPassword(passwordPairs, blockName);
  if (!stored) stored = findPassword(passwordPairs, "offline");
  return stored ? unscrambleMediaPassword(*stored) : std::string();
}

}  // namespace kox
