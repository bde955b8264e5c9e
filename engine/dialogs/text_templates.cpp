#include "engine/dialogs/text_templates.h"

#include <algorithm>

#include "engine/base/text.h"

namespace kox {

namespace {

std::string templateKey(std::string_view dialogFile, std::string_view control) {
  return toLowerAscii(dialogFile) + "." + toLowerAscii(control);
}

}  // namespace

DialogTranslations::DialogTranslations(std::string language, std::vector<std::string> dialogNames,
                                       std::vector<std::string> controlNames, std::vector<std::string> texts)
    : language_(std::move(language)),
      dialogNames_(std::move(dialogNames)),
      controlNames_(std::move(controlNames)),
      texts_(std::move(texts)) {}

const std::string* DialogTranslations::find(std::string_view dialogFile, std::string_view control) const {
  if (!active()) return nullptr;
  const size_t entries = std::min({dialogNames_.size(), controlNames_.size(), texts_.size()});
  for (size_t i = 0; i < entries; ++i) {
    if (equalsIgnoreCase(dialogNames_[i], dialogFile) && equalsIgnoreCase(controlNames_[i], control))
      return &texts_[i];
  }
  return nullptr;
}

void TextTemplateStore::remember(std::string_view dialogFile, std::string_view control,
                                 std::string_view currentText, const DialogTranslations& translations) {
  const std::string key = templateKey(dialogFile, control);
  if (templates_.contains(key)) return;
  const std::string* translated = translations.find(dialogFile, control);
  templates_.emplace(key, translated ? *translated : std::string(currentText));
}

std::string TextTemplateStore::templateText(std::string_view dialogFile, std::string_view control) const {
  const auto found = templates_.find(templateKey(dialogFile, control));
  return found == templates_.end() ? std::string() : found->second;
}

std::string TextTemplateStore::translatedText(std::string_view dialogFile, std::string_view control,
                                              const DialogTranslations& translations) const {
  if (const std::string* translated = translations.find(dialogFile, control)) return *translated;
  return templateText(dialogFile, control);
}

std::string templateControlText(TextTemplateStore& store, const DialogTranslations& translations,
                                std::string_view dialogFile, std::string_view control,
                                std::string_view currentText, const ExpandTextFunction& expandText) {
  return expandText(templateEditText(store, translations, dialogFile, control, currentText));
}

std::string templateEditText(TextTemplateStore& store, const DialogTranslations& translations,
                             std::string_view dialogFile, std::string_view control, std::string_view currentText) {
  store.remember(dialogFile, control, currentText, translations);
  return translations.active() ? store.translatedText(dialogFile, control, translations)
                               : store.templateText(dialogFile, control);
}

}  // namespace kox
