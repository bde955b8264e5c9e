#include "engine/script/values/win/registry_read.h"

#include <algorithm>
#include <vector>

#include "engine/base/win/handle.h"

namespace kox::win {
namespace {

UniqueRegKey openForReading(HKEY root, std::string_view key, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, std::string(key).c_str(), 0, KEY_READ | view, &opened) != ERROR_SUCCESS) return nullptr;
  return UniqueRegKey(opened);
}

}  // namespace

std::optional<std::string> ReadRegistryText(HKEY root, std::string_view key, std::string_view value, REGSAM view) {
  UniqueRegKey opened = openForReading(root, key, view);
  if (!opened) return std::nullopt;
  std::string name(value);
  // The size can grow between the two calls; retry a few times.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    DWORD read = size;
    LONG status = RegQueryValueExA(opened.get(), name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &read);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::string text(data.data(), std::min<size_t>(read, size));
    size_t end = text.find('\0');  // the stored terminator, if any
    if (end != std::string::npos) text.resize(end);
    return text;
  }
  return std::nullopt;
}

std::optional<uint32_t> ReadRegistryNumber(HKEY root, std::string_view key, std::string_view value, REGSAM view) {
  UniqueRegKey opened = openForReading(root, key, view);
  if (!opened) return std::nullopt;
  DWORD type = 0;
  DWORD number = 0;
  DWORD size = sizeof(number);
  if (RegQueryValueExA(opened.get(), std::string(value).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD)
    return std::nullopt;
  return number;
}

}  // namespace kox::win
