#include "engine/script/files/text_file_reader.h"

#include "engine/vars/script_variables.h"

namespace kox {

bool TextFileReader::open(const std::string& path) {
  close();
  file_.reset(std::fopen(path.c_str(), "rb"));
  if (!file_) return false;
  path_ = path;
  return true;
}

void TextFileReader::close() {
  file_.reset();
  path_.clear();
}

bool TextFileReader::atEnd() {
  if (!file_) return true;
  int c = std::getc(file_.get());
  if (c == EOF) return true;
  std::ungetc(c, file_.get());
  return false;
}

bool TextFileReader::readLine(std::string& line) {
  line.clear();
  if (!file_) return false;
  for (int c; (c = std::getc(file_.get())) != EOF;) {
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (std::ferror(file_.get())) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool TextFileReader::readRest(std::string& text) {
  text.clear();
  std::string line;
  for (bool first = true; !atEnd(); first = false) {
    if (!readLine(line)) return false;
    if (!first) text += kNewLineMarker;
    text += line;
  }
  return !file_ || !std::ferror(file_.get());
}

TextFileReader& scriptReadFile() {
  static TextFileReader reader;
  return reader;
}

void closeScriptReadFile() { scriptReadFile().close(); }

}  // namespace kox
