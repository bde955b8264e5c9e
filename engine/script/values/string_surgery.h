// The text operations behind "Parse String", "Replace String" and
// "Extract Path", as pure functions of their inputs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kox {

// "Parse String" cut modes.
enum class ParseMode : int64_t {
  FirstOccurrence = 0,  // cut around the first occurrence of the pattern
  LastOccurrence = 1,   // cut around the last occurrence
  FromLeft = 2,         // the pattern is a count of characters from the left
  FromRight = 3,        // the pattern is a count of characters from the right
};

struct ParseOptions {
  int64_t mode = 0;  // a ParseMode; other values give two empty parts
  bool trim = false;
  bool ignoreCase = false;
};

struct ParsedParts {
  std::string first;
  std::string second;
};

// Splits source at a pattern or position. Both parts keep the letter case
// of the source. In the counting modes the pattern must be an integer
// (EngineError otherwise).
ParsedParts ParseText(std::string_view source, std::string_view pattern, const ParseOptions& options);

// Replaces the first (or every) occurrence of search in subject, scanning
// left to right without rescanning replaced text. An empty subject or search,
// or a subject shorter than the search, comes back unchanged.
std::string ReplaceText(std::string_view subject, std::string_view search, std::string_view replacement,
                        bool ignoreCase, bool replaceAll);

// "Extract Path" part codes.
enum class PathPart : int64_t {
  FileName = 0,            // name with extension
  BaseName = 1,            // name without extension
  Extension = 2,           // extension without the "."
  Folder = 3,              // folder with trailing "\"
  ParentFolder = 4,        // parent of the folder with trailing "\"
  Drive = 5,               // "C:\" or "\\server\share\"
  SingleBackslashes = 6,   // every "\\" collapsed
};

// A part of a path; any other code gives the path unchanged.
std::string ExtractPathPart(std::string_view path, int64_t code);

// Path pieces with the engine's delimiters ("\" and the drive ":").
std::string FileNameOf(std::string_view path);
std::string FolderOf(std::string_view path);  // up to and including the last "\" or ":"
std::string DriveOf(std::string_view path);   // "C:" or "\\server\share", else ""

// Blanks and control characters (bytes up to 32) removed from both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace kox
