// Result variables shared by the command families. The interpreter's
// CommandContext::writeResult creates a missing result variable and writes it
// with the "<command> Action" context; the helpers here cover the commands
// that create first and write later or write under another context.
#pragma once

#include <string>
#include <string_view>

namespace kox {

class CommandContext;

// Creates the variable under its upper-cased name with an empty value when it
// does not exist yet; an empty name does nothing.
void CreateWhenMissing(CommandContext& context, std::string_view name);

// CreateWhenMissing, then the protected write with the given context label.
void WriteResultWithContext(CommandContext& context, std::string_view name, std::string_view value,
                            std::string_view contextLabel);

}  // namespace kox
