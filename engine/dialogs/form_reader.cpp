#include "engine/dialogs/form_reader.h"

#include <bit>
#include <cstring>

#include "engine/base/error.h"
#include "engine/dialogs/extended_float.h"

namespace kox {

namespace {

constexpr uint8_t kResourceHeaderMark = 0xFF;
constexpr uint16_t kResourceTypeRcData = 10;
constexpr uint8_t kPrefixMark = 0xF0;
constexpr uint8_t kFlagInherited = 1;
constexpr uint8_t kFlagChildPos = 2;
constexpr uint8_t kFlagInline = 4;

class FormStreamReader {
 public:
  explicit FormStreamReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // form-file = [ resource-header ] "TPF0" object
  FormObject formFile() {
    if (!bytes_.empty() && bytes_[0] == kResourceHeaderMark) resourceHeader();
    if (remaining() < 4 || std::memcmp(bytes_.data() + offset_, "TPF0", 4) != 0)
      fail("the signature \"TPF0\" is missing");
    offset_ += 4;
    return object();
  }

 private:
  // resource-header = 0xFF type-word name flags-word size-dword
  void resourceHeader() {
    ++offset_;
    const uint16_t type = readLittleEndian<uint16_t>("the resource type");
    if (type != kResourceTypeRcData) fail("the resource type is " + std::to_string(type) + ", not 10");
    if (peekByte("the resource name") == kResourceHeaderMark) {
      ++offset_;
      readLittleEndian<uint16_t>("the resource ordinal");
    } else {
      while (readByte("the resource name") != 0) {
      }
    }
    readLittleEndian<uint16_t>("the resource flags");
    const uint32_t size = readLittleEndian<uint32_t>("the resource size");
    if (size > remaining())
      fail("the resource header announces " + std::to_string(size) + " bytes but only " +
           std::to_string(remaining()) + " follow");
    bytes_ = bytes_.first(offset_ + size);
  }

  // object = [ prefix ] class-name object-name { property } 0 { object } 0
  FormObject object() {
    const NestingGuard guard(*this);
    FormObject result;
    if ((peekByte("an object") & 0xF0) == kPrefixMark) {
      const uint8_t flags = readByte("an object") & 0x0F;
      result.inherited = (flags & kFlagInherited) != 0;
      result.isInline = (flags & kFlagInline) != 0;
      if (flags & kFlagChildPos) result.childPos = integerValue("the child position");
    }
    result.className = shortString("a class name");
    result.name = shortString("an object name");
    result.properties = properties();
    while (peekByte("the children of " + describe(result)) != 0) result.children.push_back(object());
    ++offset_;
    return result;
  }

  // properties = { name value } 0
  std::vector<FormProperty> properties() {
    std::vector<FormProperty> result;
    while (peekByte("a property name") != 0) {
      FormProperty property;
      property.name = shortString("a property name");
      property.value = value(property.name);
      result.push_back(std::move(property));
    }
    ++offset_;
    return result;
  }

  // value = type-byte payload
  FormValue value(const std::string& owner) {
    const size_t start = offset_;
    const uint8_t tag = readByte("the value of " + owner);
    if (tag > kLastFormValueType)
      throw EngineError("unsupported value type " + std::to_string(tag) + " for " + owner + " at offset " +
                        std::to_string(start));
    const auto type = static_cast<FormValueType>(tag);
    const std::string what = std::string(formValueTypeName(type)) + " value of " + owner;
    switch (type) {
      case FormValueType::Null:
        return FormValue::null();
      case FormValueType::Nil:
        return FormValue::nil();
      case FormValueType::False:
        return FormValue::boolean(false);
      case FormValueType::True:
        return FormValue::boolean(true);
      case FormValueType::Int8:
        return FormValue::integerOfType(type, readLittleEndian<int8_t>(what));
      case FormValueType::Int16:
        return FormValue::integerOfType(type, readLittleEndian<int16_t>(what));
      case FormValueType::Int32:
        return FormValue::integerOfType(type, readLittleEndian<int32_t>(what));
      case FormValueType::Int64:
        return FormValue::integerOfType(type, readLittleEndian<int64_t>(what));
      case FormValueType::Currency:
        return FormValue::currency(readLittleEndian<int64_t>(what));
      case FormValueType::Extended: {
        ExtendedBytes raw{};
        std::memcpy(raw.data(), take(raw.size(), what), raw.size());
        return FormValue::floating(type, extendedToDouble(raw));
      }
      case FormValueType::Single:
        return FormValue::floating(type, std::bit_cast<float>(readLittleEndian<uint32_t>(what)));
      case FormValueType::Double:
      case FormValueType::Date:
        return FormValue::floating(type, std::bit_cast<double>(readLittleEndian<uint64_t>(what)));
      case FormValueType::String:
        return FormValue::stringOfType(type, shortString(what));
      case FormValueType::Ident:
        return FormValue::identifier(shortString(what));
      case FormValueType::LString:
      case FormValueType::UTF8String:
        return FormValue::stringOfType(type, longString(what));
      case FormValueType::WString:
        return FormValue::wideString(wideString(what));
      case FormValueType::Binary: {
        const uint32_t length = readLittleEndian<uint32_t>(what);
        const uint8_t* data = take(length, what);
        return FormValue::binary(std::vector<uint8_t>(data, data + length));
      }
      case FormValueType::Set:
        return FormValue::set(setItems(what));
      case FormValueType::List:
        return FormValue::list(listItems(owner));
      case FormValueType::Collection:
        return FormValue::collection(collectionItems(owner));
    }
    fail("unreachable value type");
  }

  // set = { short-string } empty-short-string
  std::vector<std::string> setItems(const std::string& what) {
    std::vector<std::string> items;
    for (;;) {
      std::string item = shortString(what);
      if (item.empty()) return items;
      items.push_back(std::move(item));
    }
  }

  // list = { value } Null
  std::vector<FormValue> listItems(const std::string& owner) {
    const NestingGuard guard(*this);
    std::vector<FormValue> items;
    while (peekByte("the end of the list " + owner) != static_cast<uint8_t>(FormValueType::Null)) {
      items.push_back(value("an item of " + owner));
    }
    ++offset_;
    return items;
  }

  // collection = { [ integer-value ] List properties } Null
  std::vector<FormCollectionItem> collectionItems(const std::string& owner) {
    const NestingGuard guard(*this);
    std::vector<FormCollectionItem> items;
    while (peekByte("the end of the collection " + owner) != static_cast<uint8_t>(FormValueType::Null)) {
      FormCollectionItem item;
      const uint8_t next = peekByte("a collection item");
      if (next == static_cast<uint8_t>(FormValueType::Int8) || next == static_cast<uint8_t>(FormValueType::Int16) ||
          next == static_cast<uint8_t>(FormValueType::Int32)) {
        item.order = integerValue("the order of a collection item");
      }
      const size_t start = offset_;
      if (readByte("a collection item") != static_cast<uint8_t>(FormValueType::List))
        failAt(start, "a collection item of " + owner + " does not start with a List tag");
      item.properties = properties();
      items.push_back(std::move(item));
    }
    ++offset_;
    return items;
  }

  // integer-value = (Int8 | Int16 | Int32) payload
  int64_t integerValue(const std::string& what) {
    const size_t start = offset_;
    switch (static_cast<FormValueType>(readByte(what))) {
      case FormValueType::Int8:
        return readLittleEndian<int8_t>(what);
      case FormValueType::Int16:
        return readLittleEndian<int16_t>(what);
      case FormValueType::Int32:
        return readLittleEndian<int32_t>(what);
      default:
        failAt(start, what + " is not an integer");
    }
  }

  std::string shortString(const std::string& what) {
    const uint8_t length = readByte(what);
    const auto* data = reinterpret_cast<const char*>(take(length, what));
    return std::string(data, length);
  }

  std::string longString(const std::string& what) {
    const uint32_t length = readLittleEndian<uint32_t>(what);
    const auto* data = reinterpret_cast<const char*>(take(length, what));
    return std::string(data, length);
  }

  std::u16string wideString(const std::string& what) {
    const uint32_t count = readLittleEndian<uint32_t>(what);
    const uint8_t* data = take(static_cast<uint64_t>(count) * 2, what);
    std::u16string text(count, u'\0');
    for (uint32_t i = 0; i < count; ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    return text;
  }

  template <typename T>
  T readLittleEndian(const std::string& what) {
    const uint8_t* data = take(sizeof(T), what);
    std::make_unsigned_t<T> value = 0;
    for (size_t i = sizeof(T); i-- > 0;) value = static_cast<std::make_unsigned_t<T>>((value << 8) | data[i]);
    return static_cast<T>(value);
  }

  uint8_t peekByte(const std::string& what) {
    if (remaining() < 1) fail("the stream ends inside " + what);
    return bytes_[offset_];
  }

  uint8_t readByte(const std::string& what) { return *take(1, what); }

  const uint8_t* take(uint64_t count, const std::string& what) {
    if (count > remaining()) fail("the stream ends inside " + what);
    const uint8_t* data = bytes_.data() + offset_;
    offset_ += static_cast<size_t>(count);
    return data;
  }

  size_t remaining() const { return bytes_.size() - offset_; }

  static std::string describe(const FormObject& object) {
    return object.name.empty() ? object.className : object.name;
  }

  [[noreturn]] void fail(const std::string& what) const { failAt(offset_, what); }
  [[noreturn]] static void failAt(size_t offset, const std::string& what) {
    throw EngineError("damaged form file: " + what + " at offset " + std::to_string(offset));
  }

  // Counts the open objects, lists and collections.
  class NestingGuard {
   public:
    explicit NestingGuard(FormStreamReader& reader) : reader_(reader) {
      if (++reader_.depth_ > kMaxFormNesting)
        reader_.fail("objects and values nest deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }
    ~NestingGuard() { --reader_.depth_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

   private:
    FormStreamReader& reader_;
  };

  std::span<const uint8_t> bytes_;
  size_t offset_ = 0;
  int depth_ = 0;
};

}  // namespace

FormObject readFormFile(std::span<const uint8_t> bytes) { return FormStreamReader(bytes).formFile(); }

}  // namespace kox
