#include "archive/sevenzip/entry_path.h"

#include "archive/sevenzip/errors.h"

namespace kox::sevenzip {
namespace {

char16_t lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

// Windows opens these names as devices in every folder, with any extension.
bool isDeviceName(const std::u16string& part) {
  std::u16string base;
  for (char16_t c : part) {
    if (c == u'.') break;
    base.push_back(lower(c));
  }
  while (!base.empty() && base.back() == u' ') base.pop_back();
  static const char16_t* kDevices[] = {u"con", u"prn", u"aux", u"nul", u"conin$", u"conout$"};
  for (const char16_t* device : kDevices)
    if (base == device) return true;
  if (base.size() == 4 && (base.compare(0, 3, u"com") == 0 || base.compare(0, 3, u"lpt") == 0) &&
      base[3] >= u'0' && base[3] <= u'9')
    return true;
  return false;
}

[[noreturn]] void refuse(const std::u16string& name, const char* why) {
  fail(ErrorKind::UnsafePath, "entry \"" + utf16ToUtf8(name) + "\" " + why);
}

}  // namespace

std::vector<std::u16string> safeEntryPath(const std::u16string& name) {
  if (name.empty()) refuse(name, "has no name");
  if (name[0] == u'/' || name[0] == u'\\') refuse(name, "has an absolute path");
  std::vector<std::u16string> parts;
  std::u16string part;
  auto finishPart = [&]() {
    if (part.empty()) return;
    // Windows drops trailing dots and spaces, so "..", ". ." and "..." all
    // mean a parent or the folder itself.
    bool onlyDotsAndSpaces = part.find_first_not_of(u". ") == std::u16string::npos;
    if (onlyDotsAndSpaces) refuse(name, "climbs out of the target folder");
    if (part.find(u':') != std::u16string::npos) refuse(name, "names a drive or a data stream");
    if (isDeviceName(part)) refuse(name, "names a device");
    for (char16_t c : part)
      if (c < 0x20) refuse(name, "holds a control character");
    parts.push_back(std::move(part));
    part.clear();
  };
  for (char16_t c : name) {
    if (c == u'/' || c == u'\\') {
      finishPart();
    } else {
      part.push_back(c);
    }
  }
  finishPart();
  if (parts.empty()) refuse(name, "has no name");
  return parts;
}

std::u16string joinEntryPath(const std::vector<std::u16string>& parts) {
  std::u16string path;
  for (const auto& part : parts) {
    if (!path.empty()) path.push_back(u'\\');
    path += part;
  }
  return path;
}

std::string utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string utf8ToUtf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    uint32_t c = 0xFFFD;
    size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
      ++i;
    } else {
      c = length == 1 ? b : b & (0x7F >> length);
      for (size_t k = 1; k < length; ++k) c = c << 6 | (static_cast<uint8_t>(text[i + k]) & 0x3F);
      i += length;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

}  // namespace kox::sevenzip
