#include "engine/dialogs/content_files.h"

#include "engine/base/text.h"

namespace kox {

namespace {

struct ContentSource {
  ContentControl control;
  int tag;
  const char* baseName;
  std::vector<const char*> extensions;  // each tried with the language first
  const char* fixedMissingText;         // nullptr: the text names the files
};

const std::vector<ContentSource>& contentSources() {
  static const std::vector<ContentSource> sources = {
      {ContentControl::Memo, 1, "readme", {"txt"}, nullptr},
      {ContentControl::Memo, 2, "license", {"txt"}, nullptr},
      {ContentControl::RichEdit, 1, "readme", {"rtf", "txt"}, nullptr},
      {ContentControl::RichEdit, 2, "license", {"rtf", "txt"}, nullptr},
      {ContentControl::HtmlViewer, 1, "index", {"htm"},
       "Add an index.htm file to your project to display it here, along with any other additional "
       "support/linked files."},
      {ContentControl::FlashFrame, 1, "movie", {"swf"}, "Add a movie.swf file to your project to display it here."},
  };
  return sources;
}

}  // namespace

std::optional<ContentFileRule> contentFileRule(ContentControl control, int tag, std::string_view language) {
  for (const ContentSource& source : contentSources()) {
    if (source.control != control || source.tag != tag) continue;
    ContentFileRule rule;
    std::string named;  // "readme.<L>.txt or readme.txt, or ..."
    for (const char* extension : source.extensions) {
      const std::string localised = std::string(source.baseName) + "." + std::string(language) + "." + extension;
      const std::string plain = std::string(source.baseName) + "." + extension;
      rule.fileNames.push_back(localised);
      rule.fileNames.push_back(plain);
      if (!named.empty()) named += ", or ";
      named += localised + " or " + plain;
    }
    rule.missingText = source.fixedMissingText
                           ? source.fixedMissingText
                           : "Add a " + named + " file to your project as a support file/creative to display it here.";
    return rule;
  }
  return std::nullopt;
}

std::optional<ContentFileChoice> findContentFile(ContentControl control, int tag, std::string_view language,
                                                 std::string_view supportFolder, const FileExists& fileExists) {
  std::optional<ContentFileRule> rule = contentFileRule(control, tag, language);
  if (!rule) return std::nullopt;
  ContentFileChoice choice;
  choice.missingText = std::move(rule->missingText);
  for (const std::string& name : rule->fileNames) {
    std::string path = withBackslash(supportFolder) + name;
    if (fileExists(path)) {
      choice.path = std::move(path);
      break;
    }
  }
  return choice;
}

}  // namespace kox
