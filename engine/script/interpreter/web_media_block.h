// "Web Media Block": the block that the following commands fetch their web
// media from, and the unscrambling of the package's stored archive passwords.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

struct WebMediaBlock {
  std::string name;
  std::string archivePath;  // media data folder + name + ".7zip"
  std::string urls;         // one location per line, references expanded
  std::string password;     // unscrambled
};

// Stored form: each character XOR-ed with its zero-based position (low eight
// bits); the result read two characters at a time as one hexadecimal byte
// written low digit first. Throws EngineError on a character pair that is not
// hexadecimal or an odd length.
std::string unscrambleMediaPassword(std::string_view stored);

// The password of a block: the entry for its name (letter case ignored) in
// the package's (name, password) pairs, else the entry "offline", unscrambled.
// Empty when neither exists.
std::string mediaPasswordFor(const std::vector<std::string>& passwordPairs, std::string_view blockName);

}  // namespace kox
