#include "engine/dialogs/control_values.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(ControlValues, WizardCaption) {
  struct Case {
    const char* caption;
    bool logo;
    const char* shown;
  };
  const Case cases[] = {
      {"Setup - Velmora Wizard", true, "Setup"},
      {"Setup", false, "Setup - Velmora Wizard"},
      {"Setup - Velmora Wizard", false, "Setup - Velmora Wizard"},
      {"Setup", true, "Setup"},
      {"A - Velmora Wizard - Velmora Wizard", true, "A - Velmora Wizard"},  // only the first goes
      {"", false, " - Velmora Wizard"},
  };
  for (const Case& c : cases) EXPECT_EQ(wizardCaption(c.caption, c.logo), c.shown) << c.caption;
}

TEST(ControlValues, EditDefaultTextByTag) {
  EXPECT_EQ(editDefaultText(1), "$STARTMENU$");
  EXPECT_EQ(editDefaultText(2), "$TARGETDIR$");
  EXPECT_EQ(editDefaultText(3), "$USERNAME$");
  EXPECT_EQ(editDefaultText(4), "$USERCOMPANY$");
  EXPECT_EQ(editDefaultText(0), "");
  EXPECT_EQ(editDefaultText(5), "");
}

TEST(ControlValues, ProgressPosition) {
  struct Case {
    const char* value;
    std::optional<int> position;
  };
  const Case cases[] = {
      {"", std::nullopt}, {"0", 0},         {"42", 42},   {"100", 100}, {"101", 100},
      {"-5", 0},          {"+7", 7},        {"abc", 100}, {"4x", 100},  {"-", 100},
      {"99999999999999999999", 100},        {"0042", 42}, {"12.5", 100},
  };
  for (const Case& c : cases) EXPECT_EQ(progressPosition(c.value), c.position) << c.value;
}

}  // namespace
}  // namespace kox
