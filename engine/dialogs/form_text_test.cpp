#include "engine/dialogs/form_text.h"

#include <gtest/gtest.h>

#include "engine/base/error.h"
#include "engine/dialogs/form_reader.h"
#include "engine/dialogs/form_writer.h"

namespace kox {
namespace {

constexpr std::string_view kWelcome = R"(object WelcomeDialog: TWelcomeDialog
  Left = 10
  Top = -200
  Width = 70000
  Big = 5000000000
  Hex = $FF
  Caption = 'Welcome to $TITLE$'
  Color = clBtnFace
  Font.Name = 'Tahoma'
  Quoted = 'It''s'
  Lines = 'first'#13#10 +
    'second'#$41
  Wide = 'x'#8364
  Empty = ''
  Enabled = True
  Visible = false
  Action = nil
  Nothing = Null
  Anchors = [akLeft, akTop]
  NoAnchors = []
  Ratio = 1.5
  Exp = -2.5E3
  Small = 0.25s
  Tenth = 0.1s
  Money = 12.3456c
  When = 45000.5d
  Strings.Items = (
    'a'
    'b'
    -3
    (1 2))
  Columns = <
    item
      Caption = 'Name'
      Width = 120
    end
    item [3]
      Caption = 'Size'
    end>
  EmptyColumns = <>
  Picture.Data = {
    0A0B0c
    FF00}
  FocusControl = Form1.Edit1
  object Label1: TLabel
    Tag = 1
  end
  inherited Panel1: TPanel [2]
    object TBevel
    end
  end
  inline Frame1: TFrame1
  end
end
)";

TEST(FormText, ParsesEveryValueKind) {
  const FormObject form = parseFormText(kWelcome);
  EXPECT_EQ(form.name, "WelcomeDialog");
  EXPECT_EQ(form.className, "TWelcomeDialog");

  struct Case {
    const char* property;
    FormValue expected;
  };
  const Case cases[] = {
      {"Left", FormValue::integerOfType(FormValueType::Int8, 10)},
      {"Top", FormValue::integerOfType(FormValueType::Int16, -200)},
      {"Width", FormValue::integerOfType(FormValueType::Int32, 70000)},
      {"Big", FormValue::integerOfType(FormValueType::Int64, 5000000000)},
      {"Hex", FormValue::integerOfType(FormValueType::Int16, 255)},
      {"Caption", FormValue::stringOfType(FormValueType::String, "Welcome to $TITLE$")},
      {"Color", FormValue::identifier("clBtnFace")},
      {"Font.Name", FormValue::stringOfType(FormValueType::String, "Tahoma")},
      {"Quoted", FormValue::stringOfType(FormValueType::String, "It's")},
      {"Lines", FormValue::stringOfType(FormValueType::String, "first\r\nsecondA")},
      {"Wide", FormValue::wideString(u"x\u20AC")},
      {"Empty", FormValue::stringOfType(FormValueType::String, "")},
      {"Enabled", FormValue::boolean(true)},
      {"Visible", FormValue::boolean(false)},
      {"Action", FormValue::nil()},
      {"Nothing", FormValue::null()},
      {"Anchors", FormValue::set({"akLeft", "akTop"})},
      {"NoAnchors", FormValue::set({})},
      {"Ratio", FormValue::floating(FormValueType::Extended, 1.5)},
      {"Exp", FormValue::floating(FormValueType::Extended, -2500.0)},
      {"Small", FormValue::floating(FormValueType::Single, 0.25)},
      {"Tenth", FormValue::floating(FormValueType::Single, 0.1f)},
      {"Money", FormValue::currency(123456)},
      {"When", FormValue::floating(FormValueType::Date, 45000.5)},
      {"Picture.Data", FormValue::binary({0x0A, 0x0B, 0x0C, 0xFF, 0x00})},
      {"FocusControl", FormValue::identifier("Form1.Edit1")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.property);
    const FormValue* value = form.property(c.property);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, c.expected);
  }

  const auto& items = form.property("Strings.Items")->listItems();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].text(), "a");
  EXPECT_EQ(items[2].integer(), -3);
  EXPECT_EQ(items[3].listItems().size(), 2u);

  const auto& columns = form.property("Columns")->collectionItems();
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_FALSE(columns[0].order.has_value());
  EXPECT_EQ(columns[0].property("Width")->integer(), 120);
  EXPECT_EQ(columns[1].order, 3);
  EXPECT_EQ(columns[1].property("Caption")->text(), "Size");
  EXPECT_TRUE(form.property("EmptyColumns")->collectionItems().empty());

  ASSERT_EQ(form.children.size(), 3u);
  EXPECT_EQ(form.children[0].property("Tag")->integer(), 1);
  EXPECT_TRUE(form.children[1].inherited);
  EXPECT_EQ(form.children[1].childPos, 2);
  EXPECT_EQ(form.children[1].children.at(0).className, "TBevel");
  EXPECT_EQ(form.children[1].children.at(0).name, "");
  EXPECT_TRUE(form.children[2].isInline);
}

TEST(FormText, BinaryFormReadsBackAsTheSameTree) {
  const FormObject parsed = parseFormText(kWelcome);
  const std::vector<uint8_t> file = formTextToBinary(kWelcome);
  EXPECT_EQ(readFormFile(file), parsed);
  EXPECT_EQ(readFormFile(writeFormStream(parsed)), parsed);
}

TEST(FormText, LongStringsBecomeLongTexts) {
  const std::string longText(300, 'x');
  const FormObject form = parseFormText("object F: TForm\n  Caption = '" + longText + "'\nend\n");
  EXPECT_EQ(form.property("Caption")->type(), FormValueType::LString);
  EXPECT_EQ(readFormFile(formTextToBinary("object F: TForm\n  Caption = '" + longText + "'\nend\n")), form);
}

TEST(FormText, WritesTheExpectedBytes) {
  const std::vector<uint8_t> expected = {
      0xFF, 0x0A, 0x00, 'T', 'F', 'O', 'R', 'M', '1', 0x00, 0x30, 0x10,  // resource header
      26, 0, 0, 0,                                                          // stream size
      'T', 'P', 'F', '0',
      6, 'T', 'F', 'o', 'r', 'm', '1', 5, 'F', 'o', 'r', 'm', '1',
      4, 'L', 'e', 'f', 't', 2, 10,
      0,  // end of properties
      0,  // end of children
  };
  EXPECT_EQ(formTextToBinary("object Form1: TForm1\n  Left = 10\nend"), expected);
}

std::string errorOf(std::string_view text) {
  try {
    parseFormText(text);
  } catch (const EngineError& error) {
    return error.what();
  }
  return "no error";
}

TEST(FormText, ErrorsNameTheLine) {
  std::string deep;
  for (int i = 0; i < kMaxFormNesting + 1; ++i) deep += "object P: TPanel\n";
  for (int i = 0; i < kMaxFormNesting + 1; ++i) deep += "end\n";
  struct Case {
    std::string text;
    const char* expected;
  };
  const Case cases[] = {
      {"object F: TForm\n  Caption = 'open\nend", "line 2: the string is not closed"},
      {"object F: TForm\n  Left = 10\n", "line 3: expected \"end\""},
      {"object F: TForm\n  Data = {0G}\nend", "line 2: \"G\" is not a hexadecimal digit"},
      {"object F: TForm\n\n  Data = {ABC}\nend", "line 3: the binary data has an odd number"},
      {"object F: TForm\n  Data = {AB", "line 2: the binary data is not closed"},
      {"object F: TForm\n  Left = 99999999999999999999\nend", "line 2: the integer 99999999999999999999 is too large"},
      {"object F: TForm\n  Items = (Null)\nend", "line 2: Null cannot be an item"},
      {"object F: TForm\n  Caption = #70000\nend", "line 2: the character code is larger than 65535"},
      {"object F: TForm\n  Caption = 'a' +\nend", "line 3: expected a string after \"+\""},
      {"object F: TForm\n  Left\nend", "line 3: expected \"=\""},
      {"object F: TForm\n  Left = \nend", "line 3: expected \"end\" (found the end of the text)"},
      {"object F: TForm\nend\nobject G: TForm\nend", "line 3: unexpected text"},
      {"form F: TForm\nend", "line 1: expected \"object\""},
      {"object F: TForm\n  Cols = <\n  Caption = 'x'\n  end>\nend", "line 3: expected \"item\""},
      {"object F: TForm\n  Set = [a, 1]\nend", "line 2: expected a set element"},
      {"object F: TForm [x]\nend", "line 1: expected an integer"},
      {"object F: TForm\n  Left = 1.5.5\nend", "line 2"},
      {"object F: TForm\n  Left = -\nend", "line 3: expected a number"},
      {"", "line 1: expected \"object\""},
      {deep, "nest deeper"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string message = errorOf(c.text);
    EXPECT_NE(message.find(c.expected), std::string::npos) << message;
  }
}

TEST(FormText, NestingUpToTheLimitIsAccepted) {
  std::string deep;
  for (int i = 0; i < kMaxFormNesting; ++i) deep += "object P: TPanel\n";
  for (int i = 0; i < kMaxFormNesting; ++i) deep += "end\n";
  EXPECT_NO_THROW(readFormFile(formTextToBinary(deep)));
}

TEST(FormText, ExtremeIntegersKeepTheirValue) {
  const FormObject form = parseFormText(
      "object F: TForm\n  Min = -9223372036854775808\n  Max = 9223372036854775807\n  Edge = -128\n"
      "  Over = 128\nend");
  EXPECT_EQ(form.property("Min")->integer(), INT64_MIN);
  EXPECT_EQ(form.property("Max")->integer(), INT64_MAX);
  EXPECT_EQ(form.property("Edge")->type(), FormValueType::Int8);
  EXPECT_EQ(form.property("Over")->type(), FormValueType::Int16);
  EXPECT_EQ(readFormFile(formTextToBinary(
                "object F: TForm\n  Min = -9223372036854775808\n  Max = 9223372036854775807\n  Edge = -128\n"
                "  Over = 128\nend")),
            form);
}

}  // namespace
}  // namespace kox
