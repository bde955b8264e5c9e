// The routines through which the engine reaches the variable store: reads,
// the protected write, expansion, line-break markers, the variable exchange
// with plug-ins and the boolean texts.
//
// Every routine takes the store it works on; the engine passes variableStore().
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/vars/variable_manager.h"

namespace kox {

// Marker that ReadVariableExpanded gives for a missing variable.
inline constexpr std::string_view kMissingVariableMarker = "$KELDNX$";
// Line breaks inside values are written as this marker.
inline constexpr std::string_view kNewLineMarker = "$NEWLINE$";
// The one context label that may overwrite a command-line variable in a
// silent run: the injection of the command-line variables itself.
inline constexpr std::string_view kInjectOverrideContext = "Inject Override Command Line";

// What the protected write needs from the run: the silent flag and the
// command-line variable list (NAME, VALUE pairs; only the names count).
struct WriteProtection {
  bool silent = false;
  std::vector<std::string> commandLineVariables;

  bool protects(std::string_view name) const;
};

// Get, but a missing variable yields empty text.
std::string ReadVariable(const TVariableManager& store, std::string_view name);
bool VariableDefined(const TVariableManager& store, std::string_view name);

// Empty name: nothing. Existing variable: AssignVariable. Otherwise created.
void WriteVariable(TVariableManager& store, std::string_view name, std::string_view value,
                   std::string_view context, const WriteProtection& protection);
// The protected write. In a silent run the name is upper-cased (which only
// matters for a variable created now) and a variable named on the command line
// is left alone unless the context is "Inject Override Command Line"; the
// refused write is dropped without a message. Returns false when refused.
bool AssignVariable(TVariableManager& store, std::string_view name, std::string_view value,
                    std::string_view context, const WriteProtection& protection);

std::string ExpandText(const TVariableManager& store, std::string_view text);
// Values inserted between double quotes, as the expression evaluator wants them.
std::string ExpandTextQuoted(const TVariableManager& store, std::string_view text);

// NAME when text is "$NAME$" and NAME holds no "$"; otherwise empty text.
std::string ReferenceName(std::string_view text);
// The variable named by text (plain or "$NAME$" form), expanded; "$KELDNX$"
// when it does not exist.
std::string ReadVariableExpanded(const TVariableManager& store, std::string_view text);
// As ReadVariableExpanded, but empty text for a missing variable.
std::string ReadVariableExpandedOrEmpty(const TVariableManager& store, std::string_view text);

// Every "$NEWLINE$" (any letter case) becomes CR LF.
std::string MarkersToLineBreaks(std::string_view text);
// Every CR LF becomes "$NEWLINE$".
std::string LineBreaksToMarkers(std::string_view text);

// The whole store as variable list text (for a plug-in call).
std::string ExportVariables(const TVariableManager& store);
// Replaces the whole store by the variables of a variable list text; an odd
// last item is ignored. Other threads see either the old or the new store.
void ImportVariables(TVariableManager& store, std::string_view text);

std::string BoolToText(bool value);
// True for "TRUE" in any letter case and for "-1"; false for anything else.
bool TextToBool(std::string_view text);

// The given environment entries ("NAME=VALUE") joined by "$NEWLINE$".
std::string EnvironmentText(const std::vector<std::string>& entries);
// The same for this process's environment.
std::string EnvironmentText();
std::vector<std::string> processEnvironment();

}  // namespace kox
