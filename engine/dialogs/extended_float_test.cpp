#include "engine/dialogs/extended_float.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kox {
namespace {

TEST(ExtendedFloat, KnownEncodings) {
  struct Case {
    double value;
    ExtendedBytes bytes;
  };
  const Case cases[] = {
      {0.0, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
      {1.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {1.5, {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
      {-2.0, {0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
      {0.1, {0x00, 0xD0, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}},  // 0.1 as a double, widened
      {std::numeric_limits<double>::infinity(), {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(doubleToExtended(c.value), c.bytes);
    EXPECT_EQ(extendedToDouble(c.bytes), c.value);
  }
}

TEST(ExtendedFloat, RoundTripsDoublesIncludingExtremes) {
  const double values[] = {-0.0, 3.141592653589793, 1e300, -1e-300, std::numeric_limits<double>::denorm_min(),
                           std::numeric_limits<double>::max(), 12345.678};
  for (double value : values) {
    EXPECT_EQ(extendedToDouble(doubleToExtended(value)), value);
    EXPECT_EQ(std::signbit(extendedToDouble(doubleToExtended(value))), std::signbit(value));
  }
  EXPECT_TRUE(std::isnan(extendedToDouble(doubleToExtended(std::nan("")))));
}

TEST(ExtendedFloat, ValuesBeyondTheDoubleRangeSaturate) {
  const ExtendedBytes huge = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};  // about 1e4932
  EXPECT_TRUE(std::isinf(extendedToDouble(huge)));
  const ExtendedBytes tiny = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00};  // about 1e-4931
  EXPECT_EQ(extendedToDouble(tiny), 0.0);
}

}  // namespace
}  // namespace kox
