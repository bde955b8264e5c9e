#include "engine/dialogs/dialog_rules.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/scroll_marker.h"

namespace kox {
namespace {

// Controls with typed properties, names matched without regard to letter
// case, as the dialog window does it.
class FakeDialog : public PropertyInterface {
 public:
  enum class Kind { Text, Integer, Boolean };

  void add(const std::string& control, const std::string& property, Kind kind, const std::string& value) {
    controls_[toLowerAscii(control)][toLowerAscii(property)] = {kind, value};
  }

  std::optional<std::string> read(std::string_view control, std::string_view property) override {
    ++reads;
    if (const Property* found = find(control, property)) return found->value;
    return std::nullopt;
  }

  bool write(std::string_view control, std::string_view property, std::string_view value) override {
    Property* found = find(control, property);
    if (!found) return false;
    if (found->kind == Kind::Integer) {
      if (value.empty() || value.find_first_not_of("-0123456789") != std::string_view::npos)
        throw EngineError("'" + std::string(value) + "' is not a valid integer value");
    }
    if (found->kind == Kind::Boolean) {
      if (equalsIgnoreCase(value, "True")) value = "True";
      else if (equalsIgnoreCase(value, "False")) value = "False";
      else throw EngineError("'" + std::string(value) + "' is not a valid Boolean value");
    }
    found->value = std::string(value);
    ++writes;
    return true;
  }

  std::string value(const std::string& control, const std::string& property) {
    return find(control, property)->value;
  }

  int reads = 0;
  int writes = 0;

 private:
  struct Property {
    Kind kind;
    std::string value;
  };
  Property* find(std::string_view control, std::string_view property) {
    auto c = controls_.find(toLowerAscii(control));
    if (c == controls_.end()) return nullptr;
    auto p = c->second.find(toLowerAscii(property));
    return p == c->second.end() ? nullptr : &p->second;
  }
  std::map<std::string, std::map<std::string, Property>> controls_;
};

using Kind = FakeDialog::Kind;

TEST(DialogRules, ParsesTheSevenParts) {
  struct Case {
    const char* line;
    DialogRule expected;
  };
  const Case cases[] = {
      {"IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
       {false, "CheckBox1", "Checked", "True", "Button1", "Enabled", "True"}},
      {"IF (Edit1.Text <> )  THEN  Button1.Enabled := True;",
       {true, "Edit1", "Text", "", "Button1", "Enabled", "True"}},
      {"IF (ComboBox1.Text = v1.5)  THEN  Panel1.Visible := True;",
       {false, "ComboBox1", "Text", "v1.5", "Panel1", "Visible", "True"}},
      // The first four characters are skipped whatever they are.
      {"xxxxEdit1.Text = a)  THEN  Label1.Caption := b c;", {false, "Edit1", "Text", "a", "Label1", "Caption", "b c"}},
      // A " <> " in the target part still makes the rule a not-equal rule; the
      // condition property then runs up to that " <> ".
      {"IF (Edit1.Text = a)  THEN  Label1.Caption := x <> y;",
       {true, "Edit1", "Text = a)  THEN  Label1.Caption := x", "", "", "", ""}},
      // Missing separators give empty parts and remove only their own length.
      {"IF (Edit1Text = a)  THEN  Label1.Caption := b;",
       {false, "Edit1Text = a)  THEN  Label1", "", "", "", "", ""}},
      {"IF (Edit1.Text = a)  THEN  Label1.Caption := b", {false, "Edit1", "Text", "a", "Label1", "Caption", ""}},
      {"IF (", {}},
      {"IF", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(parseRule(c.line), c.expected);
  }
}

class RulesOnADialog : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog.add("CheckBox1", "Checked", Kind::Boolean, "False");
    dialog.add("Button1", "Enabled", Kind::Boolean, "True");
    dialog.add("Button1", "Tag", Kind::Integer, "0");
    dialog.add("Edit1", "Text", Kind::Text, "");
    dialog.add("Edit2", "Text", Kind::Text, "");
    dialog.add("Label1", "Visible", Kind::Boolean, "False");
    dialog.add("Label1", "Caption", Kind::Text, "");
    dialog.add("ComboBox1", "Text", Kind::Text, "");
    dialog.add("Panel1", "Visible", Kind::Boolean, "False");
  }
  void apply(std::vector<std::string> lines) { applyDialogRules(dialog, lines); }

  FakeDialog dialog;
};

TEST_F(RulesOnADialog, APairOfRulesKeepsTheButtonEqualToTheCheckBox) {
  const std::vector<std::string> rules = {
      "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
      "IF (CheckBox1.Checked = False)  THEN  Button1.Enabled := False;",
  };
  for (const char* checked : {"False", "True", "False"}) {
    dialog.write("CheckBox1", "Checked", checked);
    apply(rules);
    EXPECT_EQ(dialog.value("Button1", "Enabled"), checked);
  }
}

TEST_F(RulesOnADialog, NotEqualToAnEmptyValueFiresOnAnyText) {
  dialog.write("Button1", "Enabled", "False");
  const std::vector<std::string> rules = {"IF (Edit1.Text <> )  THEN  Button1.Enabled := True;"};
  apply(rules);
  EXPECT_EQ(dialog.value("Button1", "Enabled"), "False");
  dialog.write("Edit1", "Text", "x");
  apply(rules);
  EXPECT_EQ(dialog.value("Button1", "Enabled"), "True");
}

TEST_F(RulesOnADialog, ComparesTwoControlsThroughAReference) {
  const std::vector<std::string> rules = {"IF (Edit1.Text = Edit2.Text)  THEN  Label1.Visible := True;"};
  dialog.write("Edit1", "Text", "abc");
  dialog.write("Edit2", "Text", "abd");
  apply(rules);
  EXPECT_EQ(dialog.value("Label1", "Visible"), "False");
  dialog.write("Edit2", "Text", "abc");
  apply(rules);
  EXPECT_EQ(dialog.value("Label1", "Visible"), "True");
}

TEST_F(RulesOnADialog, AValueWithAFullStopStaysLiteralWhenItNamesNoProperty) {
  const std::vector<std::string> rules = {"IF (ComboBox1.Text = v1.5)  THEN  Panel1.Visible := True;"};
  dialog.write("ComboBox1", "Text", "v1");
  apply(rules);
  EXPECT_EQ(dialog.value("Panel1", "Visible"), "False");
  dialog.write("ComboBox1", "Text", "v1.5");
  apply(rules);
  EXPECT_EQ(dialog.value("Panel1", "Visible"), "True");
  // A control that exists but has no such property also leaves the value literal.
  EXPECT_EQ(resolveRuleValue(dialog, "Edit1.Nope"), "Edit1.Nope");
  EXPECT_EQ(resolveRuleValue(dialog, "edit1.TEXT"), "");
  EXPECT_EQ(resolveRuleValue(dialog, "setup.exe"), "setup.exe");
}

TEST_F(RulesOnADialog, ComparisonIsExactInLetterCase) {
  dialog.write("Edit1", "Text", "yes");
  apply({"IF (Edit1.Text = Yes)  THEN  Label1.Visible := True;"});
  EXPECT_EQ(dialog.value("Label1", "Visible"), "False");
  apply({"IF (Edit1.Text <> Yes)  THEN  Label1.Caption := different;"});
  EXPECT_EQ(dialog.value("Label1", "Caption"), "different");
}

TEST_F(RulesOnADialog, TargetValuesResolveReferencesAndControlNamesIgnoreCase) {
  dialog.write("Edit1", "Text", "C:\\Apps");
  apply({"IF (checkbox1.CHECKED = False)  THEN  label1.caption := EDIT1.text;"});
  EXPECT_EQ(dialog.value("Label1", "Caption"), "C:\\Apps");
}

TEST_F(RulesOnADialog, UnknownNamesReadEmptyAndAreIgnoredAsTargets) {
  // An unknown condition control reads as empty text, so "= " holds.
  apply({"IF (Nobody.Text = )  THEN  Label1.Caption := seen;"});
  EXPECT_EQ(dialog.value("Label1", "Caption"), "seen");
  const int writesBefore = dialog.writes;
  EXPECT_NO_THROW(apply({"IF (Edit1.Text = )  THEN  Nobody.Caption := x;",
                         "IF (Edit1.Text = )  THEN  Label1.Nothing := x;", "", "garbage"}));
  EXPECT_EQ(dialog.writes, writesBefore);
}

TEST_F(RulesOnADialog, LaterRulesSeeEarlierChanges) {
  apply({
      "IF (Edit1.Text = )  THEN  Edit2.Text := step1;",
      "IF (Edit2.Text = step1)  THEN  Label1.Caption := step2;",
  });
  EXPECT_EQ(dialog.value("Label1", "Caption"), "step2");
}

TEST_F(RulesOnADialog, ARefusedValueEndsThePassWithTheError) {
  const std::vector<std::string> rules = {
      "IF (Edit1.Text = )  THEN  Button1.Tag := abc;",
      "IF (Edit1.Text = )  THEN  Label1.Caption := not reached;",
  };
  EXPECT_THROW(applyDialogRules(dialog, rules), EngineError);
  EXPECT_EQ(dialog.value("Button1", "Tag"), "0");
  EXPECT_EQ(dialog.value("Label1", "Caption"), "");
}

TEST_F(RulesOnADialog, AReferenceThatFailsToReadStaysLiteral) {
  class Throwing : public FakeDialog {
   public:
    std::optional<std::string> read(std::string_view control, std::string_view property) override {
      if (equalsIgnoreCase(control, "Broken")) throw EngineError("cannot read");
      return FakeDialog::read(control, property);
    }
  } dialog;
  dialog.add("Label1", "Caption", Kind::Text, "");
  applyDialogRules(dialog, std::vector<std::string>{"IF (Label1.Caption = )  THEN  Label1.Caption := Broken.Text;"});
  EXPECT_EQ(dialog.value("Label1", "Caption"), "Broken.Text");
}

TEST_F(RulesOnADialog, TheScrollMarkerEnablesTheAcceptOption) {
  dialog.add("Memo1", "MaxLength", Kind::Integer, "1048576");
  dialog.add("RadioButton1", "Enabled", Kind::Boolean, "False");
  const std::vector<std::string> rules = {"IF (Memo1.MaxLength = 2147483647)  THEN  RadioButton1.Enabled := True;"};
  apply(rules);
  EXPECT_EQ(dialog.value("RadioButton1", "Enabled"), "False");
  dialog.write("Memo1", "MaxLength", std::to_string(kScrolledToEndMaxLength));
  apply(rules);
  EXPECT_EQ(dialog.value("RadioButton1", "Enabled"), "True");
}

TEST(ScrollMarker, TheLastPageIsInView) {
  struct Case {
    int32_t nMax, nPos;
    uint32_t nPage;
    bool atEnd;
  };
  const Case cases[] = {
      {100, 0, 20, false},  {100, 80, 20, true},  {100, 79, 20, false}, {100, 81, 20, true},
      {10, 20, 0, true},    {0, 0, 0, true},      {INT32_MAX, INT32_MIN, 0xFFFFFFFE, false}, {INT32_MAX, INT32_MIN, 0xFFFFFFFF, true},
      {INT32_MIN, INT32_MAX, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(scrolledToEnd(c.nMax, c.nPos, c.nPage), c.atEnd) << c.nMax << " " << c.nPos << " " << c.nPage;
  }
  EXPECT_TRUE(isScrollMessage(0x0115));
  EXPECT_TRUE(isScrollMessage(0x020A));
  EXPECT_FALSE(isScrollMessage(0x0114));  // horizontal scrolls do not count
}

}  // namespace
}  // namespace kox
