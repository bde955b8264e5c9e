// The long form of a path, built component by component from the names the
// file system reports ("C:\PROGRA~1\kox" -> "C:\Program Files\kox").
// Pure: the file-system lookup is passed in, so the host tests can run it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kox {

// The name on disk of the last component of a path, empty when the lookup
// fails (FindFirstFileA's cFileName on Windows).
using DiskNameLookup = std::function<std::optional<std::string>(const std::string& path)>;

// Every component replaced by its name on disk, parent first. A component
// that cannot be looked up leaves the path as given (its parents unconverted
// too); the root ("C:", "") is kept as given. Double quotes are dropped, a
// trailing "\" of the given path is kept. A last component with wildcards is
// never looked up, so "C:\*" cannot turn into the name of some other file.
std::string LongPathName(std::string_view path, const DiskNameLookup& lookup);

}  // namespace kox
