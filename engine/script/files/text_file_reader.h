// The text file that "Read from Text File" reads from, one line per command.
// The script has at most one such file open, remembered with the path it was
// opened by; it stays open between commands until its end is reached, another
// path is read, "Write to Text File" writes the same path, or the script ends.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace kox {

class TextFileReader {
 public:
  // Opens path read-only, closing whatever was open. False when it cannot be opened.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }
  // The path the open file was opened by ("" when none).
  const std::string& path() const { return path_; }

  // Whether nothing is left to read (also after a read error).
  bool atEnd();
  // The next line without its line end (LF, or CR LF). False on a read error.
  bool readLine(std::string& line);
  // All remaining lines joined by "$NEWLINE$". False on a read error.
  bool readRest(std::string& text);

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::string path_;
};

// The script's one open read file (process-wide, used by the interpreter's thread).
TextFileReader& scriptReadFile();
// Closes it; the interpreter calls this at the end of the script.
void closeScriptReadFile();

}  // namespace kox
