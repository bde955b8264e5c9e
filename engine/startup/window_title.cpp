#include "engine/startup/window_title.h"

namespace kox {

std::string windowTitle(std::string_view productTitle, bool logoFlag) {
  if (logoFlag) return std::string(productTitle);
  std::string brand = std::string(kBrandName) + kWizardSuffix;
  if (productTitle.empty()) return brand;
  return std::string(productTitle) + " - " + brand;
}

std::string windowTitleSuffix() { return std::string(" - ") + kBrandName + kWizardSuffix; }

}  // namespace kox
