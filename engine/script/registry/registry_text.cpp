#include "engine/script/registry/registry_text.h"

#include <algorithm>
#include <array>

#include "engine/vars/script_variables.h"

namespace kox {

bool isRegistryMarker(std::string_view text) {
  static constexpr std::array markers = {kNoKeyMarker, kNoValueMarker, kUnknownTypeMarker, kReadErrorMarker,
                                         kBinaryValueMarker};
  return std::find(markers.begin(), markers.end(), text) != markers.end();
}

std::string dwordText(uint32_t value) { return std::to_string(static_cast<int32_t>(value)); }

std::string binaryText(std::span<const uint8_t> data) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(data.size() * 2);
  for (uint8_t byte : data) {
    text += digits[byte >> 4];
    text += digits[byte & 0x0F];
  }
  return text;
}

std::string stringValueText(std::span<const uint8_t> data) {
  auto end = std::find(data.begin(), data.end(), uint8_t{0});
  return std::string(data.begin(), end);
}

std::string multiStringText(std::span<const uint8_t> data) {
  std::string text;
  auto at = data.begin();
  bool first = true;
  while (at != data.end() && *at != 0) {
    auto end = std::find(at, data.end(), uint8_t{0});
    if (!first) text += kNewLineMarker;
    text.append(at, end);
    first = false;
    at = end == data.end() ? end : end + 1;
  }
  return text;
}

std::optional<int> registryRootCode(std::string_view text) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '4') return std::nullopt;
  return text[0] - '0';
}

std::string trimmedKeyPath(std::string_view path) {
  size_t first = path.find_first_not_of('\\');
  if (first == std::string_view::npos) return {};
  size_t last = path.find_last_not_of('\\');
  return std::string(path.substr(first, last - first + 1));
}

}  // namespace kox
