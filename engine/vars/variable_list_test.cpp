#include "engine/vars/variable_list.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

using Items = std::vector<std::string>;

TEST(VariableList, Writing) {
  struct Case {
    Items items;
    std::string text;
  };
  const Case cases[] = {
      {{}, ""},
      {{"A", ""}, "A,"},
      {{"A", "", "B", "say \"hi\""}, "A,,B,\"say \"\"hi\"\"\""},
      {{"B C", "x,y"}, "\"B C\",\"x,y\""},
      {{"T", "a\tb"}, "T,\"a\tb\""},
      {{"C", std::string("\x01\x20", 2)}, std::string("C,\"\x01\x20\"", 6)},
      {{"N", std::string("a\0b", 3)}, std::string("N,a\0b", 5)},  // byte 0 needs no quotes
      {{"H", "\x7f\xff$"}, "H,\x7f\xff$"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatVariableList(c.items), c.text);
}

TEST(VariableList, Reading) {
  struct Case {
    std::string text;
    Items items;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"A,1,\"B C\",\"x,y\"", {"A", "1", "B C", "x,y"}},
      {"A,", {"A", ""}},                        // a final comma adds one empty item
      {"A, ", {"A"}},                           // but not when blanks follow it
      {",,", {"", "", ""}},
      {"  A  ,  B  ", {"A", "B"}},
      {"A B", {"A", "B"}},                      // a blank ends a bare item
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"\"open", {"open"}},                     // an unterminated quote runs to the end
      {"\"a\"b,c", {"a", "b", "c"}},            // text right after a quote starts the next item
      {"\"\"", {""}},
      {"a\"b", {"a\"b"}},                       // quotes inside a bare item are plain bytes
      {"\r\nA\r\n,\r\nB", {"A", "B"}},
  };
  for (const auto& c : cases) EXPECT_EQ(parseVariableList(c.text), c.items) << c.text;
}

TEST(VariableList, RoundTripOfAwkwardItems) {
  Items items;
  std::string every;
  for (int code = 0; code < 256; ++code) every += static_cast<char>(code);
  for (const std::string& item : {std::string("plain"), std::string(), std::string(","), std::string("\""),
                                  std::string("\"\""), std::string(" lead"), std::string("trail "),
                                  std::string("a,\"b\",c"), std::string("\r\n"), std::string("$NEWLINE$"), every,
                                  std::string(1, '\0'), std::string()})
    items.push_back(item);
  EXPECT_EQ(parseVariableList(formatVariableList(items)), items);
}

}  // namespace
}  // namespace kox
