// TSetLanguage: the language window of the run set-up, a list of the
// languages the setup was translated into, with OK and Cancel.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kox {

class TSetLanguage {
 public:
  // Shows the window modally with the entry at preselected chosen. Returns
  // the chosen name, or nothing when the user cancels.
  static std::optional<std::string> choose(const std::string& title, const std::vector<std::string>& languages,
                                           size_t preselected);
};

}  // namespace kox
