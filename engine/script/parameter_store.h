// Command parameters, addressed by command identifier.
//
// A parameter list is the package's section of parameter blocks: for each
// command with parameters its identifier line, then its parameter lines.
// Parameter k of a command is the line k places after its identifier line.
// The store holds an ordered list of such lists (the package gives one).
//
// The interpreter fetches parameters on every step, so each list keeps a hash
// index from line text (ASCII letter case folded) to the first line that
// holds it: a fetch costs the same for a script of ten commands as for one of
// a hundred thousand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kox {

// One list of lines with a case-insensitive index of first occurrences: an
// open-addressing table of (hash, line number) slots, so a lookup touches one
// or two slots and the one line it compares, however long the list is.
class IndexedLines {
 public:
  IndexedLines() = default;
  explicit IndexedLines(std::vector<std::string> lines);

  // Position of the first line equal to text (letter case ignored), or npos.
  size_t find(std::string_view text) const;
  const std::string& operator[](size_t i) const { return lines_[i]; }
  size_t size() const { return lines_.size(); }
  const std::vector<std::string>& lines() const { return lines_; }

 private:
  struct Slot {
    uint32_t hash = 0;
    uint32_t linePlusOne = 0;  // 0: empty slot
  };

  std::vector<std::string> lines_;
  std::vector<Slot> slots_;  // size is a power of two, at least twice the lines
};

class ParameterStore {
 public:
  ParameterStore() = default;
  explicit ParameterStore(std::vector<std::string> parameterList);

  void addList(std::vector<std::string> parameterList);

  // In the first list that holds the identifier line, the line k places after
  // it (k = 0 is the identifier line). Empty text when no list holds the
  // identifier or the list ends before line k. The text is raw: references
  // and build constants are the caller's to expand.
  std::string fetch(std::string_view identifier, size_t k) const;
  bool has(std::string_view identifier) const;

 private:
  std::vector<IndexedLines> lists_;
};

}  // namespace kox
