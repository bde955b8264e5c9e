// What a script command's body sees of the running script, and how command
// families hand their commands to the interpreter.
//
// A command body is a function `void (CommandContext&)`. It fetches its
// parameters (numbered from 1) through the context, does its work, and writes
// its results back through the context. Failures come in the script model's
// two levels:
//   - fail(text): the command failed. With ABORTONERROR "TRUE" (the default)
//     this throws EngineError and the script ends with the runtime error
//     message; with ABORTONERROR "FALSE" it sets ABORTEDONERROR to "TRUE",
//     stores the text in LASTERROR and returns, and the body goes on to write
//     its marker value ("READ$ERROR", -1 ...) where it has one.
//   - throwing EngineError directly: an error that always ends the script
//     (a parameter that must be a number and is not, for instance).
// Ordinary query results ("FALSE", empty text) are neither.
//
// Each command family (values, files, registry ...) lists its commands in a
// table of CommandEntry; the interpreter dispatches on the exact name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace kox {

class TVariableManager;

class CommandContext {
 public:
  virtual ~CommandContext() = default;

  // The command being executed.
  virtual const std::string& commandName() const = 0;
  virtual size_t commandIndex() const = 0;
  virtual const std::string& commandId() const = 0;

  // Parameter k as fetched from the package (build constants substituted,
  // variable references not expanded). Missing parameters are "".
  virtual std::string parameter(int k) const = 0;
  // Parameter k with its variable references expanded.
  virtual std::string expanded(int k) const = 0;
  // A translatable parameter: translated for the active language with this
  // command's identifier as key and the given slot, then expanded. Without an
  // active language the same as expanded(k).
  virtual std::string translated(int k, int slot) const = 0;
  // The path value of parameter k: expanded, doubled backslashes collapsed
  // (a leading "\\" of a network path kept).
  virtual std::string pathValue(int k) const = 0;
  // Text to boolean of the expanded parameter ("TRUE" in any case or "-1").
  virtual bool flag(int k) const = 0;

  // The one variable store.
  virtual TVariableManager& variables() = 0;
  // Value of a variable, "" when it does not exist.
  virtual std::string readVariable(std::string_view name) const = 0;
  // Writes a result: an empty name writes nothing; a missing variable is
  // created under the upper-cased name; the value is stored with the context
  // "<command name> Action" and the command-line write protection.
  virtual void writeResult(std::string_view name, std::string_view value) = 0;
  // Writes a variable with an explicit context label (same protection).
  virtual void writeVariable(std::string_view name, std::string_view value, std::string_view context) = 0;

  // A failed command, see above.
  virtual void fail(const std::string& message) = 0;

  // Progress protocol: see the interpreter (text "$KELD$" reuses the current
  // values, "$IGNORE$" leaves the text, position -1 leaves the numbers).
  virtual void reportProgress(const std::string& text, int64_t minimum, int64_t maximum, int64_t position) = 0;

  // Marks this command as executed (execution mark "TRUE").
  virtual void markExecuted() = 0;

  // One turn of a waiting loop: handles one window message (waiting for one
  // when none is queued). A command that waits for a worker calls it between
  // looks at the worker; a context without windows does nothing.
  virtual void waitStep() {}

  virtual bool silent() const = 0;
  // Folders of the run, each ending in "\".
  virtual const std::string& supportFolder() const = 0;
  virtual const std::string& executableFolder() const = 0;
};

using CommandHandler = void (*)(CommandContext&);

struct CommandEntry {
  const char* name;  // exact, case-sensitive, as in the package
  CommandHandler handler;
};

// Result parameter forms. Plain: the text is the name. Plain or reference:
// a name between two "$" stands for that name, any other text is the name.
inline std::string plainName(std::string_view parameter) { return std::string(parameter); }
std::string plainOrReferenceName(std::string_view parameter);

}  // namespace kox
