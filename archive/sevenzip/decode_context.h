// What the coders need besides their input: the password (asked for at most
// once, and only when an encrypted folder is met) and the limits that keep a
// hostile archive from claiming unbounded memory or time.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kox::sevenzip {

struct DecodeLimits {
  // Largest LZMA dictionary (or other coder window) we allocate. Dictionaries
  // are further cut to the unpacked size and grow only as output is produced.
  uint64_t maxDictionary = uint64_t(1) << 30;
  // Largest key-derivation round count exponent (2^n SHA-256 rounds).
  uint32_t maxKeyCyclesPower = 24;
  // Largest decoded header.
  uint64_t maxHeaderSize = uint64_t(256) << 20;
};

// Supplies the password on first use; an empty or missing answer means "none".
class PasswordSource {
 public:
  using Ask = std::function<std::optional<std::u16string>()>;
  PasswordSource() = default;
  explicit PasswordSource(Ask ask) : ask_(std::move(ask)) {}
  static PasswordSource fixed(std::u16string password) {
    PasswordSource source;
    source.asked_ = true;
    if (!password.empty()) source.password_ = std::move(password);
    return source;
  }
  // The password, or nullopt when none is available.
  const std::optional<std::u16string>& get() {
    if (!asked_) {
      asked_ = true;
      if (ask_) password_ = ask_();
      if (password_ && password_->empty()) password_.reset();
    }
    return password_;
  }

 private:
  Ask ask_;
  bool asked_ = false;
  std::optional<std::u16string> password_;
};

struct DecodeContext {
  DecodeLimits limits;
  PasswordSource* password = nullptr;
  // Derived AES keys by coder properties (salt and round count).
  std::vector<std::pair<std::vector<uint8_t>, std::array<uint8_t, 32>>> keyCache;
};

}  // namespace kox::sevenzip
