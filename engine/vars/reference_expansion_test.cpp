#include <gtest/gtest.h>

#include <random>

#include "engine/vars/variable_manager.h"

namespace kox {
namespace {

struct Case {
  const char* text;
  const char* expected;
};

class Expansion : public ::testing::Test {
 protected:
  void SetUp() override {
    store.Put("A", "$B$");
    store.Put("B", "x");
    store.Put("Y", "1");
    store.Put("ONE", "1");
    store.Put("EMPTY", "");
    store.Put("Q", "say \"hi\"");
    store.Put("TAIL", "$");      // a value that ends in a lone dollar
    store.Put("HALF", "$ON");    // a value that opens a reference the text closes
  }
  TVariableManager store;
};

TEST_F(Expansion, Table) {
  const Case cases[] = {
      {"", ""},
      {"no dollars", "no dollars"},
      {"$A$", "x"},                       // values are expanded again
      {"cost: 5$", "cost: 5$"},           // a lone dollar stays
      {"$UNKNOWN$", "$UNKNOWN$"},
      {"$X$Y$", "$X1"},                   // the closing dollar of X opens $Y$
      {"$$A$", "$x"},                     // "$$" is an empty name, never found
      {"$$", "$$"},
      {"$", "$"},
      {"a$EMPTY$b", "ab"},
      {"$one$$ONE$", "11"},               // names fold letter case
      {"$Q$", "say \"hi\""},
      {"$TAIL$Y$", "1"},                  // the inserted "$" and the text's "Y$" form $Y$
      {"$HALF$E$", "1"},                  // the inserted "$ON" and the text's "E$" form $ONE$
      {"$UNKNOWN$ONE$", "$UNKNOWN1"},
      {"x$ONE", "x$ONE"},
  };
  for (const auto& c : cases) EXPECT_EQ(store.ExpandReferences(c.text), c.expected) << c.text;
}

TEST_F(Expansion, QuotedTable) {
  store.Put("bb", "b");
  const Case cases[] = {
      {"$bb$ = \"b\"", "\"b\" = \"b\""},
      {"$MISSING$ = \"b\"", "$MISSING$ = \"b\""},
      {"$A$", "\"\"x\"\""},               // each inserted value is quoted, nested ones too
      {"$Q$", "\"say \"hi\"\""},          // inner quotes are not doubled
      {"$EMPTY$<>\"\"", "\"\"<>\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(store.ExpandReferencesQuoted(c.text), c.expected) << c.text;
}

TEST(ExpansionLimits, SelfReferenceStopsAtTheNestingLimit) {
  TVariableManager store;
  store.Put("A", "x$A$");
  const std::string expected = std::string(64, 'x') + "$A$";
  EXPECT_EQ(store.ExpandReferences("$A$"), expected);
  // The rest of the text still expands after the runaway reference.
  store.Put("B", "b");
  EXPECT_EQ(store.ExpandReferences("$A$ and $B$"), expected + " and b");
}

TEST(ExpansionLimits, CyclesAndExplosionsTerminate) {
  TVariableManager store;
  store.Put("SELF", "$SELF$");
  store.Put("PING", "$PONG$");
  store.Put("PONG", "$PING$");
  store.Put("TWICE", "$TWICE$$TWICE$");  // doubles at every level
  store.Put("BIG", std::string(1 << 16, 'z') + "$BIG$$BIG$");
  EXPECT_EQ(store.ExpandReferences("$SELF$"), "$SELF$");
  EXPECT_EQ(store.ExpandReferences("<$PING$>"), "<$PING$>");  // 64 levels deep, left as written

  ExpansionLimits limits = store.expansionLimits();
  for (const char* text : {"$TWICE$", "$BIG$"}) {
    std::string result = store.ExpandReferences(text);
    EXPECT_LE(result.size(), std::string(text).size() + limits.maxGrowth) << text;
  }
}

TEST(ExpansionLimits, ReachingALimitLeavesTheRestUnexpanded) {
  TVariableManager store;
  store.Put("A", "a");
  store.SetExpansionLimits({64, 2, 1000});
  EXPECT_EQ(store.ExpandReferences("$A$$A$$A$$A$"), "aa$A$$A$");

  store.SetExpansionLimits({64, 100, 5});
  store.Put("LONG", "01234567890123456789");
  EXPECT_EQ(store.ExpandReferences("$A$ $LONG$ $A$"), "a $LONG$ $A$");

  store.SetExpansionLimits({1, 100, 1000});
  store.Put("OUTER", "[$A$]");
  EXPECT_EQ(store.ExpandReferences("$OUTER$"), "[$A$]");  // one level only
}

TEST(ExpansionText, ManyReferencesInALongText) {
  TVariableManager store;
  store.Put("NEWLINE", "\r\n");
  std::string text, expected;
  for (int i = 0; i < 20000; ++i) {
    text += "line " + std::to_string(i) + "$NEWLINE$";
    expected += "line " + std::to_string(i) + "\r\n";
  }
  EXPECT_EQ(store.ExpandReferences(text), expected);
}

// The expansion as the engine always described it: one string rewritten in
// place with a scan position. Used to check the piece-stack implementation on
// stores without cycles.
std::optional<std::string> expandByPosition(const TVariableManager& store, std::string result) {
  size_t p = 0;
  for (int substitutions = 0; substitutions < 5000;) {
    size_t a = result.find('$', p);
    if (a == std::string::npos) return result;
    size_t b = result.find('$', a + 1);
    std::string name = b == std::string::npos ? "" : result.substr(a + 1, b - a - 1);
    std::optional<std::string> value = store.Find(name);
    if (value) {
      result.replace(a, name.size() + 2, *value);
      p = a;
      ++substitutions;
    } else {
      p = a + name.size() + 1;
    }
  }
  return std::nullopt;  // runaway: the store has a cycle
}

TEST(ExpansionText, AgreesWithInPlaceRewriting) {
  std::mt19937 random(20240611);
  const std::string alphabet = "$$$abAB ";
  auto randomText = [&](size_t maxLength) {
    std::string text(random() % (maxLength + 1), ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    return text;
  };
  const std::vector<std::string> names = {"a", "b", "ab", "Ba", " ", "a b"};
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    TVariableManager store;
    for (const auto& name : names)
      if (random() % 2 == 0) store.Put(name, randomText(6));
    std::string text = randomText(24);
    std::optional<std::string> expected = expandByPosition(store, text);
    if (!expected) continue;
    EXPECT_EQ(store.ExpandReferences(text), *expected) << text;
    ++compared;
  }
  EXPECT_GT(compared, 2000);
}

}  // namespace
}  // namespace kox
