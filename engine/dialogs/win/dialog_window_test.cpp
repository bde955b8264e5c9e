// Dialog definitions written as text, loaded into real windows: control
// kinds, layout and texts, read back through the property interface.
#include "engine/dialogs/win/dialog_window.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "engine/dialogs/dialog_rules.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/form_text.h"
#include "engine/dialogs/win/control_access.h"
#include "engine/dialogs/win/dialog_properties.h"

namespace kox {
namespace {

constexpr char kWelcome[] = R"(object WelcomeDialog: TWelcomeDialog
  Caption = 'Welcome'
  ClientWidth = 400
  ClientHeight = 300
  Color = clBtnFace
  object Label1: TLabel
    Left = 10
    Top = 12
    Width = 200
    Height = 16
    Caption = 'Hello'
  end
  object Edit1: TEdit
    Left = 10
    Top = 40
    Width = 150
    Height = 21
    Text = 'typed'
    MaxLength = 20
    TabOrder = 1
  end
  object Button1: TButton
    Left = 300
    Top = 260
    Width = 75
    Height = 25
    Caption = '&Next >'
    Tag = 1
    Enabled = False
    TabOrder = 0
  end
  object CheckBox1: TRzCheckBox
    Left = 10
    Top = 70
    Width = 120
    Height = 17
    Caption = 'Agree'
    Checked = True
    TabOrder = 2
  end
  object ListBox1: TListBox
    Left = 200
    Top = 40
    Width = 120
    Height = 60
    Items.Strings = ('one' 'two' 'three')
    TabOrder = 3
  end
  object Panel1: TPanel
    Left = 10
    Top = 110
    Width = 180
    Height = 100
    Caption = ''
    TabOrder = 4
    object RadioButton1: TRzRadioButton
      Left = 8
      Top = 8
      Width = 100
      Height = 17
      Caption = 'Inside'
    end
  end
  object PageControl1: TPageControl
    Left = 200
    Top = 110
    Width = 190
    Height = 140
    ActivePage = TabSheet2
    TabOrder = 5
    object TabSheet1: TTabSheet
      Caption = 'First'
    end
    object TabSheet2: TTabSheet
      Caption = 'Second'
      object Memo1: TMemo
        Left = 4
        Top = 4
        Width = 100
        Height = 50
        Lines.Strings = ('line 1' 'line 2')
      end
    end
  end
  object TrackBar1: TTrackBar
    Left = 10
    Top = 220
    Width = 150
    Height = 30
    Max = 20
    Position = 7
  end
  object Gauge1: TGauge
    Left = 10
    Top = 255
    Width = 150
    Height = 20
    Progress = 40
  end
  object Glass: TVistaGlass
  end
  object cmpFormDesigner: TRFDesigner
  end
end
)";

std::unique_ptr<DialogWindow> load(const char* text) {
  return DialogWindow::create(readFormFile(formTextToBinary(text)), "welcome.dfm");
}

std::string className(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

TEST(DialogWindow, ControlsGetTheDesignedKindsPositionsAndTexts) {
  auto dialog = load(kWelcome);
  EXPECT_EQ(className(dialog->handle()), "TPoolTemplate");
  RECT client;
  GetClientRect(dialog->handle(), &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 300);
  char caption[64];
  GetWindowTextA(dialog->handle(), caption, sizeof caption);
  EXPECT_STREQ(caption, "Welcome");

  struct Expected {
    const char* name;
    const char* windowClass;
    const char* left;
    const char* top;
    const char* text;  // Caption or Text
  };
  const Expected expected[] = {
      {"Label1", "Static", "10", "12", "Hello"},      {"Edit1", "Edit", "10", "40", "typed"},
      {"Button1", "Button", "300", "260", "&Next >"}, {"CheckBox1", "Button", "10", "70", "Agree"},
      {"ListBox1", "ListBox", "200", "40", nullptr},  {"Panel1", "KoxContainer", "10", "110", ""},
      {"RadioButton1", "Button", "8", "8", "Inside"}, {"PageControl1", "SysTabControl32", "200", "110", nullptr},
      {"TrackBar1", "msctls_trackbar32", "10", "220", nullptr}, {"Gauge1", "Static", "10", "255", nullptr},
  };
  DialogProperties properties(*dialog);
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    DialogControl* control = dialog->findControl(e.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(className(control->window), e.windowClass);
    EXPECT_EQ(properties.read(e.name, "Left"), e.left);
    EXPECT_EQ(properties.read(e.name, "Top"), e.top);
    if (e.text) {
      const char* property = control->is(ControlKind::Edit) ? "Text" : "Caption";
      EXPECT_EQ(properties.read(e.name, property), e.text);
    }
  }
  // The radio button lives inside the panel, the memo inside its tab sheet.
  EXPECT_EQ(GetParent(dialog->findControl("RadioButton1")->window), dialog->findControl("Panel1")->window);
  EXPECT_EQ(GetParent(dialog->findControl("Memo1")->window), dialog->findControl("TabSheet2")->window);
  EXPECT_EQ(dialog->findControl("cmpFormDesigner"), nullptr);
  ASSERT_NE(dialog->findControl("Glass"), nullptr);
  EXPECT_EQ(dialog->findControl("Glass")->window, nullptr);
}

TEST(DialogWindow, PropertiesReadAndWriteAsTheDesignerShowsThem) {
  auto dialog = load(kWelcome);
  DialogProperties p(*dialog);
  EXPECT_EQ(p.read("button1", "ENABLED"), "False");
  EXPECT_EQ(p.read("Button1", "Tag"), "1");
  EXPECT_EQ(p.read("CheckBox1", "Checked"), "True");
  EXPECT_EQ(p.read("Edit1", "MaxLength"), "20");
  EXPECT_EQ(p.read("Edit1", "Width"), "150");
  EXPECT_EQ(p.read("ListBox1", "Items"), "one\r\ntwo\r\nthree");
  EXPECT_EQ(p.read("ListBox1", "ItemIndex"), "-1");
  EXPECT_EQ(p.read("Memo1", "Lines"), "line 1\r\nline 2");
  EXPECT_EQ(p.read("TrackBar1", "Position"), "7");
  EXPECT_EQ(p.read("TrackBar1", "Max"), "20");
  EXPECT_EQ(p.read("Gauge1", "Progress"), "40");
  EXPECT_EQ(p.read("PageControl1", "ActivePage"), "TabSheet2");
  EXPECT_EQ(p.read("Panel1", "Color"), "clBtnFace");
  EXPECT_EQ(p.read("Edit1", "Color"), "clWindow");
  EXPECT_EQ(p.read("Glass", "Enabled"), "True");

  EXPECT_TRUE(p.write("Button1", "Enabled", "True"));
  EXPECT_TRUE(IsWindowEnabled(dialog->findControl("Button1")->window));
  EXPECT_TRUE(p.write("Label1", "Visible", "false"));
  EXPECT_EQ(p.read("Label1", "Visible"), "False");
  EXPECT_TRUE(p.write("Edit1", "Left", "33"));
  EXPECT_EQ(p.read("Edit1", "Left"), "33");
  EXPECT_EQ(p.read("Edit1", "Top"), "40");
  EXPECT_TRUE(p.write("ListBox1", "ItemIndex", "2"));
  EXPECT_EQ(p.read("ListBox1", "ItemIndex"), "2");
  EXPECT_TRUE(p.write("PageControl1", "ActivePage", "TabSheet1"));
  EXPECT_EQ(p.read("PageControl1", "ActivePage"), "TabSheet1");
  EXPECT_TRUE(p.write("Memo1", "MaxLength", "2147483647"));
  EXPECT_EQ(p.read("Memo1", "MaxLength"), "2147483647");
}

TEST(DialogWindow, UnknownNamesReadAsNothingAndRefusedValuesThrow) {
  auto dialog = load(kWelcome);
  DialogProperties p(*dialog);
  EXPECT_EQ(p.read("Nobody", "Caption"), std::nullopt);
  EXPECT_EQ(p.read("Edit1", "Checked"), std::nullopt);  // a property the kind does not have
  EXPECT_EQ(p.read("WelcomeDialog", "Caption"), std::nullopt);  // never the window itself
  EXPECT_FALSE(p.write("Nobody", "Caption", "x"));
  EXPECT_FALSE(p.write("Label1", "Checked", "True"));
  EXPECT_THROW(p.write("Edit1", "MaxLength", "abc"), EngineError);
  EXPECT_THROW(p.write("Edit1", "MaxLength", "12x"), EngineError);
  EXPECT_THROW(p.write("Button1", "Enabled", "yes"), EngineError);
  EXPECT_THROW(p.write("Button1", "Name", "Other"), EngineError);
  EXPECT_THROW(p.write("Panel1", "Color", "clPink"), EngineError);
  EXPECT_EQ(p.read("Button1", "Enabled"), "False");
}

TEST(DialogWindow, RulesWorkOnTheLiveControls) {
  auto dialog = load(kWelcome);
  DialogProperties p(*dialog);
  const std::vector<std::string> rules = {
      "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := True;",
      "IF (CheckBox1.Checked = False)  THEN  Button1.Enabled := False;",
      "IF (Edit1.Text <> )  THEN  Label1.Caption := Edit1.Text;",
  };
  applyDialogRules(p, rules);
  EXPECT_EQ(p.read("Button1", "Enabled"), "True");
  EXPECT_EQ(p.read("Label1", "Caption"), "typed");
  setButtonChecked(*dialog->findControl("CheckBox1"), false);
  applyDialogRules(p, rules);
  EXPECT_EQ(p.read("Button1", "Enabled"), "False");
}

TEST(DialogWindow, EveryKindOfADefinitionBecomesAControl) {
  const char* kinds[] = {"TLabel", "TEdit", "TMemo", "TButton", "TRzCheckBox", "TRzRadioButton", "TListBox",
                         "TComboBox", "TGroupBox", "TPanel", "TBitBtn", "TSpeedButton", "TMaskEdit", "TImage",
                         "TShape", "TBevel", "TStaticText", "TGauge", "TPageControl", "TRichEdit", "TTrackBar",
                         "TProgressBar", "TUpDown", "TAnimate", "TCheckListBox", "TTreeView", "THTMLViewer",
                         "TFileListBox", "TDirectoryListBox", "TDriveComboBox", "TFilterComboBox", "TPTShellTree",
                         "TPTShellList", "TPTShellCombo", "TFlashFrame", "TRzFormShape", "TRzBmpButton"};
  std::string text = "object F: TF\n";
  int n = 0;
  for (const char* kind : kinds) {
    text += "  object C" + std::to_string(n) + ": " + kind + "\n    Left = " + std::to_string(n) +
            "\n    Top = 5\n    Width = 40\n    Height = 30\n  end\n";
    ++n;
  }
  text += "end\n";
  auto dialog = load(text.c_str());
  ASSERT_EQ(dialog->controls().size(), std::size(kinds));
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(kinds[i]);
    const DialogControl& control = *dialog->controls()[i];
    ASSERT_NE(control.window, nullptr);
    EXPECT_EQ(className(control.window), control.kind->windowClass);
    EXPECT_EQ(dialog->controlRect(control).left, i);
  }
}

TEST(DialogWindow, AClassADefinitionMayNotHoldFailsTheLoad) {
  try {
    load("object F: TF\n  object X: TWebBrowser\n  end\nend\n");
    FAIL() << "loaded";
  } catch (const EngineError& e) {
    EXPECT_STREQ(e.what(), "Class TWebBrowser not found");
  }
}

TEST(DialogWindow, AlignedControlsTakeTheirStripOfTheParent) {
  auto dialog = load(R"(object F: TF
  ClientWidth = 300
  ClientHeight = 200
  object Top1: TPanel
    Align = alTop
    Height = 40
  end
  object Bottom1: TPanel
    Align = alBottom
    Height = 30
  end
  object Rest: TPanel
    Align = alClient
  end
end
)");
  const RECT top = dialog->controlRect(*dialog->findControl("Top1"));
  const RECT bottom = dialog->controlRect(*dialog->findControl("Bottom1"));
  const RECT rest = dialog->controlRect(*dialog->findControl("Rest"));
  EXPECT_EQ((std::vector<long>{top.left, top.top, top.right, top.bottom}), (std::vector<long>{0, 0, 300, 40}));
  EXPECT_EQ((std::vector<long>{bottom.top, bottom.bottom}), (std::vector<long>{170, 200}));
  EXPECT_EQ((std::vector<long>{rest.top, rest.bottom, rest.right}), (std::vector<long>{40, 170, 300}));
}

}  // namespace
}  // namespace kox
