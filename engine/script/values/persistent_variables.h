// The persistent variable list: names of the variables that "Set Variable"
// marked persistent ("NAME$KELD$KELD$TRUE"). Their names and values go into
// the component state file, and a maintenance run restores them from it.
// Process-wide; safe to use from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kox {

// Appends the name unless the list already holds it (exact, case-sensitive).
void AddPersistentVariable(std::string_view name);
// The names in the order they were first added.
std::vector<std::string> PersistentVariables();
bool IsPersistentVariable(std::string_view name);
void ClearPersistentVariables();

}  // namespace kox
