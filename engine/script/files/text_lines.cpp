#include "engine/script/files/text_lines.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

namespace kox {

namespace {

// Every line of text, including the (possibly empty) piece after the last break.
std::vector<std::string> splitAll(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t at = 0; at < text.size(); ++at) {
    char c = text[at];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace

std::vector<std::string> splitTextLines(std::string_view text) {
  std::vector<std::string> lines = splitAll(text);
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

std::vector<std::string> loadLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return {};
  return splitTextLines(text);
}

std::vector<std::string> linesOfAddedText(std::string_view text) { return splitAll(text); }

bool saveLines(const std::string& path, const std::vector<std::string>& lines) {
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()) return false;
    if (std::fwrite("\r\n", 1, 2, file.get()) != 2) return false;
  }
  return std::fclose(file.release()) == 0;
}

}  // namespace kox
