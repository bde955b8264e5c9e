#include "engine/dialogs/extended_float.h"

#include <cmath>

namespace kox {

namespace {

constexpr int kExponentBias = 16383;
constexpr int kSignificandBits = 63;  // below the explicit integer bit
constexpr uint16_t kMaxExponent = 0x7FFF;

}  // namespace

double extendedToDouble(const ExtendedBytes& bytes) {
  uint64_t significand = 0;
  for (int i = 7; i >= 0; --i) significand = (significand << 8) | bytes[i];
  const bool negative = (bytes[9] & 0x80) != 0;
  const int exponent = ((bytes[9] & 0x7F) << 8) | bytes[8];

  double magnitude;
  if (exponent == kMaxExponent) {
    magnitude = (significand << 1) == 0 ? HUGE_VAL : std::nan("");
  } else {
    // Denormals (exponent 0) use the smallest exponent, like the hardware does.
    const int unbiased = (exponent == 0 ? 1 : exponent) - kExponentBias;
    magnitude = std::ldexp(static_cast<double>(significand), unbiased - kSignificandBits);
  }
  return negative ? -magnitude : magnitude;
}

ExtendedBytes doubleToExtended(double value) {
  ExtendedBytes bytes{};
  uint16_t exponent = 0;
  uint64_t significand = 0;
  if (std::isnan(value)) {
    exponent = kMaxExponent;
    significand = 0xC000000000000000u;
  } else if (std::isinf(value)) {
    exponent = kMaxExponent;
    significand = 0x8000000000000000u;
  } else if (value != 0.0) {
    int binaryExponent = 0;
    const double fraction = std::frexp(std::fabs(value), &binaryExponent);  // in [0.5, 1)
    significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent = static_cast<uint16_t>(binaryExponent - 1 + kExponentBias);
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(significand >> (8 * i));
  bytes[8] = static_cast<uint8_t>(exponent & 0xFF);
  bytes[9] = static_cast<uint8_t>((exponent >> 8) | (std::signbit(value) ? 0x80 : 0));
  return bytes;
}

}  // namespace kox
