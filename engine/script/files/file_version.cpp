#include "engine/script/files/file_version.h"

#include <limits>

namespace kox {

FileVersion versionFromFixedInfo(uint32_t mostSignificant, uint32_t leastSignificant) {
  return FileVersion{{mostSignificant >> 16, mostSignificant & 0xFFFF, leastSignificant >> 16,
                      leastSignificant & 0xFFFF}};
}

FileVersion parseVersionText(std::string_view text) {
  FileVersion version;
  size_t part = 0;
  size_t at = 0;
  while (part < version.parts.size() && at <= text.size()) {
    size_t end = text.find('.', at);
    if (end == std::string_view::npos) end = text.size();
    uint64_t value = 0;
    for (size_t i = at; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
      value = value * 10 + static_cast<uint64_t>(text[i] - '0');
      if (value > std::numeric_limits<uint32_t>::max()) value = std::numeric_limits<uint32_t>::max();
    }
    version.parts[part++] = static_cast<uint32_t>(value);
    at = end + 1;
  }
  return version;
}

std::string versionText(const FileVersion& version) {
  std::string text;
  for (size_t i = 0; i < version.parts.size(); ++i) {
    if (i > 0) text += '.';
    text += std::to_string(version.parts[i]);
  }
  return text;
}

}  // namespace kox
