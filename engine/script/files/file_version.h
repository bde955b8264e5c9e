// File versions as the version commands see them: four unsigned 16-bit
// numbers (major, minor, build, revision), written as four decimal numbers
// separated by "." ("0.0.0.0" for a file without version information).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kox {

// Numbers are kept 32 bits wide so a version text with a part above 65535
// compares as written instead of wrapping.
struct FileVersion {
  std::array<uint32_t, 4> parts{};

  auto operator<=>(const FileVersion&) const = default;
};

// The fixed version information's two file-version words: major and minor in
// the high and low words of the most significant one, build and revision in
// those of the least significant one.
FileVersion versionFromFixedInfo(uint32_t mostSignificant, uint32_t leastSignificant);

// Up to four numbers separated by "."; missing trailing numbers count as 0,
// and so does a part that does not start with a digit. Digits are read up to
// the first other character of the part; a value too large saturates.
FileVersion parseVersionText(std::string_view text);

std::string versionText(const FileVersion& version);

}  // namespace kox
