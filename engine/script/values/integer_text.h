// Numbers in script parameters are decimal text. A numeric parameter that is
// not a number fails its command with an error that ends the script.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kox {

// Optional leading blanks, an optional sign, then decimal digits only; empty
// when the text is anything else or does not fit in 64 bits.
std::optional<int64_t> ParseInt64(std::string_view text);

// ParseInt64, throwing EngineError ("'x' is not a valid integer value") when
// the text is not a number.
int64_t RequireInt64(std::string_view text);
// The same for a 32-bit value.
int32_t RequireInt32(std::string_view text);

}  // namespace kox
