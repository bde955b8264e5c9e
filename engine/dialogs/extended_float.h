// The 80-bit x87 "extended" float of the form-file stream, converted to and
// from double without relying on the compiler's long double.
//
// Layout, 10 bytes little-endian: bytes 0-7 the 64-bit significand with an
// explicit integer bit (bit 63), bytes 8-9 the 15-bit exponent (bias 16383)
// with the sign in the top bit.
#pragma once

#include <array>
#include <cstdint>

namespace kox {

using ExtendedBytes = std::array<uint8_t, 10>;

// Values beyond the double range become infinities or zeros; the lowest bits
// of a 64-bit significand are rounded away.
double extendedToDouble(const ExtendedBytes& bytes);
// Exact: every double has an extended form.
ExtendedBytes doubleToExtended(double value);

}  // namespace kox
