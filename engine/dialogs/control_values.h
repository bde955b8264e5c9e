// Small value rules of dialog preparation that need no window: the wizard
// suffix of dialog captions, the default text of target edits and the
// position of progress controls.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kox {

constexpr std::string_view kWizardCaptionSuffix = " - Velmora Wizard";

// With the logo flag set the first " - Velmora Wizard" is removed from the
// caption; otherwise it is appended unless the caption already holds it.
std::string wizardCaption(std::string_view caption, bool logoFlag);

// The text an empty edit gets by its Tag before expansion: 1 "$STARTMENU$",
// 2 "$TARGETDIR$", 3 "$USERNAME$", 4 "$USERCOMPANY$"; empty for other tags.
std::string_view editDefaultText(int tag);

// The position of a progress bar or gauge from the PROGRESS value: nullopt
// for empty text (the control keeps its position), 100 for a text that is not
// an integer, otherwise the integer limited to 0..100.
std::optional<int> progressPosition(std::string_view progressValue);

}  // namespace kox
