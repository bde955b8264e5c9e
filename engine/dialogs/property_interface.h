// Reading and writing the published properties of a dialog's controls by
// name, as text. The dialog window implements it over its live controls; the
// texts are those of the designer's property editors: integers in decimal,
// Booleans "True" and "False", enumerations and colours by identifier,
// strings as they are. Control and property names match without regard to
// letter case, and only the dialog's own components can be named, never the
// dialog window itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kox {

class PropertyInterface {
 public:
  virtual ~PropertyInterface() = default;

  // The property's text, or nullopt when the control or the property does not exist.
  virtual std::optional<std::string> read(std::string_view control, std::string_view property) = 0;

  // Sets the property from the text. Returns false, changing nothing, when the
  // control or the property does not exist; throws EngineError when the
  // property refuses the text (for example "abc" for an integer property).
  virtual bool write(std::string_view control, std::string_view property, std::string_view value) = 0;
};

}  // namespace kox
