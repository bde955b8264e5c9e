#include "engine/script/parameter_store.h"

#include <gtest/gtest.h>

namespace kox {

TEST(ParameterStore, FetchByIdentifierIgnoringLetterCase) {
  ParameterStore store({"{AAAA}", "p1", "p2", "{bbbb}", "q1", "", "q3"});
  EXPECT_EQ(store.fetch("{aaaa}", 0), "{AAAA}");
  EXPECT_EQ(store.fetch("{AAAA}", 1), "p1");
  EXPECT_EQ(store.fetch("{AAAA}", 2), "p2");
  EXPECT_EQ(store.fetch("{BBBB}", 1), "q1");
  EXPECT_EQ(store.fetch("{BBBB}", 2), "");
  EXPECT_EQ(store.fetch("{BBBB}", 3), "q3");
  // Blocks have no end marker: a too large k reads into the next block, as
  // the engine always did, and past the end of the list gives empty text.
  EXPECT_EQ(store.fetch("{AAAA}", 3), "{bbbb}");
  EXPECT_EQ(store.fetch("{BBBB}", 4), "");
  EXPECT_EQ(store.fetch("{BBBB}", 1000), "");
  EXPECT_EQ(store.fetch("{CCCC}", 1), "");
  EXPECT_FALSE(store.has("{CCCC}"));
  EXPECT_TRUE(store.has("{bBbB}"));
}

TEST(ParameterStore, FirstMatchingLineWinsAndFirstListThatHasIt) {
  ParameterStore store({"X", "first", "X", "second"});
  EXPECT_EQ(store.fetch("x", 1), "first");
  store.addList({"Y", "from second list", "X", "shadowed"});
  EXPECT_EQ(store.fetch("Y", 1), "from second list");
  EXPECT_EQ(store.fetch("X", 1), "first");
}

TEST(ParameterStore, SurvivesMovesOfTheStore) {
  std::vector<ParameterStore> stores;
  for (int i = 0; i < 20; ++i) stores.emplace_back(std::vector<std::string>{"{ID" + std::to_string(i) + "}", "v"});
  for (int i = 0; i < 20; ++i) EXPECT_EQ(stores[i].fetch("{id" + std::to_string(i) + "}", 1), "v");
}

}  // namespace kox
