// Making the setup's archive with the 7-Zip console program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kox {

// Runs a program found on the search path and waits for it. Returns its exit
// code; throws EngineError when it cannot be started.
int runProgram(const std::vector<std::string>& arguments);

// Writes a 7z archive at `archive` holding the contents of `folder`, names
// relative to the folder, by running `program` (for example "7zz"). An
// existing file at `archive` is replaced. Throws EngineError on failure.
void makeSevenZipArchive(const std::filesystem::path& folder, const std::filesystem::path& archive,
                         const std::string& program);

}  // namespace kox
