#include "tools/koxbuild/package_writer.h"

#include <cstring>

#include "engine/base/error.h"

namespace kox {

namespace {

// Builds a message from its parts.
std::string joined(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

constexpr char kEol[] = "\r\n";

[[noreturn]] void cannotWrite(const std::string& why) {
  throw EngineError("cannot write the setup package: " + why);
}

// Appends one line; a package line cannot hold a line break or a NUL.
void writeLine(std::string& out, std::string_view line, const char* section) {
  if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    cannotWrite(joined({"a value in the ", section, " holds CR, LF or NUL"}));
  out += line;
  out += kEol;
}

void writeList(std::string& out, const std::vector<std::string>& lines, const char* section) {
  for (const std::string& line : lines) {
    if (line == "$") cannotWrite(joined({"the ", section, " holds a lone \"$\", which would end it"}));
    writeLine(out, line, section);
  }
  out += "$";
  out += kEol;
}

void writeParameters(std::string& out, const std::vector<std::string>& lines) {
  const char* section = "parameter blocks section";
  for (const std::string& line : lines) writeLine(out, line == "$" ? "$DOLLAR$" : line, section);
  out += "$";
  out += kEol;
}

size_t estimatedSize(const SetupPackage& p) {
  size_t size = 256;
  for (const auto* list : {&p.commandNames, &p.commandIds, &p.parameters, &p.disabledFlags,
                           &p.commandMediaFolders, &p.sourceLineMap})
    for (const std::string& line : *list) size += line.size() + 2;
  return size;
}

}  // namespace

std::string writePackage(const SetupPackage& p) {
  const std::string shapeError = packageShapeError(p);
  if (!shapeError.empty()) cannotWrite(shapeError);

  std::string out;
  out.reserve(estimatedSize(p));
  writeList(out, p.commandNames, "command names section");
  writeList(out, p.commandIds, "command identifiers section");
  writeParameters(out, p.parameters);
  writeList(out, p.disabledFlags, "disabled flags section");
  writeLine(out, p.productCode, "product code");
  writeLine(out, p.productTitle, "product title");
  writeList(out, p.pluginCommands, "plug-in command names section");
  writeLine(out, p.productInfo.publisher, "product publisher");
  writeLine(out, p.productInfo.contact, "product contact");
  writeLine(out, p.productInfo.helpLink, "product help link");
  writeLine(out, p.productInfo.updateInfoLink, "product update information link");
  writeLine(out, p.productInfo.comments, "product comments");
  writeLine(out, p.productInfo.version, "product version");
  writeList(out, p.webMediaPasswords, "web media passwords section");
  writeList(out, p.commandMediaFolders, "per-command media folders section");
  writeLine(out, std::to_string(p.buildMode), "build mode code");
  writeList(out, p.componentSizes, "component sizes section");
  writeLine(out, p.revisionCode, "revision code");
  writeList(out, p.filePlacements, "file placements section");
  writeLine(out, p.languageSelection, "language selection switch");
  writeLine(out, p.defaultLanguage, "default language");
  writeList(out, p.commandHeaders, "command headers section");
  writeList(out, p.buildConstants, "build constants section");
  writeLine(out, std::to_string(p.codePage), "code page");
  writeList(out, p.sourceLineMap, "source line map section");
  return out;
}

}  // namespace kox
