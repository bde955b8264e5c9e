// The dialog engine on real files and windows: loading and the registry,
// damaged definitions, preparation from variables, templates, content files.
#include "engine/dialogs/win/dialog_engine.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/base/error.h"
#include "engine/dialogs/form_text.h"
#include "engine/dialogs/win/control_access.h"
#include "engine/dialogs/win/dialog_properties.h"
#include "engine/vars/script_variables.h"

namespace kox {
namespace {

constexpr char kPage[] = R"(object Page: TPage
  Caption = 'Welcome to $TITLE$'
  ClientWidth = 400
  ClientHeight = 300
  object Label1: TLabel
    Left = 8
    Top = 8
    Width = 300
    Height = 16
    Caption = 'Install $TITLE$ now'
  end
  object Edit1: TEdit
    Left = 8
    Top = 30
    Width = 200
    Height = 21
    Tag = 2
  end
  object Memo1: TMemo
    Left = 8
    Top = 60
    Width = 200
    Height = 60
    Tag = 1
    ScrollBars = ssVertical
  end
  object ListBox1: TListBox
    Left = 220
    Top = 30
    Width = 100
    Height = 60
    Items.Strings = ('$A$' 'B' '$C$')
  end
  object CheckListBox1: TCheckListBox
    Left = 220
    Top = 100
    Width = 100
    Height = 60
    Hint = 'X'
    Items.Strings = ('a' 'b' 'c')
  end
  object Html1: THTMLViewer
    Left = 8
    Top = 130
    Width = 200
    Height = 80
    Tag = 1
  end
  object Flash1: TFlashFrame
    Left = 220
    Top = 170
    Width = 150
    Height = 40
    Tag = 1
  end
  object TrackBar1: TTrackBar
    Left = 8
    Top = 220
    Width = 150
    Height = 30
    Hint = 'LEVEL'
    Max = 10
  end
  object Button1: TButton
    Left = 300
    Top = 260
    Width = 75
    Height = 25
    Caption = 'Next'
    Enabled = False
  end
end
)";

class DialogEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "kox_dialog_engine_test\\";
    CreateDirectoryA(folder_.c_str(), nullptr);
    variableStore().Clear();
    engine().init({folder_, false, "Movies cannot be played."});
  }
  void TearDown() override {
    engine().freeDialogs();
    for (const std::string& name : written_) DeleteFileA((folder_ + name).c_str());
    RemoveDirectoryA(folder_.c_str());
    variableStore().Clear();
  }

  DialogEngine& engine() { return dialogEngine(); }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ + name, std::ios::binary) << bytes;
    written_.push_back(name);
  }
  void writeForm(const std::string& name, const char* text, const std::string& rules = "") {
    const std::vector<uint8_t> binary = formTextToBinary(text);
    write(name, std::string(binary.begin(), binary.end()));
    write(name + ".koxf", rules);
  }
  void set(const char* name, const char* value) { variableStore().Put(name, value); }
  std::string read(std::string_view key, const char* control, const char* property) {
    DialogProperties properties(*engine().findDialog(key));
    return properties.read(control, property).value_or("<none>");
  }
  static std::string caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
  }

  std::string folder_;
  std::vector<std::string> written_;
};

TEST_F(DialogEngineTest, TwoCommandsNamingOneDefinitionGetTwoWindows) {
  writeForm("welcome.dfm", kPage);
  HWND first = engine().loadDialog("12", folder_ + "welcome.dfm");
  HWND second = engine().loadDialog("40", folder_ + "welcome.dfm");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(engine().dialogCount(), 2u);
  EXPECT_EQ(engine().findDialog("12")->handle(), first);
  EXPECT_EQ(engine().findDialog("40")->handle(), second);
  EXPECT_EQ(engine().findDialog("41"), nullptr);
  // Loading a key again replaces its window.
  HWND again = engine().loadDialog("12", folder_ + "welcome.dfm");
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(engine().findDialog("12")->handle(), again);
  EXPECT_EQ(engine().dialogCount(), 2u);
  engine().freeDialogs();
  EXPECT_EQ(engine().dialogCount(), 0u);
  EXPECT_FALSE(IsWindow(second));
}

TEST_F(DialogEngineTest, ADamagedOrMissingDefinitionFailsNamingTheFile) {
  writeForm("good.dfm", kPage);
  engine().loadDialog("3", folder_ + "good.dfm");
  const std::vector<uint8_t> binary = formTextToBinary(kPage);
  write("damaged.dfm", std::string(binary.begin(), binary.begin() + static_cast<long>(binary.size() / 2)));
  write("damaged.dfm.koxf", "");
  write("norules.dfm", std::string(binary.begin(), binary.end()));
  struct Case {
    const char* file;
    const char* named;
  };
  for (const Case& c : {Case{"damaged.dfm", "damaged.dfm\""}, Case{"absent.dfm", "absent.dfm\""},
                        Case{"norules.dfm", "norules.dfm.koxf\""}}) {
    SCOPED_TRACE(c.file);
    try {
      engine().loadDialog("3", folder_ + c.file);
      FAIL() << "loaded";
    } catch (const EngineError& e) {
      EXPECT_NE(std::string(e.what()).find(folder_ + c.named), std::string::npos) << e.what();
    }
    // The key keeps the window it had.
    ASSERT_NE(engine().findDialog("3"), nullptr);
    EXPECT_EQ(engine().findDialog("3")->fileName(), "good.dfm");
  }
}

TEST_F(DialogEngineTest, TemplatesShowTheCurrentValuesAtEveryPreparation) {
  writeForm("welcome.dfm", kPage);
  HWND window = engine().loadDialog("5", folder_ + "welcome.dfm");
  set("TITLE", "Norvale");
  engine().prepareDialog("5");
  EXPECT_EQ(caption(window), "Welcome to Norvale - Velmora Wizard");
  EXPECT_EQ(read("5", "Label1", "Caption"), "Install Norvale now");
  set("TITLE", "Other");
  engine().prepareDialog("5");
  EXPECT_EQ(caption(window), "Welcome to Other - Velmora Wizard");
  EXPECT_EQ(read("5", "Label1", "Caption"), "Install Other now");
  set("KELDLOGO", "TRUE");
  engine().prepareDialog("5");
  EXPECT_EQ(caption(window), "Welcome to Other");
}

TEST_F(DialogEngineTest, BoundAndDefaultValuesFillTheControls) {
  writeForm("page.dfm", kPage);
  engine().loadDialog("1", folder_ + "page.dfm");
  set("A", "");
  set("C", "c");
  set("X", "a$NEWLINE$b");
  engine().prepareDialog("1");
  EXPECT_EQ(read("1", "Edit1", "Text"), "$TARGETDIR$");  // not defined yet
  EXPECT_EQ(read("1", "ListBox1", "Items"), "B\r\nc");
  DialogControl& checks = *engine().findDialog("1")->findControl("CheckListBox1");
  EXPECT_TRUE(itemChecked(checks, 0));
  EXPECT_TRUE(itemChecked(checks, 1));
  EXPECT_FALSE(itemChecked(checks, 2));

  set("TARGETDIR", "C:\\\\Program Files\\\\Norvale");
  set("LEVEL", "4");
  engine().prepareDialog("1");
  EXPECT_EQ(read("1", "Edit1", "Text"), "C:\\Program Files\\Norvale");
  EXPECT_EQ(read("1", "TrackBar1", "Position"), "4");

  set("LEVEL", "four");
  EXPECT_THROW(engine().prepareDialog("1"), EngineError);
}

TEST_F(DialogEngineTest, ContentFilesAreLookedUpLanguageFirst) {
  writeForm("page.dfm", kPage);
  engine().loadDialog("1", folder_ + "page.dfm");
  set("LANGUAGE", "French");
  engine().prepareDialog("1");
  EXPECT_EQ(read("1", "Memo1", "Text"),
            "Add a readme.French.txt or readme.txt file to your project as a support file/creative to display it here.");
  HWND html = engine().findDialog("1")->findControl("Html1")->window;
  EXPECT_NE(windowText(html).find("Add an index.htm file"), std::string::npos);
  EXPECT_EQ(read("1", "Flash1", "Caption"), "Add a movie.swf file to your project to display it here.");

  write("readme.txt", "plain readme");
  engine().prepareDialog("1");
  EXPECT_EQ(read("1", "Memo1", "Text"), "plain readme");
  write("readme.French.txt", "lisez-moi");
  write("index.htm", "<h1>Title</h1><p>Body <b>bold</b></p>");
  write("movie.swf", "FWS");
  engine().prepareDialog("1");
  EXPECT_EQ(read("1", "Memo1", "Text"), "lisez-moi");
  EXPECT_EQ(read("1", "Flash1", "Caption"), "Movies cannot be played.");
  const std::string page = windowText(html);
  EXPECT_NE(page.find("Title"), std::string::npos);
  EXPECT_NE(page.find("Body bold"), std::string::npos);
  EXPECT_EQ(page.find("<h1>"), std::string::npos);
}

TEST_F(DialogEngineTest, RulesApplyAfterPreparationAndAShortLicenceCountsAsRead) {
  writeForm("rules.dfm", R"(object R: TR
  object Memo1: TMemo
    Left = 8
    Top = 8
    Width = 200
    Height = 100
    Lines.Strings = ('short')
  end
  object Button1: TButton
    Left = 8
    Top = 120
    Width = 75
    Height = 25
    Enabled = False
  end
end
)",
            "IF (Memo1.MaxLength = 2147483647)  THEN  Button1.Enabled := True;\r\n");
  engine().loadDialog("2", folder_ + "rules.dfm");
  EXPECT_EQ(read("2", "Button1", "Enabled"), "False");
  engine().prepareDialog("2");
  EXPECT_EQ(read("2", "Memo1", "ReadOnly"), "True");
  EXPECT_EQ(read("2", "Memo1", "MaxLength"), "2147483647");
  EXPECT_EQ(read("2", "Button1", "Enabled"), "True");
  engine().releaseDialog("2");
  EXPECT_EQ(engine().releasedDialog(), engine().findDialog("2")->handle());
}

TEST_F(DialogEngineTest, ASilentRunPreparesNothing) {
  writeForm("page.dfm", kPage);
  engine().init({folder_, true, ""});
  engine().loadDialog("1", folder_ + "page.dfm");
  set("TITLE", "Norvale");
  engine().prepareDialog("1");
  EXPECT_EQ(caption(engine().findDialog("1")->handle()), "Welcome to $TITLE$");
  EXPECT_EQ(ReadVariable(variableStore(), "KELD_IsCancelled"), "FALSE");
}

}  // namespace
}  // namespace kox
