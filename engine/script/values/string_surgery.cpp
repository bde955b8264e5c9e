#include "engine/script/values/string_surgery.h"

#include <algorithm>

#include "engine/base/text.h"
#include "engine/script/values/integer_text.h"
#include "engine/script/values/path_value.h"

namespace kox {
namespace {

// Characters from 1-based position `from` to the end; a start below 1 counts as 1.
std::string_view tailFrom(std::string_view text, int64_t from) {
  if (from < 1) from = 1;
  if (from > static_cast<int64_t>(text.size())) return {};
  return text.substr(static_cast<size_t>(from - 1));
}

// The first `count` characters; a count below 1 gives nothing.
std::string_view headOf(std::string_view text, int64_t count) {
  if (count < 1) return {};
  return text.substr(0, static_cast<size_t>(std::min<int64_t>(count, static_cast<int64_t>(text.size()))));
}

// Every position below 0 cuts like -1 and every one beyond the end like
// length + 1; clamping keeps the arithmetic on huge counts from overflowing.
int64_t clampPosition(int64_t position, int64_t length) { return std::clamp<int64_t>(position, -1, length + 1); }

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

ParsedParts ParseText(std::string_view source, std::string_view pattern, const ParseOptions& options) {
  // Searches run on lower-cased copies when case is ignored; lower-casing in
  // ASCII keeps every position, so the cut applies to the source as written.
  std::string searchSource = options.ignoreCase ? toLowerAscii(source) : std::string(source);
  std::string searchPattern = options.ignoreCase ? toLowerAscii(pattern) : std::string(pattern);
  const int64_t length = static_cast<int64_t>(source.size());

  int64_t start = 0;   // 1-based start of the cut, 0 for none
  int64_t skip = 1;    // characters dropped between the parts
  int64_t adjust = 1;  // the first part ends `adjust` characters before start
  switch (options.mode) {
    case static_cast<int64_t>(ParseMode::FirstOccurrence): {
      skip = static_cast<int64_t>(searchPattern.size());
      size_t at = searchPattern.empty() ? std::string::npos : searchSource.find(searchPattern);
      start = at == std::string::npos ? length + 1 : static_cast<int64_t>(at) + 1;
      break;
    }
    case static_cast<int64_t>(ParseMode::LastOccurrence): {
      skip = static_cast<int64_t>(searchPattern.size());
      size_t at = searchPattern.empty() ? std::string::npos : searchSource.rfind(searchPattern);
      if (at == std::string::npos) {
        start = 1;
        skip = 0;
      } else {
        start = static_cast<int64_t>(at) + 1;
      }
      break;
    }
    case static_cast<int64_t>(ParseMode::FromLeft):
      adjust = 0;
      start = clampPosition(RequireInt64(pattern), length);
      if (start == 0) {
        start = 1;
        adjust = 1;
        skip = -1;
      }
      break;
    case static_cast<int64_t>(ParseMode::FromRight):
      adjust = 0;
      start = length - clampPosition(RequireInt64(pattern), length);
      break;
    default:
      start = 0;
  }

  ParsedParts parts;
  if (start != 0) {
    parts.first = headOf(source, start - adjust);
    parts.second = tailFrom(source, start + skip);
  }
  if (options.trim) {
    parts.first = TrimBlanks(parts.first);
    parts.second = TrimBlanks(parts.second);
  }
  return parts;
}

std::string ReplaceText(std::string_view subject, std::string_view search, std::string_view replacement,
                        bool ignoreCase, bool replaceAll) {
  if (subject.empty() || search.empty() || subject.size() < search.size()) return std::string(subject);
  std::string result;
  size_t from = 0;
  while (from <= subject.size()) {
    size_t at = ignoreCase ? findIgnoreCase(subject, search, from) : subject.find(search, from);
    if (at == std::string_view::npos) break;
    result.append(subject.substr(from, at - from));
    result.append(replacement);
    from = at + search.size();
    if (!replaceAll) break;
  }
  result.append(subject.substr(std::min(from, subject.size())));
  return result;
}

std::string FileNameOf(std::string_view path) {
  size_t delimiter = path.find_last_of("\\:");
  return std::string(delimiter == std::string_view::npos ? path : path.substr(delimiter + 1));
}

std::string FolderOf(std::string_view path) {
  size_t delimiter = path.find_last_of("\\:");
  return delimiter == std::string_view::npos ? std::string() : std::string(path.substr(0, delimiter + 1));
}

std::string DriveOf(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
  if (path.starts_with("\\\\")) {
    // "\\server\share": up to the backslash after the share name.
    size_t serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos) return std::string(path);
    size_t shareEnd = path.find('\\', serverEnd + 1);
    return std::string(path.substr(0, shareEnd));
  }
  return {};
}

namespace {

// Position of the extension's "." in a file name, npos when it has none.
size_t extensionDot(std::string_view name) { return name.rfind('.'); }

std::string withoutTrailingBackslash(std::string_view folder) {
  if (folder.ends_with('\\')) folder.remove_suffix(1);
  return std::string(folder);
}

}  // namespace

std::string ExtractPathPart(std::string_view path, int64_t code) {
  switch (code) {
    case static_cast<int64_t>(PathPart::FileName):
      return FileNameOf(path);
    case static_cast<int64_t>(PathPart::BaseName): {
      std::string name = FileNameOf(path);
      size_t dot = extensionDot(name);
      return dot == std::string::npos ? name : name.substr(0, dot);
    }
    case static_cast<int64_t>(PathPart::Extension): {
      std::string name = FileNameOf(path);
      size_t dot = extensionDot(name);
      return dot == std::string::npos ? std::string() : name.substr(dot + 1);
    }
    case static_cast<int64_t>(PathPart::Folder):
      return withBackslash(FolderOf(path));
    case static_cast<int64_t>(PathPart::ParentFolder):
      return withBackslash(FolderOf(withoutTrailingBackslash(FolderOf(path))));
    case static_cast<int64_t>(PathPart::Drive):
      return withBackslash(DriveOf(path));
    case static_cast<int64_t>(PathPart::SingleBackslashes):
      return CollapseDoubledBackslashes(path);
    default:
      return std::string(path);
  }
}

std::string TrimBlanks(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace kox
