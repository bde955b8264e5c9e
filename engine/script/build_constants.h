// Build constants: name/value pairs fixed when the setup was built, written
// in parameter text as "#NAME#" (letter case ignored). The engine itself asks
// for "#SINGLEINSTANCE#", "#CACHESOURCES#", "#LOADOLDDATA#" and "#LOCMODE#".
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kox {

class BuildConstants {
 public:
  BuildConstants() = default;
  // The package's list: name (without "#"), value, name, value ...; an odd
  // last line is ignored.
  explicit BuildConstants(const std::vector<std::string>& pairs);

  // Replaces every "#NAME#" of every constant, in list order, and repeats
  // while the result still holds a "#" and the pass changed something, so
  // constants may refer to each other. Constants that refer to each other in
  // a cycle stop after kMaxPasses passes; a pass that would make the text
  // grow past kMaxLength is not applied.
  std::string expand(std::string_view text) const;

  static constexpr int kMaxPasses = 32;
  static constexpr size_t kMaxLength = 1u << 20;

 private:
  std::vector<std::pair<std::string, std::string>> constants_;  // ("#NAME#", value)
};

}  // namespace kox
