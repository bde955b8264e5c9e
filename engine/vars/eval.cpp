#include "engine/vars/eval.h"

#include <optional>

namespace kox {
namespace {

// Grammar (blanks are spaces only, and may stand before every element):
//
//   expression  := primary { connective primary }
//   primary     := "(" expression ")" | comparison
//   comparison  := operand operator operand
//   operand     := '"' { any byte but '"' | '""' } '"'
//   operator    := word, one of  =  <>  <=  <  >=  >
//   connective  := word, exactly "and" or "or"
//   word        := the bytes up to the next blank or double quote (maybe none)
//
// Connectives apply strictly left to right without precedence: "P or Q and R"
// is "(P or Q) and R", and both sides are always parsed. Operands compare as
// unsigned bytes, a prefix being smaller ("10" < "9"). The whole text is read
// as "(" + text + ")" and nothing may follow the outer parenthesis.
//
// A parse failure is the third outcome (std::nullopt) and ends the evaluation.
// Parentheses nested deeper than kMaxNesting are a failure too, so hostile
// input cannot exhaust the stack.
constexpr int kMaxNesting = 200;

class Parser {
 public:
  explicit Parser(std::string_view s) : s_(s) {}

  bool atEnd() const { return pos_ >= s_.size(); }

  std::optional<bool> parseExpression() {
    std::optional<bool> value = parsePrimary();
    if (!value) return std::nullopt;
    for (;;) {
      if (atEnd()) return value;
      skipBlanks();
      if (atEnd() || s_[pos_] == ')') return value;
      std::string_view connective = takeWord();
      std::optional<bool> right = parsePrimary();
      if (!right) return std::nullopt;
      if (connective == "and")
        value = *value && *right;
      else if (connective == "or")
        value = *value || *right;
      else
        return std::nullopt;
    }
  }

 private:
  std::optional<bool> parsePrimary() {
    skipBlanks();
    if (atEnd()) return std::nullopt;
    if (s_[pos_] == '(') {
      if (depth_ >= kMaxNesting) return std::nullopt;
      ++pos_;
      ++depth_;
      std::optional<bool> value = parseExpression();
      --depth_;
      if (!value) return std::nullopt;
      skipBlanks();
      if (atEnd() || s_[pos_] != ')') return std::nullopt;
      ++pos_;
      return value;
    }
    if (s_[pos_] == '"') return parseComparison();
    return std::nullopt;
  }

  std::optional<bool> parseComparison() {
    skipBlanks();
    if (atEnd() || s_[pos_] != '"') return std::nullopt;
    std::optional<std::string> left = readOperand();
    if (!left) return std::nullopt;
    skipBlanks();
    std::string_view op = takeWord();
    skipBlanks();
    if (atEnd() || s_[pos_] != '"') return std::nullopt;
    std::optional<std::string> right = readOperand();
    if (!right) return std::nullopt;
    skipBlanks();

    int order = compareBytes(*left, *right);
    if (op == "=") return order == 0;
    if (op == "<>") return order != 0;
    if (op == "<") return order < 0;
    if (op == "<=") return order <= 0;
    if (op == ">") return order > 0;
    if (op == ">=") return order >= 0;
    return std::nullopt;
  }

  // At a double quote: the operand up to its closing quote, "" standing for ".
  std::optional<std::string> readOperand() {
    std::string operand;
    size_t p = pos_ + 1;
    while (p < s_.size()) {
      char c = s_[p];
      if (c != '"') {
        operand += c;
        ++p;
      } else if (p + 1 < s_.size() && s_[p + 1] == '"') {
        operand += '"';
        p += 2;
      } else {
        pos_ = p + 1;
        return operand;
      }
    }
    return std::nullopt;  // no closing quote
  }

  std::string_view takeWord() {
    size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '"') ++pos_;
    return s_.substr(start, pos_ - start);
  }

  void skipBlanks() {
    while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
  }

  static int compareBytes(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      auto x = static_cast<unsigned char>(a[i]);
      auto y = static_cast<unsigned char>(b[i]);
      if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
  }

  std::string_view s_;
  size_t pos_ = 0;
  int depth_ = 0;
};

}  // namespace

std::string Evaluate(std::string_view text) {
  try {
    std::string s;
    s.reserve(text.size() + 2);
    s += '(';
    s += text;
    s += ')';
    Parser parser(s);
    std::optional<bool> value = parser.parseExpression();
    if (!value || !parser.atEnd()) return "ERROR";
    return *value ? "TRUE" : "FALSE";
  } catch (...) {
    // Only an allocation can fail; the evaluator reports it as a failed parse.
    return "ERROR";
  }
}

bool SyntaxOK(std::string_view text) {
  try {
    std::string quoted(text);
    for (char& c : quoted)
      if (c == '$') c = '"';
    return Evaluate(quoted) != "ERROR";
  } catch (...) {
    return false;  // out of memory: the text cannot be checked
  }
}

}  // namespace kox
