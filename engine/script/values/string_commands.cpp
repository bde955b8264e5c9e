#include "engine/script/values/string_commands.h"

#include "engine/script/command/command_context.h"
#include "engine/script/values/integer_text.h"
#include "engine/script/values/path_value.h"
#include "engine/script/values/platform_text.h"
#include "engine/script/values/result_variable.h"
#include "engine/script/values/string_surgery.h"
#include "engine/vars/script_variables.h"

namespace kox {

void ParseStringCommand(CommandContext& context) {
  std::string firstName = context.parameter(3);
  std::string secondName = context.parameter(4);
  CreateWhenMissing(context, firstName);
  CreateWhenMissing(context, secondName);

  ParseOptions options;
  options.mode = RequireInt64(context.expanded(5));
  options.trim = context.flag(6);
  options.ignoreCase = context.flag(7);
  ParsedParts parts = ParseText(context.pathValue(1), context.pathValue(2), options);

  context.writeResult(firstName, parts.first);
  context.writeResult(secondName, parts.second);
}

void ReplaceStringCommand(CommandContext& context) {
  std::string name = plainOrReferenceName(context.parameter(1));
  std::string search = LineBreaksToMarkers(context.expanded(2));
  std::string replacement = LineBreaksToMarkers(context.expanded(3));
  std::string subject = LineBreaksToMarkers(context.readVariable(name));
  context.writeResult(name, ReplaceText(subject, search, replacement, context.flag(4), context.flag(5)));
}

void ConvertCaseCommand(CommandContext& context) {
  std::string name = context.parameter(1);
  std::string value = PathValue(context.readVariable(name));
  context.writeResult(name, context.flag(2) ? upperCaseForLocale(value) : lowerCaseForLocale(value));
}

void ExtractPathCommand(CommandContext& context) {
  std::string name = context.parameter(1);
  int64_t code = RequireInt64(context.expanded(2));
  context.writeResult(name, ExtractPathPart(PathValue(context.readVariable(name)), code));
}

}  // namespace kox
