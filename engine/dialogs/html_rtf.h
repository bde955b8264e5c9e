// The HTML pages of dialogs (index.htm) turned into rich text for the rich
// edit control that shows them. Only what wizard pages use is rendered:
// headings h1 to h6, paragraphs and divisions, line breaks, bold, italic and
// underlined text, list items, centred text, horizontal rules and links
// (blue and underlined; the link target is kept as a hidden field so the
// control can report it). Head, script and style contents are dropped;
// unknown tags are ignored with their contents shown. Entities: &amp; &lt;
// &gt; &quot; &apos; &nbsp; &copy; &reg; and numeric ones up to 255.
#pragma once

#include <string>
#include <string_view>

namespace kox {

// The RTF document for an HTML text (8-bit, the system code page).
std::string htmlToRtf(std::string_view html);

// An RTF document that shows plain text, line breaks kept.
std::string textToRtf(std::string_view text);

}  // namespace kox
