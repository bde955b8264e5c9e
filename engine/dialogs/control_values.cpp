#include "engine/dialogs/control_values.h"

namespace kox {

std::string wizardCaption(std::string_view caption, bool logoFlag) {
  std::string result(caption);
  const size_t at = result.find(kWizardCaptionSuffix);
  if (logoFlag) {
    if (at != std::string::npos) result.erase(at, kWizardCaptionSuffix.size());
  } else if (at == std::string::npos) {
    result += kWizardCaptionSuffix;
  }
  return result;
}

std::string_view editDefaultText(int tag) {
  switch (tag) {
    case 1:
      return "$STARTMENU$";
    case 2:
      return "$TARGETDIR$";
    case 3:
      return "$USERNAME$";
    case 4:
      return "$USERCOMPANY$";
    default:
      return {};
  }
}

std::optional<int> progressPosition(std::string_view progressValue) {
  if (progressValue.empty()) return std::nullopt;
  std::string_view digits = progressValue;
  const bool negative = digits.front() == '-';
  if (negative || digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty()) return 100;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 100;
    // Digits beyond 100 cannot change the limited result; stop growing there.
    value = value > 100 ? value : value * 10 + (c - '0');
  }
  if (negative) return 0;
  return value > 100 ? 100 : value;
}

}  // namespace kox
