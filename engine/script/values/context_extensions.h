// Services that a few commands of this family need beyond CommandContext.
// The interpreter's context implements them as well; the commands find them
// with dynamic_cast and do without when a context lacks them (the variable
// still gets its value, only the translation or the progress hand-over is
// skipped).
#pragma once

#include <string>
#include <string_view>

namespace kox {

class CommandContext;

// Translation of a value under a key other than the command's identifier
// ("Localization Variable" translates under "ZOZIVORA$" + name + "$ZOZIVORA").
class KeyedTranslation {
 public:
  virtual ~KeyedTranslation() = default;
  // The translated-parameter lookup (key, slot) when a language is active,
  // else the value unchanged.
  virtual std::string translatedWithKey(std::string_view value, std::string_view key, int slot) const = 0;
};

// The process-wide delegated-progress flag: while it is set, the visible
// dialog shows the progress variables.
class ProgressDelegation {
 public:
  virtual ~ProgressDelegation() = default;
  virtual void setDelegatedProgress(bool on) = 0;
};

// Sets the delegated-progress flag for a scope (when the context offers it).
class DelegatedProgressScope {
 public:
  explicit DelegatedProgressScope(CommandContext& context);
  ~DelegatedProgressScope();
  DelegatedProgressScope(const DelegatedProgressScope&) = delete;
  DelegatedProgressScope& operator=(const DelegatedProgressScope&) = delete;

 private:
  ProgressDelegation* delegation_;
};

}  // namespace kox
