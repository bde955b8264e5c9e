#include "engine/dialogs/text_templates.h"

#include <gtest/gtest.h>

#include <map>

namespace kox {
namespace {

// Expands $NAME$ from a map, leaving unknown names as they are.
struct FakeVariables {
  std::map<std::string, std::string> values;
  ExpandTextFunction expander() {
    return [this](std::string_view text) {
      std::string out;
      size_t pos = 0;
      while (pos < text.size()) {
        const size_t open = text.find('$', pos);
        const size_t close = open == std::string_view::npos ? open : text.find('$', open + 1);
        if (close == std::string_view::npos) {
          out += text.substr(pos);
          break;
        }
        out += text.substr(pos, open - pos);
        const std::string name(text.substr(open + 1, close - open - 1));
        const auto found = values.find(name);
        out += found == values.end() ? "$" + name + "$" : found->second;
        pos = close + 1;
      }
      return out;
    };
  }
};

TEST(TextTemplates, ACaptionFollowsTheVariableAtEveryDisplay) {
  TextTemplateStore store;
  const DialogTranslations none;
  FakeVariables vars;
  vars.values["TITLE"] = "Norvale 1.0";
  std::string caption = "Welcome to $TITLE$";
  caption = templateControlText(store, none, "welcome.dfm", "Label1", caption, vars.expander());
  EXPECT_EQ(caption, "Welcome to Norvale 1.0");
  vars.values["TITLE"] = "Norvale 2.0";
  // The control now shows the expanded text; the template brings the reference back.
  caption = templateControlText(store, none, "welcome.dfm", "Label1", caption, vars.expander());
  EXPECT_EQ(caption, "Welcome to Norvale 2.0");
}

TEST(TextTemplates, ATemplateIsStoredOnceAndKeyedByDialogAndControl) {
  TextTemplateStore store;
  const DialogTranslations none;
  store.remember("welcome.dfm", "Label1", "first", none);
  store.remember("WELCOME.DFM", "label1", "second", none);
  store.remember("finish.dfm", "Label1", "other dialog", none);
  EXPECT_EQ(store.templateText("welcome.dfm", "Label1"), "first");
  EXPECT_EQ(store.templateText("finish.dfm", "LABEL1"), "other dialog");
  EXPECT_EQ(store.templateText("welcome.dfm", "Label2"), "");
  store.clear();
  EXPECT_EQ(store.templateText("welcome.dfm", "Label1"), "");
}

TEST(TextTemplates, AnActiveTranslationSuppliesTheText) {
  const DialogTranslations french("French", {"welcome.dfm", "Welcome.dfm", "license.dfm"},
                                  {"Label1", "Label1", "Label9"}, {"Bienvenue dans $TITLE$", "ignored", "x"});
  EXPECT_TRUE(french.active());
  ASSERT_NE(french.find("WELCOME.dfm", "label1"), nullptr);
  EXPECT_EQ(*french.find("WELCOME.dfm", "label1"), "Bienvenue dans $TITLE$");  // the first entry wins

  TextTemplateStore store;
  FakeVariables vars;
  vars.values["TITLE"] = "Norvale";
  EXPECT_EQ(templateControlText(store, french, "welcome.dfm", "Label1", "Welcome to $TITLE$", vars.expander()),
            "Bienvenue dans Norvale");
  EXPECT_EQ(store.templateText("welcome.dfm", "Label1"), "Bienvenue dans $TITLE$");
  // A control without an entry keeps its designed text.
  EXPECT_EQ(templateControlText(store, french, "welcome.dfm", "Label2", "Next $TITLE$", vars.expander()),
            "Next Norvale");
  // Edits are templated without expansion.
  EXPECT_EQ(templateEditText(store, french, "license.dfm", "Label9", "designed"), "x");
  EXPECT_EQ(templateEditText(store, french, "license.dfm", "Edit1", "$TARGETDIR$"), "$TARGETDIR$");
}

TEST(TextTemplates, NoLanguageMeansNoTranslation) {
  const DialogTranslations inactive("", {"welcome.dfm"}, {"Label1"}, {"Bienvenue"});
  EXPECT_FALSE(inactive.active());
  EXPECT_EQ(inactive.find("welcome.dfm", "Label1"), nullptr);
  TextTemplateStore store;
  EXPECT_EQ(templateEditText(store, inactive, "welcome.dfm", "Label1", "Welcome"), "Welcome");
}

TEST(TextTemplates, TablesOfDifferentLengthsPairOnlyCompleteLines) {
  const DialogTranslations german("German", {"a.dfm", "b.dfm"}, {"L1", "L2"}, {"eins"});
  ASSERT_NE(german.find("a.dfm", "L1"), nullptr);
  EXPECT_EQ(german.find("b.dfm", "L2"), nullptr);
}

TEST(TextTemplates, ItemListsExpandAsOneText) {
  TextTemplateStore store;
  FakeVariables vars;
  vars.values["A"] = "";
  vars.values["C"] = "c";
  EXPECT_EQ(templateControlText(store, {}, "d.dfm", "ListBox1", "$A$\r\nB\r\n$C$", vars.expander()), "\r\nB\r\nc");
}

}  // namespace
}  // namespace kox
