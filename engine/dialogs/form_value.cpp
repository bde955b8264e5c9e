#include "engine/dialogs/form_value.h"

#include <limits>

#include "engine/base/error.h"
#include "engine/base/text.h"

namespace kox {

namespace {

constexpr const char* kTypeNames[] = {
    "Null",  "List",   "Int8",       "Int16",  "Int32",    "Extended", "String", "Ident",
    "False", "True",   "Binary",     "Set",    "LString",  "Nil",      "Collection",
    "Single", "Currency", "Date",    "WString", "Int64",   "UTF8String", "Double",
};
static_assert(std::size(kTypeNames) == kLastFormValueType + 1);

const FormValue* findProperty(const std::vector<FormProperty>& properties, std::string_view name) {
  for (const FormProperty& property : properties) {
    if (equalsIgnoreCase(property.name, name)) return &property.value;
  }
  return nullptr;
}

}  // namespace

const char* formValueTypeName(FormValueType type) {
  const auto index = static_cast<uint8_t>(type);
  return index <= kLastFormValueType ? kTypeNames[index] : "unknown";
}

std::optional<std::string> propertyText(const FormValue& value) {
  if (value.isInteger()) return std::to_string(value.integer());
  if (value.isBoolean()) return value.boolean() ? "True" : "False";
  if (value.isText()) return value.text();
  if (value.type() == FormValueType::Ident) return value.identifier();
  if (value.type() == FormValueType::Set) {
    std::string text = "[";
    for (const std::string& item : value.setItems()) {
      if (text.size() > 1) text += ',';
      text += item;
    }
    return text + "]";
  }
  return std::nullopt;
}

FormValue::FormValue(FormValueType type, Payload payload) : type_(type), payload_(std::move(payload)) {}

FormValue FormValue::null() { return FormValue(FormValueType::Null, std::monostate{}); }

FormValue FormValue::nil() { return FormValue(FormValueType::Nil, std::monostate{}); }

FormValue FormValue::boolean(bool value) {
  return FormValue(value ? FormValueType::True : FormValueType::False, std::monostate{});
}

FormValue FormValue::integer(int64_t value) {
  if (value >= std::numeric_limits<int8_t>::min() && value <= std::numeric_limits<int8_t>::max())
    return FormValue(FormValueType::Int8, value);
  if (value >= std::numeric_limits<int16_t>::min() && value <= std::numeric_limits<int16_t>::max())
    return FormValue(FormValueType::Int16, value);
  if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
    return FormValue(FormValueType::Int32, value);
  return FormValue(FormValueType::Int64, value);
}

FormValue FormValue::integerOfType(FormValueType type, int64_t value) {
  return FormValue(type, value);
}

FormValue FormValue::floating(FormValueType type, double value) { return FormValue(type, value); }

FormValue FormValue::currency(int64_t tenThousandths) {
  return FormValue(FormValueType::Currency, tenThousandths);
}

FormValue FormValue::string(std::string text) {
  const auto type = text.size() <= 255 ? FormValueType::String : FormValueType::LString;
  return FormValue(type, std::move(text));
}

FormValue FormValue::stringOfType(FormValueType type, std::string text) {
  return FormValue(type, std::move(text));
}

FormValue FormValue::wideString(std::u16string text) {
  return FormValue(FormValueType::WString, std::move(text));
}

FormValue FormValue::identifier(std::string name) {
  return FormValue(FormValueType::Ident, std::move(name));
}

FormValue FormValue::binary(std::vector<uint8_t> bytes) {
  return FormValue(FormValueType::Binary, std::move(bytes));
}

FormValue FormValue::set(std::vector<std::string> items) {
  return FormValue(FormValueType::Set, std::move(items));
}

FormValue FormValue::list(std::vector<FormValue> items) {
  return FormValue(FormValueType::List, std::move(items));
}

FormValue FormValue::collection(std::vector<FormCollectionItem> items) {
  return FormValue(FormValueType::Collection, std::move(items));
}

bool FormValue::isInteger() const {
  switch (type_) {
    case FormValueType::Int8:
    case FormValueType::Int16:
    case FormValueType::Int32:
    case FormValueType::Int64:
      return true;
    default:
      return false;
  }
}

bool FormValue::isNumber() const {
  return isInteger() || std::holds_alternative<double>(payload_) || type_ == FormValueType::Currency;
}

bool FormValue::isText() const {
  switch (type_) {
    case FormValueType::String:
    case FormValueType::LString:
    case FormValueType::UTF8String:
    case FormValueType::WString:
      return true;
    default:
      return false;
  }
}

void FormValue::wrongType(const char* wanted) const {
  throw EngineError(std::string("expected ") + wanted + " but the value is of type " +
                    formValueTypeName(type_));
}

int64_t FormValue::integer() const {
  if (!isInteger()) wrongType("an integer");
  return std::get<int64_t>(payload_);
}

double FormValue::number() const {
  if (isInteger()) return static_cast<double>(std::get<int64_t>(payload_));
  if (type_ == FormValueType::Currency) return static_cast<double>(std::get<int64_t>(payload_)) / 10000.0;
  if (const double* value = std::get_if<double>(&payload_)) return *value;
  wrongType("a number");
}

std::string FormValue::text() const {
  if (type_ == FormValueType::WString) {
    std::string narrow;
    for (char16_t unit : std::get<std::u16string>(payload_)) {
      narrow += unit <= 0xFF ? static_cast<char>(unit) : '?';
    }
    return narrow;
  }
  if (!isText()) wrongType("a text");
  return std::get<std::string>(payload_);
}

bool FormValue::boolean() const {
  if (!isBoolean()) wrongType("True or False");
  return type_ == FormValueType::True;
}

const std::string& FormValue::identifier() const {
  if (type_ != FormValueType::Ident) wrongType("an identifier");
  return std::get<std::string>(payload_);
}

const std::vector<std::string>& FormValue::setItems() const {
  if (type_ != FormValueType::Set) wrongType("a set");
  return std::get<std::vector<std::string>>(payload_);
}

const std::vector<FormValue>& FormValue::listItems() const {
  if (type_ != FormValueType::List) wrongType("a list");
  return std::get<std::vector<FormValue>>(payload_);
}

const std::vector<FormCollectionItem>& FormValue::collectionItems() const {
  if (type_ != FormValueType::Collection) wrongType("a collection");
  return std::get<std::vector<FormCollectionItem>>(payload_);
}

const std::vector<uint8_t>& FormValue::bytes() const {
  if (type_ != FormValueType::Binary) wrongType("binary data");
  return std::get<std::vector<uint8_t>>(payload_);
}

const std::u16string& FormValue::wideText() const {
  if (type_ != FormValueType::WString) wrongType("a wide text");
  return std::get<std::u16string>(payload_);
}

// Written out rather than defaulted: clang 14 crashes on a defaulted
// comparison of these mutually recursive types.
bool FormValue::operator==(const FormValue& other) const {
  return type_ == other.type_ && payload_ == other.payload_;
}

bool FormProperty::operator==(const FormProperty& other) const {
  return name == other.name && value == other.value;
}

bool FormCollectionItem::operator==(const FormCollectionItem& other) const {
  return order == other.order && properties == other.properties;
}

bool FormObject::operator==(const FormObject& other) const {
  return inherited == other.inherited && isInline == other.isInline && childPos == other.childPos &&
         className == other.className && name == other.name && properties == other.properties &&
         children == other.children;
}

const FormValue* FormCollectionItem::property(std::string_view name) const {
  return findProperty(properties, name);
}

const FormValue* FormObject::property(std::string_view propertyName) const {
  return findProperty(properties, propertyName);
}

const FormObject* FormObject::findDescendant(std::string_view objectName) const {
  for (const FormObject& child : children) {
    if (equalsIgnoreCase(child.name, objectName)) return &child;
    if (const FormObject* found = child.findDescendant(objectName)) return found;
  }
  return nullptr;
}

}  // namespace kox
