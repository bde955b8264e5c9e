#include "engine/script/registry/registry_access.h"

#include <span>
#include <vector>

#include "engine/base/win/handle.h"
#include "engine/script/registry/registry_text.h"

namespace kox::win {

namespace {

UniqueRegKey openKey(HKEY root, const std::string& path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return UniqueRegKey(key);
}

// The value's type and data; the loop covers a value that grows between the
// size query and the read.
LONG queryValue(HKEY key, const std::string& name, DWORD& type, std::vector<uint8_t>& data) {
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    data.resize(size);
    result = RegQueryValueExA(key, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size);
    if (result == ERROR_SUCCESS) {
      data.resize(size);
      return result;
    }
  }
  return result;
}

// RegDeleteKeyExA exists from Windows XP x64 on; older systems only know the
// one view they have.
LONG deleteKey(HKEY parent, const std::string& name, uint32_t viewFlag) {
  using DeleteKeyExFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
  static const auto deleteKeyEx = [] {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (advapi == nullptr) advapi = LoadLibraryA("advapi32.dll");
    return reinterpret_cast<DeleteKeyExFn>(
        advapi ? reinterpret_cast<void*>(GetProcAddress(advapi, "RegDeleteKeyExA")) : nullptr);
  }();
  if (deleteKeyEx != nullptr && viewFlag != 0) return deleteKeyEx(parent, name.c_str(), viewFlag, 0);
  return RegDeleteKeyA(parent, name.c_str());
}

std::vector<std::string> subkeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[256];  // key names are at most 255 characters
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    LONG result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS) names.emplace_back(name, length);
  }
  return names;
}

}  // namespace

HKEY registryRoot(int code) {
  static const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS,
                               HKEY_CURRENT_CONFIG};
  return roots[code];
}

std::string readRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                              uint32_t viewFlag) {
  UniqueRegKey key = openKey(root, keyPath, viewFlag | KEY_READ);
  if (!key) return std::string(kNoKeyMarker);

  DWORD type = REG_NONE;
  std::vector<uint8_t> data;
  LONG result = queryValue(key.get(), valueName, type, data);
  if (result == ERROR_FILE_NOT_FOUND) return std::string(kNoValueMarker);
  if (result != ERROR_SUCCESS) return std::string(kReadErrorMarker);

  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:  // stored text, environment references left as they are
      return stringValueText(data);
    case REG_DWORD:
      if (data.size() != sizeof(uint32_t)) return std::string(kReadErrorMarker);
      return dwordText(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                       static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
    case REG_BINARY:
      return binaryText(data);
    case REG_MULTI_SZ:
      return multiStringText(data);
    default:
      return std::string(kUnknownTypeMarker);
  }
}

bool deleteRegistryKeyTree(HKEY root, const std::string& keyPath, uint32_t viewFlag) {
  {
    UniqueRegKey key = openKey(root, keyPath, viewFlag | KEY_READ);
    if (!key) return false;
    for (const std::string& name : subkeyNames(key.get())) {
      deleteRegistryKeyTree(key.get(), name, viewFlag);
    }
  }
  return deleteKey(root, keyPath, viewFlag) == ERROR_SUCCESS;
}

bool deleteRegistryValue(HKEY root, const std::string& keyPath, const std::string& valueName,
                         uint32_t viewFlag) {
  UniqueRegKey key = openKey(root, keyPath, viewFlag | KEY_SET_VALUE);
  if (!key) return false;
  return RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS;
}

}  // namespace kox::win
