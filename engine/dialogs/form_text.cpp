#include "engine/dialogs/form_text.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/form_writer.h"

namespace kox {

namespace {

// ---------------------------------------------------------------------------
// Tokens

enum class TokenKind { End, Symbol, String, Number, Binary, Punct };

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;          // Symbol: the name; Number: the digits; Punct: the character
  std::u16string units;      // String: the characters as code units
  std::vector<uint8_t> bytes;  // Binary
  int line = 1;
};

bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isIdentChar(char c) { return isIdentStart(c) || isDigit(c); }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int hexValue(char c) { return isDigit(c) ? c - '0' : asciiLower(c) - 'a' + 10; }

[[noreturn]] void failOnLine(int line, const std::string& message) {
  throw EngineError("line " + std::to_string(line) + ": " + message);
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token next() {
    skipBlanks();
    Token token;
    token.line = line_;
    if (pos_ >= text_.size()) return token;
    const char c = text_[pos_];
    if (isIdentStart(c)) {
      token.kind = TokenKind::Symbol;
      token.text = symbol();
    } else if (isDigit(c) || c == '$') {
      token.kind = TokenKind::Number;
      token.text = number();
    } else if (c == '\'' || c == '#') {
      token.kind = TokenKind::String;
      token.units = string();
    } else if (c == '{') {
      token.kind = TokenKind::Binary;
      token.bytes = binary();
    } else {
      token.kind = TokenKind::Punct;
      token.text = std::string(1, c);
      ++pos_;
    }
    return token;
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= ' ') {
      if (text_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }

  // symbol = ident { "." ident }
  std::string symbol() {
    const size_t start = pos_;
    for (;;) {
      while (pos_ < text_.size() && isIdentChar(text_[pos_])) ++pos_;
      if (pos_ + 1 < text_.size() && text_[pos_] == '.' && isIdentStart(text_[pos_ + 1])) {
        ++pos_;
        continue;
      }
      return std::string(text_.substr(start, pos_ - start));
    }
  }

  // number = "$" hex-digits | digits [ "." digits ] [ ("e"|"E") [sign] digits ] [ "s" | "c" | "d" ]
  std::string number() {
    const size_t start = pos_;
    if (text_[pos_] == '$') {
      ++pos_;
      while (pos_ < text_.size() && isHexDigit(text_[pos_])) ++pos_;
      return std::string(text_.substr(start, pos_ - start));
    }
    skipDigits();
    if (pos_ + 1 < text_.size() && text_[pos_] == '.' && isDigit(text_[pos_ + 1])) {
      ++pos_;
      skipDigits();
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      size_t after = pos_ + 1;
      if (after < text_.size() && (text_[after] == '+' || text_[after] == '-')) ++after;
      if (after < text_.size() && isDigit(text_[after])) {
        pos_ = after;
        skipDigits();
      }
    }
    if (pos_ < text_.size() && (text_[pos_] == 's' || text_[pos_] == 'c' || text_[pos_] == 'd') &&
        !(pos_ + 1 < text_.size() && isIdentChar(text_[pos_ + 1]))) {
      ++pos_;
    }
    return std::string(text_.substr(start, pos_ - start));
  }

  void skipDigits() {
    while (pos_ < text_.size() && isDigit(text_[pos_])) ++pos_;
  }

  // string = { "'" { char | "''" } "'" | "#" code }   (parts written without blanks between)
  std::u16string string() {
    std::u16string units;
    for (;;) {
      if (pos_ < text_.size() && text_[pos_] == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= text_.size() || text_[pos_] == '\n' || text_[pos_] == '\r')
            failOnLine(line_, "the string is not closed on its line");
          const char c = text_[pos_++];
          if (c == '\'') {
            if (pos_ < text_.size() && text_[pos_] == '\'') {
              ++pos_;
            } else {
              break;
            }
          }
          units += static_cast<char16_t>(static_cast<unsigned char>(c));
        }
      } else if (pos_ < text_.size() && text_[pos_] == '#') {
        ++pos_;
        units += characterCode();
      } else {
        return units;
      }
    }
  }

  // code = digits | "$" hex-digits, at most 65535
  char16_t characterCode() {
    const bool hex = pos_ < text_.size() && text_[pos_] == '$';
    if (hex) ++pos_;
    const size_t start = pos_;
    uint32_t code = 0;
    while (pos_ < text_.size() && (hex ? isHexDigit(text_[pos_]) : isDigit(text_[pos_]))) {
      code = code * (hex ? 16 : 10) + static_cast<uint32_t>(hexValue(text_[pos_]));
      if (code > 0xFFFF) failOnLine(line_, "the character code is larger than 65535");
      ++pos_;
    }
    if (pos_ == start) failOnLine(line_, "a character code is missing after \"#\"");
    return static_cast<char16_t>(code);
  }

  // binary = "{" { hex-digit hex-digit | blank } "}"
  std::vector<uint8_t> binary() {
    const int startLine = line_;
    ++pos_;
    std::vector<uint8_t> bytes;
    int pending = -1;
    for (;;) {
      skipBlanks();
      if (pos_ >= text_.size()) failOnLine(startLine, "the binary data is not closed with \"}\"");
      const char c = text_[pos_++];
      if (c == '}') break;
      if (!isHexDigit(c)) failOnLine(line_, std::string("\"") + c + "\" is not a hexadecimal digit");
      if (pending < 0) {
        pending = hexValue(c);
      } else {
        bytes.push_back(static_cast<uint8_t>(pending * 16 + hexValue(c)));
        pending = -1;
      }
    }
    if (pending >= 0) failOnLine(line_, "the binary data has an odd number of hexadecimal digits");
    return bytes;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
};

// ---------------------------------------------------------------------------
// Parser
//
//   form        = object End
//   object      = ( "object" | "inherited" | "inline" ) header
//                 { property } { object } "end"
//   header      = [ name ":" ] class [ "[" integer "]" ]
//   property    = symbol "=" value
//   value       = number | string | symbol | set | list | collection | binary
//   number      = [ "-" | "+" ] Number
//   string      = String { "+" String }
//   set         = "[" [ symbol { "," symbol } ] "]"
//   list        = "(" { value } ")"
//   collection  = "<" { "item" [ "[" integer "]" ] { property } "end" } ">"
//   binary      = "{" hex "}"
//
// Keywords and True, False, nil and Null are matched without regard to letter
// case. Objects, lists and collections nest at most as deep as the reader allows.

class FormTextParser {
 public:
  explicit FormTextParser(std::string_view text) : lexer_(text) { advance(); }

  FormObject form() {
    FormObject root = object();
    if (token_.kind != TokenKind::End) fail("unexpected text after the last \"end\"");
    return root;
  }

 private:
  FormObject object() {
    const Nesting nesting(*this);
    FormObject result;
    if (isKeyword("inherited")) {
      result.inherited = true;
    } else if (isKeyword("inline")) {
      result.isInline = true;
    } else if (!isKeyword("object")) {
      fail("expected \"object\", \"inherited\" or \"inline\"");
    }
    advance();
    header(result);
    while (token_.kind == TokenKind::Symbol && !startsObject() && !isKeyword("end")) {
      result.properties.push_back(property());
    }
    while (startsObject()) result.children.push_back(object());
    expectKeyword("end");
    return result;
  }

  void header(FormObject& result) {
    std::string first = expectSymbol("a class name");
    if (isPunct(':')) {
      advance();
      result.name = std::move(first);
      result.className = expectSymbol("a class name");
    } else {
      result.className = std::move(first);
    }
    if (isPunct('[')) result.childPos = orderModifier();
  }

  FormProperty property() {
    FormProperty result;
    result.name = expectSymbol("a property name");
    expectPunct('=');
    result.value = value(result.name, false);
    return result;
  }

  FormValue value(const std::string& owner, bool inList) {
    switch (token_.kind) {
      case TokenKind::Number:
        return number(false);
      case TokenKind::String:
        return string();
      case TokenKind::Symbol:
        return symbolValue(owner, inList);
      case TokenKind::Binary: {
        FormValue result = FormValue::binary(std::move(token_.bytes));
        advance();
        return result;
      }
      case TokenKind::Punct:
        break;
      case TokenKind::End:
        fail("the value of " + owner + " is missing");
    }
    if (isPunct('-') || isPunct('+')) {
      const bool negative = isPunct('-');
      advance();
      if (token_.kind != TokenKind::Number) fail("expected a number after the sign");
      return number(negative);
    }
    if (isPunct('[')) return set();
    if (isPunct('(')) return list(owner);
    if (isPunct('<')) return collection(owner);
    fail("\"" + token_.text + "\" does not start a value");
  }

  FormValue symbolValue(const std::string& owner, bool inList) {
    std::string name = std::move(token_.text);
    advance();
    if (equalsIgnoreCase(name, "True")) return FormValue::boolean(true);
    if (equalsIgnoreCase(name, "False")) return FormValue::boolean(false);
    if (equalsIgnoreCase(name, "nil")) return FormValue::nil();
    if (equalsIgnoreCase(name, "Null")) {
      // A Null tag inside a list would end the list.
      if (inList) fail("Null cannot be an item of the list " + owner);
      return FormValue::null();
    }
    if (name.size() > 255) fail("the identifier " + name.substr(0, 40) + "... is longer than 255 characters");
    return FormValue::identifier(std::move(name));
  }

  FormValue number(bool negative) {
    std::string digits = std::move(token_.text);
    const int line = token_.line;
    advance();
    if (digits[0] == '$') return hexInteger(digits, negative, line);
    char suffix = digits.back();
    if (suffix == 's' || suffix == 'c' || suffix == 'd') {
      digits.pop_back();
    } else {
      suffix = 0;
    }
    const bool isFloat = digits.find_first_of(".eE") != std::string::npos;
    if (!isFloat && suffix == 0) return decimalInteger(digits, negative, line);

    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || !std::isfinite(value))
      failOnLine(line, "\"" + digits + "\" is not a usable number");
    if (negative) value = -value;
    switch (suffix) {
      case 's':
        if (std::fabs(value) > std::numeric_limits<float>::max()) failOnLine(line, digits + " is too large for a Single");
        // Held at the precision it is stored with, so the tree reads back equal.
        return FormValue::floating(FormValueType::Single, static_cast<float>(value));
      case 'c': {
        const double scaled = std::round(value * 10000.0);
        if (std::fabs(scaled) >= 9.2e18) failOnLine(line, digits + " is too large for a Currency");
        return FormValue::currency(static_cast<int64_t>(scaled));
      }
      case 'd':
        return FormValue::floating(FormValueType::Date, value);
      default:
        return FormValue::floating(FormValueType::Extended, value);
    }
  }

  static FormValue decimalInteger(const std::string& digits, bool negative, int line) {
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
    if (error != std::errc() || end != digits.data() + digits.size())
      failOnLine(line, "the integer " + digits + " is too large");
    return signedInteger(magnitude, negative, digits, line);
  }

  static FormValue hexInteger(const std::string& digits, bool negative, int line) {
    if (digits.size() == 1) failOnLine(line, "hexadecimal digits are missing after \"$\"");
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(digits.data() + 1, digits.data() + digits.size(), magnitude, 16);
    if (error != std::errc() || end != digits.data() + digits.size())
      failOnLine(line, "the integer " + digits + " is too large");
    return signedInteger(magnitude, negative, digits, line);
  }

  static FormValue signedInteger(uint64_t magnitude, bool negative, const std::string& digits, int line) {
    constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (magnitude > kMaxPositive + (negative ? 1 : 0)) failOnLine(line, "the integer " + digits + " is too large");
    if (!negative) return FormValue::integer(static_cast<int64_t>(magnitude));
    return FormValue::integer(magnitude == kMaxPositive + 1 ? std::numeric_limits<int64_t>::min()
                                                            : -static_cast<int64_t>(magnitude));
  }

  FormValue string() {
    std::u16string units = std::move(token_.units);
    advance();
    while (isPunct('+')) {
      advance();
      if (token_.kind != TokenKind::String) fail("expected a string after \"+\"");
      units += token_.units;
      advance();
    }
    bool narrow = true;
    for (char16_t unit : units) narrow = narrow && unit <= 0xFF;
    if (!narrow) return FormValue::wideString(std::move(units));
    std::string text;
    text.reserve(units.size());
    for (char16_t unit : units) text += static_cast<char>(unit);
    return FormValue::string(std::move(text));
  }

  FormValue set() {
    advance();
    std::vector<std::string> items;
    if (!isPunct(']')) {
      for (;;) {
        std::string item = expectSymbol("a set element");
        if (item.size() > 255) fail("a set element is longer than 255 characters");
        items.push_back(std::move(item));
        if (!isPunct(',')) break;
        advance();
      }
    }
    expectPunct(']');
    return FormValue::set(std::move(items));
  }

  FormValue list(const std::string& owner) {
    const Nesting nesting(*this);
    advance();
    std::vector<FormValue> items;
    while (!isPunct(')')) items.push_back(value(owner, true));
    advance();
    return FormValue::list(std::move(items));
  }

  FormValue collection(const std::string& owner) {
    const Nesting nesting(*this);
    advance();
    std::vector<FormCollectionItem> items;
    while (!isPunct('>')) {
      expectKeyword("item");
      FormCollectionItem item;
      if (isPunct('[')) item.order = orderModifier();
      while (!isKeyword("end")) item.properties.push_back(property());
      advance();
      items.push_back(std::move(item));
    }
    advance();
    return FormValue::collection(std::move(items));
  }

  // "[" integer "]", an integer that an Int32 holds
  int64_t orderModifier() {
    advance();
    const bool negative = isPunct('-');
    if (negative) advance();
    if (token_.kind != TokenKind::Number) fail("expected an integer inside \"[ ]\"");
    const FormValue index = number(negative);
    if (!index.isInteger() || index.type() == FormValueType::Int64) fail("the index inside \"[ ]\" is not a small integer");
    expectPunct(']');
    return index.integer();
  }

  bool startsObject() const { return isKeyword("object") || isKeyword("inherited") || isKeyword("inline"); }

  bool isKeyword(std::string_view keyword) const {
    return token_.kind == TokenKind::Symbol && equalsIgnoreCase(token_.text, keyword);
  }

  bool isPunct(char c) const { return token_.kind == TokenKind::Punct && token_.text[0] == c; }

  void expectKeyword(std::string_view keyword) {
    if (!isKeyword(keyword)) fail("expected \"" + std::string(keyword) + "\"");
    advance();
  }

  void expectPunct(char c) {
    if (!isPunct(c)) fail(std::string("expected \"") + c + "\"");
    advance();
  }

  std::string expectSymbol(const std::string& what) {
    if (token_.kind != TokenKind::Symbol) fail("expected " + what);
    if (token_.text.size() > 255) fail(what + " is longer than 255 characters");
    std::string text = std::move(token_.text);
    advance();
    return text;
  }

  void advance() { token_ = lexer_.next(); }

  [[noreturn]] void fail(const std::string& message) const {
    std::string found;
    switch (token_.kind) {
      case TokenKind::End:
        found = "the end of the text";
        break;
      case TokenKind::String:
        found = "a string";
        break;
      case TokenKind::Binary:
        found = "binary data";
        break;
      default:
        found = "\"" + token_.text.substr(0, 40) + "\"";
    }
    failOnLine(token_.line, message + " (found " + found + ")");
  }

  class Nesting {
   public:
    explicit Nesting(FormTextParser& parser) : parser_(parser) {
      if (++parser_.depth_ > kMaxFormNesting)
        parser_.fail("objects and values nest deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }
    ~Nesting() { --parser_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    FormTextParser& parser_;
  };

  Lexer lexer_;
  Token token_;
  int depth_ = 0;
};

}  // namespace

FormObject parseFormText(std::string_view text) { return FormTextParser(text).form(); }

std::vector<uint8_t> formTextToBinary(std::string_view text) { return writeFormFile(parseFormText(text)); }

}  // namespace kox
