#include "engine/vars/eval.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

struct Case {
  std::string text;
  const char* result;
};

TEST(Evaluate, Table) {
  const Case cases[] = {
      {R"("a" = "a")", "TRUE"},
      {R"("a" = "A")", "FALSE"},
      {R"("a"="a")", "TRUE"},
      {R"("10" < "9")", "TRUE"},
      {R"("abc" > "ab")", "TRUE"},
      {R"("" < "a")", "TRUE"},
      {R"("a" <> "b")", "TRUE"},
      {R"("a" <= "a")", "TRUE"},
      {R"("b" >= "c")", "FALSE"},
      {R"("b" > "b")", "FALSE"},
      {"\"\xe9\" > \"z\"", "TRUE"},                                // bytes compare unsigned
      {R"("x" = "x" or "a" = "b" and "c" = "d")", "FALSE"},       // strictly left to right
      {R"("a" = "b" and "c" = "d" or "x" = "x")", "TRUE"},
      {R"(("x" = "x" or "a" = "b") and ("c" = "c"))", "TRUE"},
      {R"("TRUE" = "TRUE" and ("x" <> "" or "b" >= "a"))", "TRUE"},
      {R"(  (  ( "a" = "a" ) )  )", "TRUE"},
      {R"("a"="a"and"b"="b")", "TRUE"},                           // a quote ends the connective
      {R"("say ""hi""" = "say ""hi""")", "TRUE"},
      {R"("""" = """")", "TRUE"},
      {R"("a" = "a" AND "b" = "b")", "ERROR"},                    // connectives are lower case
      {R"("a" == "a")", "ERROR"},
      {R"("a" =)", "ERROR"},
      {R"("a" = "a" and)", "ERROR"},
      {R"(("a" = "a")", "ERROR"},
      {R"("a" = "a"))", "ERROR"},
      {"", "ERROR"},
      {"   ", "ERROR"},
      {R"("a")", "ERROR"},
      {R"("a" "a")", "ERROR"},                                    // empty operator word
      {R"("a" = "a" and("b" = "b"))", "ERROR"},                   // "and(" is one word
      {"\"a\"\t=\t\"a\"", "ERROR"},                               // a tab is not a blank
      {R"("a = "a")", "ERROR"},                                   // unterminated operand
      {R"("a" = "a)", "ERROR"},
      {R"(a = "a")", "ERROR"},
      {R"(("a" = "a") ("b" = "b"))", "ERROR"},
      {R"("a" = "a" xor "b" = "b")", "ERROR"},
      {R"("a" = "a" or)", "ERROR"},
      {"()", "ERROR"},
      // The outer parenthesis is added around the text, so this balances.
      {R"("a" = "a") and ("b" = "b")", "TRUE"},
  };
  for (const auto& c : cases) EXPECT_EQ(Evaluate(c.text), c.result) << c.text;
}

TEST(Evaluate, BothSidesAreAlwaysParsed) {
  EXPECT_EQ(Evaluate(R"("a" = "b" and "c" == "c")"), "ERROR");
  EXPECT_EQ(Evaluate(R"("a" = "a" or "c" ! "c")"), "ERROR");
}

TEST(Evaluate, DeepNestingIsAnErrorNotACrash) {
  std::string fine = std::string(100, '(') + "\"a\" = \"a\"" + std::string(100, ')');
  EXPECT_EQ(Evaluate(fine), "TRUE");
  std::string deep = std::string(100000, '(') + "\"a\" = \"a\"" + std::string(100000, ')');
  EXPECT_EQ(Evaluate(deep), "ERROR");
  EXPECT_EQ(Evaluate(std::string(100000, '(')), "ERROR");
}

TEST(Evaluate, InputWithNulBytes) {
  EXPECT_EQ(Evaluate(std::string("\"a\0\" = \"a\0\"", 11)), "TRUE");
  EXPECT_EQ(Evaluate(std::string("\"a\" = \"a\"\0", 10)), "ERROR");
}

TEST(SyntaxOK, ReferencesReadAsOperands) {
  EXPECT_TRUE(SyntaxOK(R"($A$ = "x")"));
  EXPECT_FALSE(SyntaxOK(R"($A$ = x)"));
  EXPECT_TRUE(SyntaxOK(R"($A$ <> $B$ and ($C$ = "1" or $D$ >= ""))"));
  EXPECT_FALSE(SyntaxOK(R"($A$ = "x)"));
  EXPECT_FALSE(SyntaxOK(""));
  // A value holding a quote, inserted without doubling, breaks the expression.
  EXPECT_EQ(Evaluate(R"("say "hi"" = "x")"), "ERROR");
}

}  // namespace
}  // namespace kox
