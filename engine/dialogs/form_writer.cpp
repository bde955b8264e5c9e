#include "engine/dialogs/form_writer.h"

#include <bit>
#include <limits>

#include "engine/base/error.h"
#include "engine/base/text.h"
#include "engine/dialogs/extended_float.h"

namespace kox {

namespace {

constexpr uint16_t kResourceFlags = 0x1030;  // moveable, pure, discardable

class FormStreamWriter {
 public:
  std::vector<uint8_t> take() { return std::move(out_); }

  void object(const FormObject& object) {
    const uint8_t flags = (object.inherited ? 1 : 0) | (object.childPos ? 2 : 0) | (object.isInline ? 4 : 0);
    if (flags != 0) {
      byte(0xF0 | flags);
      if (object.childPos) integerValue(*object.childPos, "the child position of " + object.name);
    }
    // Without a prefix, a class name of 240 characters or more would read back as one.
    if (flags == 0 && object.className.size() >= 0xF0)
      throw EngineError("the class name " + object.className.substr(0, 40) + "... is too long");
    shortString(object.className, "class name " + object.className);
    shortString(object.name, "object name " + object.name);
    properties(object.properties);
    for (const FormObject& child : object.children) this->object(child);
    byte(0);
  }

 private:
  void properties(const std::vector<FormProperty>& properties) {
    for (const FormProperty& property : properties) {
      if (property.name.empty()) throw EngineError("a property has no name");
      shortString(property.name, "property name " + property.name);
      value(property.value, property.name);
    }
    byte(0);
  }

  void value(const FormValue& value, const std::string& owner) {
    const FormValueType type = value.type();
    byte(static_cast<uint8_t>(type));
    switch (type) {
      case FormValueType::Null:
      case FormValueType::Nil:
      case FormValueType::False:
      case FormValueType::True:
        return;
      case FormValueType::Int8:
        return checkedInteger<int8_t>(value.integer(), owner);
      case FormValueType::Int16:
        return checkedInteger<int16_t>(value.integer(), owner);
      case FormValueType::Int32:
        return checkedInteger<int32_t>(value.integer(), owner);
      case FormValueType::Int64:
        return littleEndian<uint64_t>(static_cast<uint64_t>(value.integer()));
      case FormValueType::Currency:
        return littleEndian<uint64_t>(static_cast<uint64_t>(std::get<int64_t>(value.payload())));
      case FormValueType::Extended: {
        const ExtendedBytes raw = doubleToExtended(value.number());
        out_.insert(out_.end(), raw.begin(), raw.end());
        return;
      }
      case FormValueType::Single:
        return littleEndian<uint32_t>(std::bit_cast<uint32_t>(static_cast<float>(value.number())));
      case FormValueType::Double:
      case FormValueType::Date:
        return littleEndian<uint64_t>(std::bit_cast<uint64_t>(value.number()));
      case FormValueType::String:
        return shortString(value.text(), "the text of " + owner);
      case FormValueType::Ident:
        return shortString(value.identifier(), "the identifier of " + owner);
      case FormValueType::LString:
      case FormValueType::UTF8String:
        return counted(value.text(), owner);
      case FormValueType::WString: {
        const std::u16string& text = value.wideText();
        lengthWord(text.size(), owner);
        for (char16_t unit : text) littleEndian<uint16_t>(unit);
        return;
      }
      case FormValueType::Binary: {
        const std::vector<uint8_t>& data = value.bytes();
        lengthWord(data.size(), owner);
        out_.insert(out_.end(), data.begin(), data.end());
        return;
      }
      case FormValueType::Set:
        for (const std::string& item : value.setItems()) {
          if (item.empty()) throw EngineError("the set " + owner + " has an empty item");
          shortString(item, "an item of " + owner);
        }
        return byte(0);
      case FormValueType::List:
        for (const FormValue& item : value.listItems()) {
          if (item.type() == FormValueType::Null) throw EngineError("the list " + owner + " holds a Null item");
          this->value(item, owner);
        }
        return byte(0);
      case FormValueType::Collection:
        for (const FormCollectionItem& item : value.collectionItems()) {
          if (item.order) integerValue(*item.order, "the order of an item of " + owner);
          byte(static_cast<uint8_t>(FormValueType::List));
          properties(item.properties);
        }
        return byte(0);
    }
  }

  // An order or child position: the smallest of Int8, Int16, Int32.
  void integerValue(int64_t number, const std::string& what) {
    const FormValue smallest = FormValue::integer(number);
    if (smallest.type() == FormValueType::Int64) throw EngineError(what + " is too large");
    value(smallest, what);
  }

  template <typename T>
  void checkedInteger(int64_t number, const std::string& owner) {
    if (number < std::numeric_limits<T>::min() || number > std::numeric_limits<T>::max())
      throw EngineError("the value of " + owner + " does not fit its integer type");
    littleEndian<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(number));
  }

  void shortString(std::string_view text, const std::string& what) {
    if (text.size() > 255) throw EngineError(what + " is longer than 255 characters");
    byte(static_cast<uint8_t>(text.size()));
    out_.insert(out_.end(), text.begin(), text.end());
  }

  void counted(std::string_view text, const std::string& owner) {
    lengthWord(text.size(), owner);
    out_.insert(out_.end(), text.begin(), text.end());
  }

  void lengthWord(size_t length, const std::string& owner) {
    if (length > std::numeric_limits<uint32_t>::max()) throw EngineError("the value of " + owner + " is too long");
    littleEndian<uint32_t>(static_cast<uint32_t>(length));
  }

  template <typename T>
  void littleEndian(T value) {
    for (size_t i = 0; i < sizeof(T); ++i) byte(static_cast<uint8_t>(value >> (8 * i)));
  }

  void byte(uint8_t value) { out_.push_back(value); }

  std::vector<uint8_t> out_;
};

}  // namespace

std::vector<uint8_t> writeFormStream(const FormObject& root) {
  FormStreamWriter writer;
  const char signature[] = "TPF0";
  std::vector<uint8_t> out(signature, signature + 4);
  writer.object(root);
  const std::vector<uint8_t> body = writer.take();
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> writeFormFile(const FormObject& root) {
  const std::vector<uint8_t> stream = writeFormStream(root);
  std::vector<uint8_t> out = {0xFF, 10, 0};
  const std::string name = toUpperAscii(root.className);
  if (name.find('\0') != std::string::npos) throw EngineError("the class name holds a NUL character");
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
  out.push_back(kResourceFlags & 0xFF);
  out.push_back(kResourceFlags >> 8);
  if (stream.size() > std::numeric_limits<uint32_t>::max()) throw EngineError("the form is too large");
  const auto size = static_cast<uint32_t>(stream.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
  out.insert(out.end(), stream.begin(), stream.end());
  return out;
}

}  // namespace kox
