#include "engine/dialogs/html_rtf.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "engine/base/text.h"

namespace kox {

namespace {

constexpr std::string_view kRtfHeader =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Tahoma;}}"
    "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue238;}\\f0\\fs17 ";

// Font sizes of h1..h6 in half points.
constexpr int kHeadingSizes[] = {32, 26, 22, 19, 17, 15};
constexpr int kBodySize = 17;

void appendEscaped(std::string& rtf, char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (c == '\\' || c == '{' || c == '}') {
    rtf += '\\';
    rtf += c;
  } else if (byte >= 0x80 || byte < 0x20) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\'%02x", byte);
    rtf += hex;
  } else {
    rtf += c;
  }
}

struct Entity {
  const char* name;
  char value;
};
constexpr Entity kEntities[] = {{"amp", '&'},       {"lt", '<'},         {"gt", '>'},        {"quot", '"'},
                                {"apos", '\''},     {"nbsp", '\xA0'},    {"copy", '\xA9'},   {"reg", '\xAE'}};

// The character of an entity at text[0] == '&'; consumed counts what it used.
char decodeEntity(std::string_view text, size_t& consumed) {
  const size_t end = text.find(';');
  consumed = 1;
  if (end == std::string_view::npos || end > 10) return '&';
  std::string_view name = text.substr(1, end - 1);
  if (!name.empty() && name[0] == '#') {
    int code = 0;
    const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    for (char c : name.substr(hex ? 2 : 1)) {
      const int digit = (c >= '0' && c <= '9') ? c - '0'
                        : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                                       : -1;
      if (digit < 0) return '&';
      code = code * (hex ? 16 : 10) + digit;
      if (code > 255) return '&';
    }
    consumed = end + 1;
    return code == 0 ? '?' : static_cast<char>(code);
  }
  for (const Entity& entity : kEntities) {
    if (equalsIgnoreCase(name, entity.name)) {
      consumed = end + 1;
      return entity.value;
    }
  }
  return '&';
}

struct Tag {
  std::string name;  // lower case, without "/"
  bool closing = false;
  std::string href;
};

std::string attributeValue(std::string_view body, std::string_view attribute) {
  size_t at = findIgnoreCase(body, attribute);
  while (at != std::string_view::npos) {
    size_t i = at + attribute.size();
    while (i < body.size() && body[i] == ' ') ++i;
    if (i < body.size() && body[i] == '=') {
      ++i;
      while (i < body.size() && body[i] == ' ') ++i;
      if (i >= body.size()) return {};
      const char quote = body[i];
      if (quote == '"' || quote == '\'') {
        const size_t end = body.find(quote, i + 1);
        return std::string(body.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1));
      }
      const size_t end = body.find_first_of(" \t\r\n>", i);
      return std::string(body.substr(i, end == std::string_view::npos ? std::string_view::npos : end - i));
    }
    at = findIgnoreCase(body, attribute, at + 1);
  }
  return {};
}

Tag parseTag(std::string_view body) {
  Tag tag;
  size_t i = 0;
  if (i < body.size() && body[i] == '/') {
    tag.closing = true;
    ++i;
  }
  while (i < body.size() && (std::isalnum(static_cast<unsigned char>(body[i])))) tag.name += asciiLower(body[i++]);
  if (tag.name == "a" && !tag.closing) tag.href = attributeValue(body.substr(i), "href");
  return tag;
}

class RtfBuilder {
 public:
  RtfBuilder() : rtf_(kRtfHeader), paragraphStart_(rtf_.size()) {}

  void text(char c) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank) {
      pendingSpace_ = !atLineStart_;
      return;
    }
    if (pendingSpace_) rtf_ += ' ';
    pendingSpace_ = false;
    atLineStart_ = false;
    appendEscaped(rtf_, c);
  }
  void lineBreak() {
    rtf_ += "\\line ";
    atLineStart_ = true;
    pendingSpace_ = false;
  }
  // Ends the current paragraph, unless nothing was written since the last one.
  void paragraph() {
    if (!atParagraphStart()) rtf_ += "\\par ";
    paragraphStart_ = rtf_.size();
    atLineStart_ = true;
    pendingSpace_ = false;
  }
  // Formatting right at a paragraph's start leaves it at its start.
  void control(std::string_view word) {
    const bool atStart = atParagraphStart();
    rtf_ += word;
    rtf_ += ' ';
    if (atStart) paragraphStart_ = rtf_.size();
  }
  void raw(std::string_view text) { rtf_ += text; }
  std::string finish() {
    rtf_ += "}";
    return std::move(rtf_);
  }

 private:
  bool atParagraphStart() const { return atLineStart_ && rtf_.size() == paragraphStart_; }

  std::string rtf_;
  size_t paragraphStart_ = 0;
  bool atLineStart_ = true;
  bool pendingSpace_ = false;
};

bool isHeading(const std::string& name) { return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6'; }

}  // namespace

std::string htmlToRtf(std::string_view html) {
  RtfBuilder rtf;
  std::string skipUntil;  // the closing tag that ends dropped content
  bool inLink = false;
  for (size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '<') {
      if (html.substr(i, 4) == "<!--") {
        const size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
        continue;
      }
      const size_t end = html.find('>', i + 1);
      if (end == std::string_view::npos) break;  // an unfinished tag ends the page
      const Tag tag = parseTag(html.substr(i + 1, end - i - 1));
      i = end + 1;
      if (!skipUntil.empty()) {
        if (tag.closing && tag.name == skipUntil) skipUntil.clear();
        continue;
      }
      const std::string& name = tag.name;
      if (!tag.closing && (name == "head" || name == "script" || name == "style" || name == "title")) {
        skipUntil = name;
      } else if (name == "br") {
        rtf.lineBreak();
      } else if (name == "p" || name == "div" || name == "ul" || name == "ol" || name == "table" || name == "tr" ||
                 name == "center") {
        rtf.paragraph();
        if (name == "center") rtf.control(tag.closing ? "\\ql" : "\\qc");
      } else if (isHeading(name)) {
        rtf.paragraph();
        if (tag.closing) {
          rtf.control("\\b0\\fs" + std::to_string(kBodySize));
        } else {
          rtf.control("\\b\\fs" + std::to_string(kHeadingSizes[name[1] - '1']));
        }
      } else if (name == "li" && !tag.closing) {
        rtf.paragraph();
        rtf.raw("\\bullet  ");
      } else if (name == "hr" && !tag.closing) {
        rtf.paragraph();
        rtf.raw("\\brdrb\\brdrs\\brdrw10\\brsp20 \\par\\pard ");
      } else if (name == "b" || name == "strong") {
        rtf.control(tag.closing ? "\\b0" : "\\b");
      } else if (name == "i" || name == "em") {
        rtf.control(tag.closing ? "\\i0" : "\\i");
      } else if (name == "u") {
        rtf.control(tag.closing ? "\\ulnone" : "\\ul");
      } else if (name == "a") {
        if (!tag.closing && !tag.href.empty()) {
          std::string field = "{\\field{\\*\\fldinst HYPERLINK \"";
          for (char h : tag.href) appendEscaped(field, h == '"' ? '\'' : h);
          field += "\"}{\\fldrslt \\cf2\\ul ";
          rtf.raw(field);
          inLink = true;
        } else if (tag.closing && inLink) {
          rtf.raw("\\ulnone\\cf0 }}");
          inLink = false;
        }
      }
      continue;
    }
    if (!skipUntil.empty()) {
      ++i;
      continue;
    }
    if (c == '&') {
      size_t consumed = 1;
      rtf.text(decodeEntity(html.substr(i), consumed));
      i += consumed;
      continue;
    }
    rtf.text(c);
    ++i;
  }
  if (inLink) rtf.raw("\\ulnone\\cf0 }}");
  return rtf.finish();
}

std::string textToRtf(std::string_view text) {
  std::string rtf(kRtfHeader);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\n') {
      rtf += "\\par ";
      continue;
    }
    appendEscaped(rtf, text[i]);
  }
  return rtf + "}";
}

}  // namespace kox
