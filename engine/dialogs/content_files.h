// Content files of dialog controls (readme, licence, HTML page, movie),
// looked up in the support folder with the current language first. When
// none exists the control shows a hint for the setup author instead.
//
//   control      tag  files tried in order
//   memo         1    readme.<L>.txt, readme.txt
//   memo         2    license.<L>.txt, license.txt
//   rich edit    1    readme.<L>.rtf, readme.rtf, readme.<L>.txt, readme.txt
//   rich edit    2    the same with "license"
//   HTML viewer  1    index.<L>.htm, index.htm
//   movie frame  1    movie.<L>.swf, movie.swf
//
// With no current language the first name becomes "readme..txt", which
// simply does not exist.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kox {

enum class ContentControl { Memo, RichEdit, HtmlViewer, FlashFrame };

struct ContentFileRule {
  std::vector<std::string> fileNames;  // in lookup order
  std::string missingText;             // shown when none of them exists
};

// The rule for a control kind and tag; nullopt when that control loads no content.
std::optional<ContentFileRule> contentFileRule(ContentControl control, int tag, std::string_view language);

struct ContentFileChoice {
  std::optional<std::string> path;  // the first existing file, support folder included
  std::string missingText;          // what to show when path is empty
};

using FileExists = std::function<bool(const std::string& path)>;

// Looks the rule's files up in the support folder; nullopt when the control
// loads no content.
std::optional<ContentFileChoice> findContentFile(ContentControl control, int tag, std::string_view language,
                                                 std::string_view supportFolder, const FileExists& fileExists);

}  // namespace kox
