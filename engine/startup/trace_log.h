// The trace log: the engine's phases as nested tag lines in the file that
// "/l=" names. Each line is written with its own open and close, so the file
// is complete whenever the process stops, and the installer thread can write
// into the same file between two lines. The first line of a run replaces any
// earlier file. On Windows NT the file is UTF-16LE without a byte order mark;
// on Windows 9x it is ANSI text.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace kox {

class TraceLog {
 public:
  // An empty path turns tracing off.
  void setPath(std::string path);
  std::string path() const;

  // Appends one line. A log that cannot be written never stops the setup:
  // the line is dropped.
  void line(std::string_view text);

 private:
  mutable std::mutex mutex_;
  std::string path_;
  bool firstWrite_ = true;
};

// The process's trace log.
TraceLog& traceLog();
inline void trace(std::string_view text) { traceLog().line(text); }

}  // namespace kox
