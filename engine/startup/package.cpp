#include "engine/startup/package.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "engine/base/error.h"
#include "engine/base/text.h"

namespace kox {

namespace {

// Builds a message from its parts.
std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

// ---------------------------------------------------------------------------
// PE headers

constexpr size_t kDosLfanewOffset = 60;
constexpr size_t kPeSignatureSize = 4;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionCountOffset = 2;        // within the file header
constexpr size_t kOptionalHeaderSizeOffset = 16;  // within the file header
constexpr size_t kSectionEntrySize = 40;
constexpr size_t kRawSizeOffset = 16;    // within a section entry
constexpr size_t kRawOffsetOffset = 20;  // within a section entry
// The PE format allows at most 96 sections; more means a damaged header.
constexpr uint32_t kMaxSections = 96;

uint16_t readU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t readU32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

[[noreturn]] void notAnImage(const std::string& why) {
  throw EngineError("the file is not a valid program image: " + why);
}

// ---------------------------------------------------------------------------
// Package text

// Walks the package one line at a time and never past its end.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line without its line end (CR LF or LF), or nothing at the end
  // of the text. `section` names the section being read, for the NUL error.
  std::optional<std::string_view> next(const char* section) {
    if (pos_ >= text_.size()) return std::nullopt;
    size_t lf = text_.find('\n', pos_);
    size_t end = (lf == std::string_view::npos) ? text_.size() : lf;
    std::string_view line = text_.substr(pos_, end - pos_);
    pos_ = (lf == std::string_view::npos) ? text_.size() : lf + 1;
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (std::memchr(line.data(), '\0', line.size()) != nullptr)
      throw EngineError(joined({"the setup package is not text: the ", section, " holds a NUL character"}));
    return line;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

constexpr std::string_view kListEnd = "$";

std::vector<std::string> readList(LineReader& reader, const char* section) {
  std::vector<std::string> lines;
  for (;;) {
    std::optional<std::string_view> line = reader.next(section);
    if (!line)
      throw EngineError(joined({"the setup package is truncated: the ", section, " has no end marker"}));
    if (*line == kListEnd) return lines;
    lines.emplace_back(*line);
  }
}

std::string readSingle(LineReader& reader, const char* value) {
  std::optional<std::string_view> line = reader.next(value);
  if (!line) throw EngineError(joined({"the setup package is truncated: the ", value, " is missing"}));
  return std::string(*line);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal integer after any blanks and empty lines; the rest of its line
// after a blank is skipped.
int32_t readNumber(LineReader& reader, const char* value) {
  std::string_view line;
  for (;;) {
    std::optional<std::string_view> next = reader.next(value);
    if (!next) throw EngineError(joined({"the setup package is truncated: the ", value, " is missing"}));
    line = *next;
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    if (!line.empty()) break;
  }
  std::string_view digits = line;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int32_t number = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  bool endsWell = end == digits.data() + digits.size() || static_cast<unsigned char>(*end) <= ' ';
  bool hasSign = digits.size() != line.size();
  bool doubleSign = hasSign && !digits.empty() && digits.front() == '-';
  if (error == std::errc::result_out_of_range)
    throw EngineError(joined({"the setup package is malformed: the ", value, " is out of range (\"", line, "\")"}));
  if (error != std::errc() || !endsWell || doubleSign)
    throw EngineError(
        joined({"the setup package is malformed: the ", value, " is not a decimal integer (\"", line, "\")"}));
  return number;
}

// A parameter whose value is a lone "$" is written as one of these lines so
// it cannot end the parameter section.
bool isDollarEscape(std::string_view line) {
  return equalsIgnoreCase(line, "$WILD_DOLLAR$") || equalsIgnoreCase(line, "$DOLLAR$");
}

SetupPackage readSections(std::string_view text) {
  LineReader reader(text);
  SetupPackage p;
  p.commandNames = readList(reader, "command names section");
  p.commandIds = readList(reader, "command identifiers section");
  p.parameters = readList(reader, "parameter blocks section");
  p.disabledFlags = readList(reader, "disabled flags section");
  p.productCode = readSingle(reader, "product code");
  p.productTitle = readSingle(reader, "product title");
  p.pluginCommands = readList(reader, "plug-in command names section");
  p.productInfo.publisher = readSingle(reader, "product publisher");
  p.productInfo.contact = readSingle(reader, "product contact");
  p.productInfo.helpLink = readSingle(reader, "product help link");
  p.productInfo.updateInfoLink = readSingle(reader, "product update information link");
  p.productInfo.comments = readSingle(reader, "product comments");
  p.productInfo.version = readSingle(reader, "product version");
  p.webMediaPasswords = readList(reader, "web media passwords section");
  p.commandMediaFolders = readList(reader, "per-command media folders section");
  p.buildMode = readNumber(reader, "build mode code");
  p.componentSizes = readList(reader, "component sizes section");
  p.revisionCode = readSingle(reader, "revision code");
  p.filePlacements = readList(reader, "file placements section");
  p.languageSelection = readSingle(reader, "language selection switch");
  p.defaultLanguage = readSingle(reader, "default language");
  p.commandHeaders = readList(reader, "command headers section");
  p.buildConstants = readList(reader, "build constants section");
  p.codePage = readNumber(reader, "code page");
  p.sourceLineMap = readList(reader, "source line map section");

  const std::string shapeError = packageShapeError(p);
  if (!shapeError.empty()) throw EngineError("the setup package is malformed: " + shapeError);
  return p;
}

std::vector<uint8_t> readWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EngineError("cannot open \"" + path.string() + "\"");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EngineError("cannot read \"" + path.string() + "\"");
  return bytes;
}

// Deletes the temporary package copy however reading ends.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

std::string packageShapeError(const SetupPackage& p) {
  const size_t commands = p.commandNames.size();
  struct PerCommand { const std::vector<std::string>* list; const char* section; };
  for (const PerCommand& c : {PerCommand{&p.commandIds, "command identifiers section"},
                              PerCommand{&p.disabledFlags, "disabled flags section"},
                              PerCommand{&p.commandMediaFolders, "per-command media folders section"},
                              PerCommand{&p.sourceLineMap, "source line map section"}}) {
    if (c.list->size() != commands)
      return joined({"the ", c.section, " has ", std::to_string(c.list->size()), " lines for ", std::to_string(commands),
                     " commands"});
  }
  struct Groups { const std::vector<std::string>* list; size_t size; const char* section; };
  for (const Groups& g : {Groups{&p.webMediaPasswords, 2, "web media passwords section"},
                          Groups{&p.componentSizes, 2, "component sizes section"},
                          Groups{&p.filePlacements, 3, "file placements section"},
                          Groups{&p.commandHeaders, 2, "command headers section"},
                          Groups{&p.buildConstants, 2, "build constants section"}}) {
    if (g.list->size() % g.size != 0)
      return joined({"the ", g.section, " has ", std::to_string(g.list->size()), " lines, not whole ",
                     g.size == 2 ? "pairs" : "triples"});
  }
  return {};
}

uint64_t peImageEnd(std::span<const uint8_t> file) {
  if (file.size() < kDosLfanewOffset + 4 || file[0] != 'M' || file[1] != 'Z') notAnImage("no DOS header");
  const uint64_t peHeader = readU32(file, kDosLfanewOffset);
  const uint64_t fileHeader = peHeader + kPeSignatureSize;
  if (fileHeader + kFileHeaderSize > file.size()) notAnImage("the PE header lies outside the file");
  if (std::memcmp(file.data() + peHeader, "PE\0\0", kPeSignatureSize) != 0) notAnImage("no PE signature");

  const uint32_t sectionCount = readU16(file, fileHeader + kSectionCountOffset);
  const uint32_t optionalHeaderSize = readU16(file, fileHeader + kOptionalHeaderSizeOffset);
  if (sectionCount == 0 || sectionCount > kMaxSections)
    notAnImage("implausible section count " + std::to_string(sectionCount));
  const uint64_t sectionTable = fileHeader + kFileHeaderSize + optionalHeaderSize;
  const uint64_t tableEnd = sectionTable + uint64_t{sectionCount} * kSectionEntrySize;
  if (tableEnd > file.size()) notAnImage("the section table lies outside the file");

  uint64_t imageEnd = tableEnd;
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const size_t entry = static_cast<size_t>(sectionTable) + size_t{i} * kSectionEntrySize;
    const uint64_t rawSize = readU32(file, entry + kRawSizeOffset);
    const uint64_t rawOffset = readU32(file, entry + kRawOffsetOffset);
    // A section without file data (such as uninitialised data) ends nothing.
    if (rawSize == 0) continue;
    if (rawOffset + rawSize > file.size())
      notAnImage("section " + std::to_string(i + 1) + " ends behind the end of the file");
    imageEnd = std::max(imageEnd, rawOffset + rawSize);
  }
  return imageEnd;
}

SetupPackage parsePackageAsWritten(std::string_view text) { return readSections(text); }

SetupPackage parsePackage(std::string_view text) {
  SetupPackage p = readSections(text);
  for (std::string& line : p.parameters)
    if (isDollarEscape(line)) line.assign(1, '$');  // not `= "$"`: GCC 12 warns falsely (-Wrestrict)
  return p;
}

std::optional<SetupPackage> readSetupPackage(const std::filesystem::path& executable,
                                             const std::filesystem::path& tempFolder) {
  std::vector<uint8_t> image = readWholeFile(executable);
  const uint64_t imageEnd = peImageEnd(image);
  if (imageEnd == image.size()) return std::nullopt;

  TemporaryFile copy(tempFolder / "kox.tmp");
  {
    std::ofstream out(copy.path(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data() + imageEnd),
              static_cast<std::streamsize>(image.size() - imageEnd));
    out.close();
    if (!out) throw EngineError("cannot write \"" + copy.path().string() + "\"");
  }
  image = {};  // the package copy is all that is needed from here on

  std::vector<uint8_t> text = readWholeFile(copy.path());
  return parsePackage(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

}  // namespace kox
