#include "engine/dialogs/form_colors.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(FormColors, IdentifiersAndNumbersReadAndWriteAsTheDesignerShowsThem) {
  struct Case {
    const char* text;
    int32_t value;
    const char* written;
  };
  const Case cases[] = {
      {"clRed", 0x0000FF, "clRed"},
      {"CLBTNFACE", static_cast<int32_t>(0x8000000F), "clBtnFace"},
      {"$00123456", 0x123456, "$00123456"},
      {"255", 0xFF, "clRed"},
      {"-16777201", static_cast<int32_t>(0xFF00000F), "$FF00000F"},
      {"clNone", kColorNone, "clNone"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(colorFromText(c.text), c.value);
    EXPECT_EQ(colorToText(c.value), c.written);
  }
}

TEST(FormColors, TextsThatAreNoColourAreRefused) {
  for (const char* text : {"", "clPink", "$", "$123456789", "12a", "-", "99999999999"})
    EXPECT_EQ(colorFromText(text), std::nullopt) << text;
}

TEST(FormColors, SystemColoursGiveTheirIndex) {
  EXPECT_EQ(systemColorIndex(static_cast<int32_t>(0x8000000F)), 15);
  EXPECT_EQ(systemColorIndex(static_cast<int32_t>(0xFF000005)), 5);
  EXPECT_EQ(systemColorIndex(0x00FFFFFF), std::nullopt);
}

}  // namespace
}  // namespace kox
