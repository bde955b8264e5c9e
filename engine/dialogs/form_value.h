// The tree that a dialog definition (form file) reads into: objects with
// named properties and nested child objects. Values keep the type tag they
// were stored with, so a tree written back gives the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kox {

// The value type tags of the form-file object stream, with their stored values.
enum class FormValueType : uint8_t {
  Null = 0,         // no data; also ends lists, sets of items and collections
  List = 1,         // values until a Null tag
  Int8 = 2,         // signed 8-bit
  Int16 = 3,        // signed 16-bit little-endian
  Int32 = 4,        // signed 32-bit little-endian
  Extended = 5,     // 80-bit x87 float (10 bytes)
  String = 6,       // 8-bit length, then the characters
  Ident = 7,        // as String; an identifier (enumeration, colour, component)
  False = 8,        // no data
  True = 9,         // no data
  Binary = 10,      // 32-bit length, then the bytes
  Set = 11,         // short strings until an empty one
  LString = 12,     // 32-bit length, then the characters
  Nil = 13,         // no data; an unassigned reference
  Collection = 14,  // items until a Null tag (see form_reader.h)
  Single = 15,      // 32-bit IEEE float
  Currency = 16,    // signed 64-bit count of 1/10000 units
  Date = 17,        // 64-bit IEEE double, days since 1899-12-30
  WString = 18,     // 32-bit count of UTF-16 code units, then the units
  Int64 = 19,       // signed 64-bit
  UTF8String = 20,  // 32-bit length, then UTF-8 bytes
  Double = 21,      // 64-bit IEEE float
};

constexpr uint8_t kLastFormValueType = static_cast<uint8_t>(FormValueType::Double);

const char* formValueTypeName(FormValueType type);

class FormValue;

// The text a property editor shows for a stored value: integers in decimal,
// "True" and "False", identifiers and strings as they are, sets as
// "[akLeft,akTop]". Other types (floats, binary data, lists, collections,
// Nil, Null) have no such text here: nullopt.
std::optional<std::string> propertyText(const FormValue& value);

struct FormCollectionItem;

class FormValue {
 public:
  // Payload by type: Null, Nil, False, True carry none; integers and Currency
  // an int64 (Currency counts 1/10000 units); Extended, Single, Date and Double
  // a double; String, LString, Ident and UTF8String a std::string; WString a
  // std::u16string; Binary bytes; Set its item names; List its values;
  // Collection its items.
  using Payload = std::variant<std::monostate, int64_t, double, std::string, std::u16string,
                               std::vector<uint8_t>, std::vector<std::string>, std::vector<FormValue>,
                               std::vector<FormCollectionItem>>;

  FormValue() = default;
  // Bodies live in the .cpp: the payload's types are complete only there.
  static FormValue null();
  static FormValue nil();
  static FormValue boolean(bool value);
  // The smallest integer type that holds the value.
  static FormValue integer(int64_t value);
  static FormValue integerOfType(FormValueType type, int64_t value);
  static FormValue floating(FormValueType type, double value);  // Extended, Single, Date, Double
  static FormValue currency(int64_t tenThousandths);
  // String when it fits a short string, otherwise LString.
  static FormValue string(std::string text);
  static FormValue stringOfType(FormValueType type, std::string text);  // String, LString, UTF8String
  static FormValue wideString(std::u16string text);
  static FormValue identifier(std::string name);
  static FormValue binary(std::vector<uint8_t> bytes);
  static FormValue set(std::vector<std::string> items);
  static FormValue list(std::vector<FormValue> items);
  static FormValue collection(std::vector<FormCollectionItem> items);

  FormValueType type() const { return type_; }
  const Payload& payload() const { return payload_; }

  bool isInteger() const;
  bool isNumber() const;  // an integer, a float or Currency
  bool isText() const;    // String, LString, UTF8String, WString
  bool isBoolean() const { return type_ == FormValueType::False || type_ == FormValueType::True; }

  // Typed accessors; each throws EngineError when the value has another type.
  int64_t integer() const;
  double number() const;
  // The characters of a text value. Wide code units above 255 have no 8-bit
  // form here and read as "?"; the Windows side converts them with the code page.
  std::string text() const;
  bool boolean() const;
  const std::string& identifier() const;
  const std::vector<std::string>& setItems() const;
  const std::vector<FormValue>& listItems() const;
  const std::vector<FormCollectionItem>& collectionItems() const;
  const std::vector<uint8_t>& bytes() const;
  const std::u16string& wideText() const;

  bool operator==(const FormValue&) const;

 private:
  FormValue(FormValueType type, Payload payload);
  [[noreturn]] void wrongType(const char* wanted) const;

  FormValueType type_ = FormValueType::Null;
  Payload payload_;
};

struct FormProperty {
  std::string name;  // may be dotted: "Font.Name"
  FormValue value;

  bool operator==(const FormProperty&) const;
};

struct FormCollectionItem {
  std::optional<int64_t> order;  // the optional index stored before the item
  std::vector<FormProperty> properties;

  const FormValue* property(std::string_view name) const;
  bool operator==(const FormCollectionItem&) const;
};

struct FormObject {
  bool inherited = false;              // "inherited" in the text form
  bool isInline = false;               // "inline" in the text form (a frame)
  std::optional<int64_t> childPos;     // "[n]" in the text form
  std::string className;
  std::string name;
  std::vector<FormProperty> properties;
  std::vector<FormObject> children;

  // The property of that name (letter case ignored), or nullptr.
  const FormValue* property(std::string_view propertyName) const;
  // The first object of that name among the descendants (depth first), or nullptr.
  const FormObject* findDescendant(std::string_view objectName) const;

  bool operator==(const FormObject&) const;
};

}  // namespace kox
