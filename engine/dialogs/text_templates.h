// Text templates: the designed text of every templated control, kept so each
// display starts again from it and shows the current variable values
// ("Welcome to $TITLE$" follows TITLE at every display). Keys are the dialog
// file name ("welcome.dfm"), a full stop and the control name; letter case
// is ignored, as it is for component names.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace kox {

// The translation tables of the current language, aligned line by line:
// entry i is line i of "translations.Map" (dialog file names), of the key
// table (control names) and of "translations." + language (texts). Lines
// beyond the shortest table have no entry.
class DialogTranslations {
 public:
  DialogTranslations() = default;  // no language: no translation active
  DialogTranslations(std::string language, std::vector<std::string> dialogNames,
                     std::vector<std::string> controlNames, std::vector<std::string> texts);

  // A translation is active while the current language is not empty.
  bool active() const { return !language_.empty(); }
  // The text of the first entry for the dialog and control (letter case
  // ignored), or nullptr; always nullptr while no translation is active.
  const std::string* find(std::string_view dialogFile, std::string_view control) const;

 private:
  std::string language_;
  std::vector<std::string> dialogNames_;
  std::vector<std::string> controlNames_;
  std::vector<std::string> texts_;
};

// Expands $NAME$ references (the variable store's ExpandText).
using ExpandTextFunction = std::function<std::string(std::string_view)>;

class TextTemplateStore {
 public:
  // Stores the template once: the translated text when a translation has an
  // entry for the control, otherwise the current text. Later calls keep it.
  void remember(std::string_view dialogFile, std::string_view control, std::string_view currentText,
                const DialogTranslations& translations);
  // The stored template, or empty text.
  std::string templateText(std::string_view dialogFile, std::string_view control) const;
  // With an active translation the entry's text when there is one; otherwise
  // the template.
  std::string translatedText(std::string_view dialogFile, std::string_view control,
                             const DialogTranslations& translations) const;
  void clear() { templates_.clear(); }

 private:
  std::map<std::string, std::string> templates_;
};

// Templates a caption or item list: remembers the current text and returns
// the text to show, the expanded translated text or template.
std::string templateControlText(TextTemplateStore& store, const DialogTranslations& translations,
                                std::string_view dialogFile, std::string_view control,
                                std::string_view currentText, const ExpandTextFunction& expandText);

// Templates an edit's text without expanding it.
std::string templateEditText(TextTemplateStore& store, const DialogTranslations& translations,
                             std::string_view dialogFile, std::string_view control, std::string_view currentText);

}  // namespace kox
