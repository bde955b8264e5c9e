// The label table. While the script compiles it holds the upper-cased label
// names; the interpreter then refills it with (name, command index) pairs for
// "GoTo Label".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kox {

class LabelTable {
 public:
  void clear();
  // Adds an upper-cased name (the compile-time form).
  void addName(std::string_view name);
  // Adds an upper-cased name and the command index it stands at.
  void add(std::string_view name, size_t commandIndex);

  // Letter case is ignored; names are stored upper-cased.
  bool contains(std::string_view name) const;
  // The command index of a label added with its index.
  std::optional<size_t> commandIndex(std::string_view name) const;

  // The table as the engine lists it: names only, or name, index pairs.
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
  std::unordered_map<std::string, std::optional<size_t>> labels_;  // first entry per name
};

}  // namespace kox
