#include "tools/koxbuild/archive_tool.h"

#include <cerrno>

#include "engine/base/error.h"

#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace kox {

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// The C runtime joins the arguments with blanks, so each is quoted the way
// the receiving program's runtime splits its command line again.
std::string quotedArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}
#endif

}  // namespace

int runProgram(const std::vector<std::string>& arguments) {
  if (arguments.empty()) throw EngineError("no program to run");
#ifdef _WIN32
  std::vector<std::string> quoted;
  for (const std::string& argument : arguments) quoted.push_back(quotedArgument(argument));
  std::vector<const char*> argv;
  for (const std::string& argument : quoted) argv.push_back(argument.c_str());
  argv.push_back(nullptr);
  intptr_t status = _spawnvp(_P_WAIT, arguments[0].c_str(), argv.data());
  if (status == -1) throw EngineError("cannot start \"" + arguments[0] + "\"");
  return static_cast<int>(status);
#else
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, arguments[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    throw EngineError("cannot start \"" + arguments[0] + "\"");
  int status = 0;
  while (waitpid(child, &status, 0) == -1) {
    if (errno != EINTR) throw EngineError("lost track of \"" + arguments[0] + "\"");
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) throw EngineError("\"" + arguments[0] + "\" was ended by signal " + std::to_string(WTERMSIG(status)));
  return -1;
#endif
}

void makeSevenZipArchive(const fs::path& folder, const fs::path& archive, const std::string& program) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) throw EngineError("\"" + folder.string() + "\" is not a folder");
  // 7-Zip adds to an existing archive; the archive is made afresh.
  fs::remove(archive, error);
  // With an absolute "folder/*" pattern 7-Zip stores the names relative to
  // the folder, hidden files included.
  const fs::path pattern = fs::absolute(folder) / "*";
  const int exitCode = runProgram({program, "a", "-t7z", "-y", "-bd", "-bso0", "-bsp0",
                                   fs::absolute(archive).string(), pattern.string()});
  if (exitCode != 0) {
    fs::remove(archive, error);
    throw EngineError("\"" + program + "\" failed with exit code " + std::to_string(exitCode) +
                      " making the archive of \"" + folder.string() + "\"");
  }
}

}  // namespace kox
