#include "archive/sevenzip/header_reader.h"

#include <gtest/gtest.h>

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {
namespace {

TEST(HeaderReader, ReadsVariableLengthNumbers) {
  struct Case {
    std::vector<uint8_t> bytes;
    uint64_t value;
  } cases[] = {
      {{0x00}, 0},
      {{0x7F}, 0x7F},
      {{0x80, 0x80}, 0x80},
      {{0xBF, 0xFF}, 0x3FFF},
      {{0xC0, 0x00, 0x40}, 0x4000},
      {{0xE1, 0x02, 0x03, 0x04}, 0x01040302},
      {{0xFF, 1, 2, 3, 4, 5, 6, 7, 8}, 0x0807060504030201},
  };
  for (const auto& c : cases) {
    HeaderReader reader(c.bytes);
    EXPECT_EQ(reader.readNumber(), c.value);
    EXPECT_EQ(reader.remaining(), 0u);
  }
}

TEST(HeaderReader, EveryReadPastTheEndIsCorrupt) {
  std::vector<uint8_t> bytes = {0xC0, 0x00};
  HeaderReader number(bytes);
  EXPECT_THROW(number.readNumber(), ArchiveError);
  std::vector<uint8_t> countBytes = {0x05, 1, 2};
  HeaderReader count(countBytes);
  EXPECT_THROW(count.readCount(), ArchiveError);  // five items cannot fit in two bytes
  std::vector<uint8_t> bitBytes = {0xFF};
  HeaderReader bits(bitBytes);
  EXPECT_THROW(bits.readBits(9), ArchiveError);
  HeaderReader skip(bitBytes);
  EXPECT_THROW(skip.skip(~uint64_t(0)), ArchiveError);
}

TEST(HeaderReader, ReadsBitVectorsMostSignificantFirst) {
  std::vector<uint8_t> bytes = {0xA0, 0x80};
  HeaderReader reader(bytes);
  EXPECT_EQ(reader.readBits(9), (std::vector<bool>{true, false, true, false, false, false, false, false, true}));
  std::vector<uint8_t> all = {0x01};
  HeaderReader allDefined(all);
  EXPECT_EQ(allDefined.readOptionalBits(3), (std::vector<bool>{true, true, true}));
}

}  // namespace
}  // namespace kox::sevenzip
