// The title of every engine message box and window.
#pragma once

#include <string>
#include <string_view>

namespace kox {

inline constexpr const char* kBrandName = "Velmora";
inline constexpr const char* kWizardSuffix = " Wizard";

// With the logo flag (KELDLOGO "TRUE") the product title alone; otherwise
// "<title> - Velmora Wizard", or "Velmora Wizard" without a title.
std::string windowTitle(std::string_view productTitle, bool logoFlag);

// " - Velmora Wizard", appended by the dialog windows.
std::string windowTitleSuffix();

}  // namespace kox
