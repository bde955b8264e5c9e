#include "engine/script/build_constants.h"

#include <gtest/gtest.h>

namespace kox {

TEST(BuildConstants, Expansion) {
  BuildConstants constants({"LOCMODE", "NEWONLY", "Product", "Widget #VERSION#", "version", "2.0", "EMPTY", ""});
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"no constants", "no constants"},
      {"#LOCMODE#", "NEWONLY"},
      {"#locmode#/#LocMode#", "NEWONLY/NEWONLY"},
      {"#PRODUCT#", "Widget 2.0"},  // constants inside values expand too
      {"#UNKNOWN#", "#UNKNOWN#"},
      {"a#EMPTY#b", "ab"},
      {"# #", "# #"},
      {"#", "#"},
  };
  for (const auto& c : cases) EXPECT_EQ(constants.expand(c.text), c.expected) << c.text;
}

TEST(BuildConstants, ReplacementsAreAppliedInListOrder) {
  // B's value holds #A#, which comes earlier in the list: the next pass takes it.
  BuildConstants constants({"A", "1", "B", "#A#"});
  EXPECT_EQ(constants.expand("#B#"), "1");
}

TEST(BuildConstants, CyclesAndGrowthTerminate) {
  BuildConstants pingPong({"A", "#B#", "B", "#A#"});
  std::string result = pingPong.expand("#A#");
  EXPECT_TRUE(result == "#A#" || result == "#B#") << result;

  BuildConstants growing({"A", "x#A#"});
  result = growing.expand("#A#");
  EXPECT_EQ(result, std::string(BuildConstants::kMaxPasses, 'x') + "#A#");

  BuildConstants doubling({"A", "#A##A#"});
  result = doubling.expand("#A#");
  EXPECT_LE(result.size(), BuildConstants::kMaxLength);
  EXPECT_NE(result.find("#A#"), std::string::npos);

  BuildConstants rotating({"A", "#B#!", "B", "#C#", "C", "#A#"});
  EXPECT_LE(rotating.expand("#A#").size(), BuildConstants::kMaxPasses + 4u);
}

TEST(BuildConstants, OddListAndEmptyList) {
  EXPECT_EQ(BuildConstants({"A", "1", "B"}).expand("#A##B#"), "1#B#");
  EXPECT_EQ(BuildConstants().expand("#A#"), "#A#");
}

}  // namespace kox
