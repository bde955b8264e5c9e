#include "engine/dialogs/form_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base/error.h"

namespace kox {
namespace {

// Builds form-file bytes by hand, following the published stream layout, so
// the reader is checked against the format and not against our own writer.
class Bytes {
 public:
  Bytes& raw(std::initializer_list<int> values) {
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Bytes& text(std::string_view s) {
    out.insert(out.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& shortString(std::string_view s) {
    out.push_back(static_cast<uint8_t>(s.size()));
    return text(s);
  }
  Bytes& u16(uint16_t v) { return raw({v & 0xFF, v >> 8}); }
  Bytes& u32(uint32_t v) { return raw({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)}); }
  Bytes& append(const std::vector<uint8_t>& more) {
    out.insert(out.end(), more.begin(), more.end());
    return *this;
  }
  std::vector<uint8_t> out;
};

std::vector<uint8_t> withResourceHeader(const std::vector<uint8_t>& stream) {
  return Bytes().raw({0xFF, 0x0A, 0x00}).text("TFORM1").raw({0}).u16(0x1030).u32(uint32_t(stream.size())).append(stream).out;
}

// TForm1 "Form1" with Left, Caption, Visible and one button child.
std::vector<uint8_t> sampleStream() {
  return Bytes()
      .text("TPF0")
      .shortString("TForm1").shortString("Form1")
      .shortString("Left").raw({3}).u16(300)
      .shortString("Caption").raw({6}).shortString("Hello")
      .shortString("Visible").raw({8})
      .raw({0})
      .shortString("TButton").shortString("Button1")
      .shortString("Tag").raw({2, 5})
      .raw({0})
      .raw({0})
      .raw({0})
      .out;
}

TEST(FormReader, ReadsObjectsPropertiesAndChildrenWithAndWithoutResourceHeader) {
  for (const auto& bytes : {sampleStream(), withResourceHeader(sampleStream())}) {
    const FormObject form = readFormFile(bytes);
    EXPECT_EQ(form.className, "TForm1");
    EXPECT_EQ(form.name, "Form1");
    ASSERT_EQ(form.properties.size(), 3u);
    EXPECT_EQ(form.property("left")->integer(), 300);
    EXPECT_EQ(form.property("Left")->type(), FormValueType::Int16);
    EXPECT_EQ(form.property("Caption")->text(), "Hello");
    EXPECT_FALSE(form.property("Visible")->boolean());
    EXPECT_EQ(form.property("Width"), nullptr);
    ASSERT_EQ(form.children.size(), 1u);
    EXPECT_EQ(form.children[0].className, "TButton");
    EXPECT_EQ(form.findDescendant("button1")->property("Tag")->integer(), 5);
    EXPECT_FALSE(form.inherited);
    EXPECT_FALSE(form.childPos.has_value());
  }
}

struct ValueCase {
  const char* name;
  std::vector<uint8_t> encoded;  // type byte and payload
  FormValue expected;
};

TEST(FormReader, DecodesEveryValueType) {
  const std::vector<ValueCase> cases = {
      {"Null", {0}, FormValue::null()},
      {"Nil", {13}, FormValue::nil()},
      {"True", {9}, FormValue::boolean(true)},
      {"Int8", {2, 0xFE}, FormValue::integerOfType(FormValueType::Int8, -2)},
      {"Int16", {3, 0x00, 0x80}, FormValue::integerOfType(FormValueType::Int16, -32768)},
      {"Int32", {4, 0x78, 0x56, 0x34, 0x12}, FormValue::integerOfType(FormValueType::Int32, 0x12345678)},
      {"Int64", {19, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, FormValue::integerOfType(FormValueType::Int64, -1)},
      {"Extended 1.5", {5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}, FormValue::floating(FormValueType::Extended, 1.5)},
      {"Extended -0.25", {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFD, 0xBF}, FormValue::floating(FormValueType::Extended, -0.25)},
      {"Single 1.5", {15, 0x00, 0x00, 0xC0, 0x3F}, FormValue::floating(FormValueType::Single, 1.5)},
      {"Double 1.5", {21, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}, FormValue::floating(FormValueType::Double, 1.5)},
      {"Date 2.0", {17, 0, 0, 0, 0, 0, 0, 0x00, 0x40}, FormValue::floating(FormValueType::Date, 2.0)},
      {"Currency 1.5", {16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}, FormValue::currency(15000)},
      {"String", {6, 2, 'h', 'i'}, FormValue::stringOfType(FormValueType::String, "hi")},
      {"Ident", {7, 7, 'c', 'l', 'W', 'h', 'i', 't', 'e'}, FormValue::identifier("clWhite")},
      {"LString", {12, 3, 0, 0, 0, 'a', 'b', 'c'}, FormValue::stringOfType(FormValueType::LString, "abc")},
      {"UTF8String", {20, 2, 0, 0, 0, 0xC3, 0xA9}, FormValue::stringOfType(FormValueType::UTF8String, "\xC3\xA9")},
      {"WString", {18, 3, 0, 0, 0, 'A', 0, 0xE9, 0, 0xAC, 0x20}, FormValue::wideString(u"A\u00E9\u20AC")},
      {"Binary", {10, 3, 0, 0, 0, 0x00, 0xFF, 0x10}, FormValue::binary({0x00, 0xFF, 0x10})},
      {"empty Binary", {10, 0, 0, 0, 0}, FormValue::binary({})},
      {"Set", {11, 6, 'a', 'k', 'L', 'e', 'f', 't', 5, 'a', 'k', 'T', 'o', 'p', 0}, FormValue::set({"akLeft", "akTop"})},
      {"empty Set", {11, 0}, FormValue::set({})},
      {"List", {1, 2, 7, 6, 1, 'a', 1, 0, 0},
       FormValue::list({FormValue::integerOfType(FormValueType::Int8, 7), FormValue::stringOfType(FormValueType::String, "a"),
                        FormValue::list({})})},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> bytes = Bytes()
                                           .text("TPF0")
                                           .shortString("TForm").shortString("")
                                           .shortString("P").append(c.encoded)
                                           .raw({0, 0})
                                           .out;
    const FormObject form = readFormFile(bytes);
    ASSERT_EQ(form.properties.size(), 1u);
    EXPECT_EQ(form.properties[0].value, c.expected);
  }
}

TEST(FormReader, ReadsCollectionsWithAndWithoutItemOrder) {
  const std::vector<uint8_t> bytes = Bytes()
                                         .text("TPF0")
                                         .shortString("TListView").shortString("List1")
                                         .shortString("Columns").raw({14})
                                         .raw({1}).shortString("Caption").raw({6}).shortString("Name").raw({0})
                                         .raw({2, 4, 1}).shortString("Width").raw({3}).u16(200).raw({0})
                                         .raw({0})
                                         .raw({0, 0})
                                         .out;
  const FormObject form = readFormFile(bytes);
  const auto& items = form.property("Columns")->collectionItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].order.has_value());
  EXPECT_EQ(items[0].property("caption")->text(), "Name");
  EXPECT_EQ(items[1].order, 4);
  EXPECT_EQ(items[1].property("Width")->integer(), 200);
}

TEST(FormReader, ReadsPrefixFlagsAndChildPosition) {
  const std::vector<uint8_t> bytes = Bytes()
                                         .text("TPF0")
                                         .raw({0xF1}).shortString("TForm2").shortString("Form2").raw({0})
                                         .raw({0xF2, 3, 0x2C, 0x01}).shortString("TLabel").shortString("Label1").raw({0, 0})
                                         .raw({0xF4}).shortString("TFrame1").shortString("Frame1").raw({0, 0})
                                         .raw({0xF3, 2, 0}).shortString("TEdit").shortString("Edit1").raw({0, 0})
                                         .raw({0})
                                         .out;
  const FormObject form = readFormFile(bytes);
  EXPECT_TRUE(form.inherited);
  ASSERT_EQ(form.children.size(), 3u);
  EXPECT_EQ(form.children[0].childPos, 300);
  EXPECT_FALSE(form.children[0].inherited);
  EXPECT_TRUE(form.children[1].isInline);
  EXPECT_FALSE(form.children[1].childPos.has_value());
  EXPECT_TRUE(form.children[2].inherited);
  EXPECT_EQ(form.children[2].childPos, 0);
}

TEST(FormReader, AcceptsAnOrdinalResourceNameAndIgnoresBytesAfterTheResource) {
  std::vector<uint8_t> bytes =
      Bytes().raw({0xFF, 0x0A, 0x00, 0xFF, 0x01, 0x00}).u16(0x1030).u32(uint32_t(sampleStream().size())).append(sampleStream()).out;
  bytes.push_back(0xAB);  // padding behind the resource
  EXPECT_EQ(readFormFile(bytes).name, "Form1");
}

TEST(FormReader, EveryTruncationOfAValidFileIsReportedAsDamage) {
  const std::vector<uint8_t> full = withResourceHeader(sampleStream());
  for (size_t length = 0; length < full.size(); ++length) {
    SCOPED_TRACE(length);
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(length));
    EXPECT_THROW(readFormFile(cut), EngineError);
  }
  // The stream alone, cut short: the resource size cannot hide the truncation.
  const std::vector<uint8_t> stream = sampleStream();
  for (size_t length = 0; length < stream.size(); ++length) {
    const std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<long>(length));
    EXPECT_THROW(readFormFile(cut), EngineError);
  }
}

std::string errorOf(const std::vector<uint8_t>& bytes) {
  try {
    readFormFile(bytes);
  } catch (const EngineError& error) {
    return error.what();
  }
  return "no error";
}

TEST(FormReader, NamesWhatIsWrongInADamagedFile) {
  auto oneProperty = [](std::initializer_list<int> value) {
    return Bytes().text("TPF0").shortString("TForm").shortString("F").shortString("P").raw(value).raw({0, 0}).out;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"no signature", Bytes().text("TPF1").raw({0, 0, 0, 0}).out, "\"TPF0\" is missing"},
      {"resource larger than the file", Bytes().raw({0xFF, 0x0A, 0, 'X', 0}).u16(0x1030).u32(1000).text("TPF0").out,
       "announces 1000 bytes"},
      {"not an RCDATA resource", Bytes().raw({0xFF, 0x05, 0, 'X', 0}).u16(0).u32(0).out, "resource type is 5"},
      {"unknown value type", oneProperty({22}), "unsupported value type 22"},
      {"binary longer than the file", oneProperty({10, 0xFF, 0xFF, 0xFF, 0xFF}), "ends inside"},
      {"wide text longer than the file", oneProperty({18, 0xFF, 0xFF, 0xFF, 0x7F, 'A', 0}), "ends inside"},
      {"long text longer than the file", oneProperty({12, 0x00, 0x00, 0x00, 0x80}), "ends inside"},
      {"collection item without List tag", oneProperty({14, 6, 0}), "does not start with a List tag"},
      {"child position not an integer", Bytes().text("TPF0").raw({0xF2, 6, 0}).out, "child position is not an integer"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string message = errorOf(c.bytes);
    EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    EXPECT_NE(message.find("offset"), std::string::npos) << message;
  }
}

std::vector<uint8_t> nestedLists(int depth) {
  Bytes bytes;
  bytes.text("TPF0").shortString("TForm").shortString("F").shortString("P");
  for (int i = 0; i < depth; ++i) bytes.raw({1});
  for (int i = 0; i < depth; ++i) bytes.raw({0});
  return bytes.raw({0, 0}).out;
}

std::vector<uint8_t> nestedObjects(int depth) {
  Bytes bytes;
  bytes.text("TPF0");
  for (int i = 0; i < depth; ++i) bytes.shortString("TPanel").shortString("P").raw({0});
  for (int i = 0; i < depth; ++i) bytes.raw({0});
  return bytes.out;
}

TEST(FormReader, BoundsTheNestingDepth) {
  // The root object is one level, each list one more.
  EXPECT_NO_THROW(readFormFile(nestedLists(kMaxFormNesting - 1)));
  EXPECT_NE(errorOf(nestedLists(kMaxFormNesting)).find("nest deeper"), std::string::npos);
  EXPECT_NE(errorOf(nestedLists(100000)).find("nest deeper"), std::string::npos);

  EXPECT_EQ(readFormFile(nestedObjects(kMaxFormNesting)).children.size(), 1u);
  EXPECT_NE(errorOf(nestedObjects(kMaxFormNesting + 1)).find("nest deeper"), std::string::npos);
}

}  // namespace
}  // namespace kox

namespace kox {
namespace {

TEST(FormValueText, PropertyEditorTexts) {
  struct Case {
    FormValue value;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {FormValue::integer(-42), "-42"},
      {FormValue::integerOfType(FormValueType::Int64, 5000000000), "5000000000"},
      {FormValue::boolean(true), "True"},
      {FormValue::boolean(false), "False"},
      {FormValue::identifier("clBtnFace"), "clBtnFace"},
      {FormValue::string("It's"), "It's"},
      {FormValue::wideString(u"A\u00E9\u20AC"), "A\xE9?"},
      {FormValue::set({"akLeft", "akTop"}), "[akLeft,akTop]"},
      {FormValue::set({}), "[]"},
      {FormValue::floating(FormValueType::Double, 1.5), std::nullopt},
      {FormValue::binary({1}), std::nullopt},
      {FormValue::nil(), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(propertyText(c.value), c.text) << formValueTypeName(c.value.type());
}

TEST(FormValueText, TypedAccessorsRefuseOtherTypes) {
  EXPECT_THROW(FormValue::string("5").integer(), EngineError);
  EXPECT_THROW(FormValue::integer(1).boolean(), EngineError);
  EXPECT_THROW(FormValue::identifier("x").text(), EngineError);
  EXPECT_THROW(FormValue::list({}).setItems(), EngineError);
  EXPECT_EQ(FormValue::currency(15000).number(), 1.5);
  EXPECT_EQ(FormValue::integer(3).number(), 3.0);
}

}  // namespace
}  // namespace kox
