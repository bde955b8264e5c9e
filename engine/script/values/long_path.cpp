#include "engine/script/values/long_path.h"

#include "engine/script/values/string_surgery.h"

namespace kox {
namespace {

std::string withoutQuotesAndTrailingBackslash(std::string_view path) {
  std::string result;
  for (char c : path)
    if (c != '"') result += c;
  if (result.ends_with('\\')) result.pop_back();
  return result;
}

// Empty when some component could not be looked up.
std::optional<std::string> convert(std::string_view path, const DiskNameLookup& lookup) {
  std::string plain = withoutQuotesAndTrailingBackslash(path);
  std::string folder = FolderOf(plain);
  if (plain.empty() || plain == folder) return std::string(path);  // the root stays as it is

  size_t lastBackslash = plain.rfind('\\');
  std::string last = plain.substr(lastBackslash == std::string::npos ? 0 : lastBackslash + 1);
  if (last.find_first_of("*?") != std::string::npos) return std::nullopt;

  std::optional<std::string> parent;
  if (lastBackslash != std::string::npos) {
    parent = convert(plain.substr(0, lastBackslash), lookup);
    if (!parent) return std::nullopt;
  }
  std::optional<std::string> onDisk = lookup(plain);
  if (!onDisk || onDisk->empty()) return std::nullopt;
  if (!parent) return onDisk;
  std::string result = *parent;
  if (!result.ends_with('\\')) result += '\\';
  return result + *onDisk;
}

}  // namespace

std::string LongPathName(std::string_view path, const DiskNameLookup& lookup) {
  std::optional<std::string> converted = convert(path, lookup);
  if (!converted) return std::string(path);
  if (path.ends_with('\\') && !converted->ends_with('\\')) *converted += '\\';
  return *converted;
}

}  // namespace kox
