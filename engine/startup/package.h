// The setup package: plain 8-bit text appended behind the engine's own image.
//
// Layout of a built setup executable:
//
//   +----------------------------+  0
//   | engine image (PE file)     |
//   +----------------------------+  image end = max(raw offset + raw size)
//   | setup package (text)       |             over the PE section table
//   +----------------------------+  end of file
//
// The package is a sequence of CR LF terminated lines in twenty sections, read
// in this order. List sections end with a line that is exactly "$"; single
// values are one line with no terminator; numeric values are one line holding
// a decimal integer.
//
//   #  section                     form                                   terminated
//   1  command names               one per command                        "$"
//   2  command identifiers         one GUID per command                   "$"
//   3  parameter blocks            identifier line, then its parameters   "$"
//   4  disabled flags              "C" (disabled) or empty, per command   "$"
//   5  product code                GUID                                   -
//   6  product title               text                                   -
//   7  plug-in command names       one per line                           "$"
//   8  product information         six lines (see ProductInfo)            -
//   9  web media passwords         pairs: block name, scrambled password  "$"
//  10  per-command media folders   one per command                        "$"
//  11  build mode code             integer (2 web build, 3 patch build)   -
//  12  component sizes             pairs: name, size in bytes             "$"
//  13  revision code               GUID                                   -
//  14  file placements             triples: block, path, target folder    "$"
//  15  language selection switch   "TRUE" offers the language window      -
//  16  default language            English language name                  -
//  17  command headers             pairs: 8 hex digits, command index     "$"
//  18  build constants             pairs: name (without "#"), value       "$"
//  19  code page                   integer                                -
//  20  source line map             "file*line" per command                "$"
//
// A parameter whose value is a lone "$" is written as "$DOLLAR$" (or
// "$WILD_DOLLAR$") so it cannot end section 3; the reader turns such lines
// back into "$".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kox {

struct ProductInfo {
  std::string publisher;
  std::string contact;
  std::string helpLink;
  std::string updateInfoLink;
  std::string comments;
  std::string version;

  bool operator==(const ProductInfo&) const = default;
};

struct SetupPackage {
  std::vector<std::string> commandNames;         // 1
  std::vector<std::string> commandIds;           // 2
  std::vector<std::string> parameters;           // 3
  std::vector<std::string> disabledFlags;        // 4
  std::string productCode;                       // 5
  std::string productTitle;                      // 6
  std::vector<std::string> pluginCommands;       // 7
  ProductInfo productInfo;                       // 8
  std::vector<std::string> webMediaPasswords;    // 9  (name, password) pairs
  std::vector<std::string> commandMediaFolders;  // 10
  int32_t buildMode = 0;                         // 11
  std::vector<std::string> componentSizes;       // 12 (name, size) pairs
  std::string revisionCode;                      // 13
  std::vector<std::string> filePlacements;       // 14 (block, path, folder) triples
  std::string languageSelection;                 // 15
  std::string defaultLanguage;                   // 16
  std::vector<std::string> commandHeaders;       // 17 (header, index) pairs
  std::vector<std::string> buildConstants;       // 18 (name, value) pairs
  int32_t codePage = 0;                          // 19
  std::vector<std::string> sourceLineMap;        // 20

  bool operator==(const SetupPackage&) const = default;
};

inline constexpr int kBuildModeWeb = 2;
inline constexpr int kBuildModePatch = 3;

// End of the PE image: the largest (raw data offset + raw data size) over the
// section table. Throws EngineError when the file is not a PE image or its
// headers or section table lie outside the file.
uint64_t peImageEnd(std::span<const uint8_t> file);

// Reads the twenty sections. Throws EngineError naming the section when the
// package is malformed: a list section without its "$" line before the end,
// a missing single value, a number that is not a decimal integer, or bytes
// that cannot be text (a NUL character). Lines end with CR LF or a bare LF.
// A number is read after any blanks and empty lines, and the rest of its
// line is skipped. Anything behind the last section is ignored.
//
// Consumers index the per-command lists by command index and read the pair
// and triple lists two or three lines at a time, so the reader also rejects
// a package whose sections 2, 4, 10 and 20 do not have one line per command
// (section 1), or whose sections 9, 12, 17, 18 and 14 hold no whole pairs or
// triples.
SetupPackage parsePackage(std::string_view text);

// What is wrong with the shape of a package (per-command sections that do
// not have one line per command, pair and triple sections that are not
// whole), or "" when nothing is. The reader and the writer both insist on it.
std::string packageShapeError(const SetupPackage& package);

// The same, but the parameter lines "$DOLLAR$" and "$WILD_DOLLAR$" stay as
// they are written, so the package can be written back byte for byte.
SetupPackage parsePackageAsWritten(std::string_view text);

// Reads the package behind a setup executable: the whole file is read, the
// bytes behind the image are written to "kox.tmp" in tempFolder (replacing
// any such file), read back as the package and deleted again, also when
// reading fails. Returns nothing when the file ends with the image (no
// package). Throws EngineError for an unreadable file, a file that is not a
// PE image, or a malformed package.
std::optional<SetupPackage> readSetupPackage(const std::filesystem::path& executable,
                                             const std::filesystem::path& tempFolder);

}  // namespace kox
