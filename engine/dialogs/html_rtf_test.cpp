#include "engine/dialogs/html_rtf.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

// The document body after the fixed header, without the closing brace.
std::string body(const std::string& rtf) {
  const size_t start = rtf.find("\\fs17 ");
  return rtf.substr(start + 6, rtf.size() - start - 7);
}

TEST(HtmlRtf, PagesBecomeRichText) {
  struct Case {
    const char* html;
    const char* rtf;
  };
  const Case cases[] = {
      {"<h1>Welcome</h1><p>Hello <b>bold</b> <i>it</i></p>",
       // A control word's delimiting blank is not text: "Hello\\b  bold" shows "Hello bold".
       "\\b\\fs32 Welcome\\par \\b0\\fs17 Hello\\b  bold\\b0 \\i  it\\i0 \\par "},
      {"one<br>two", "one\\line two"},
      {"<p>a</p><p>b</p>", "a\\par b\\par "},
      {"<html><head><title>T</title><style>p{}</style></head><body>x</body></html>", "x"},
      {"a &amp; b &lt;c&gt; &#65;&#x42; &bogus; {\\}", "a & b <c> AB &bogus; \\{\\\\\\}"},
      {"  spaced \n\n  out  ", "spaced out"},
      {"<a href=\"http://example.com/x\">site</a>",
       "{\\field{\\*\\fldinst HYPERLINK \"http://example.com/x\"}{\\fldrslt \\cf2\\ul site\\ulnone\\cf0 }}"},
      {"<!-- note --><u>u</u>", "\\ul u\\ulnone "},
      {"caf\xe9", "caf\\'e9"},
      {"unfinished <b", "unfinished"},
  };
  for (const Case& c : cases) EXPECT_EQ(body(htmlToRtf(c.html)), c.rtf) << c.html;
}

TEST(HtmlRtf, AnUnclosedLinkIsClosedSoTheDocumentStaysWellFormed) {
  const std::string rtf = htmlToRtf("<a href='x'>open");
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') ++i;
    else if (rtf[i] == '{') ++depth;
    else if (rtf[i] == '}') --depth;
  }
  EXPECT_EQ(depth, 0);
}

TEST(HtmlRtf, PlainTextKeepsItsLines) {
  EXPECT_EQ(body(textToRtf("Add a readme.txt\r\nsecond {x}")), "Add a readme.txt\\par second \\{x\\}");
}

}  // namespace
}  // namespace kox
