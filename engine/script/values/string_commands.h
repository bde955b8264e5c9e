// "Parse String", "Replace String", "Convert Case" and "Extract Path".
#pragma once

namespace kox {

class CommandContext;

void ParseStringCommand(CommandContext& context);
void ReplaceStringCommand(CommandContext& context);
void ConvertCaseCommand(CommandContext& context);
void ExtractPathCommand(CommandContext& context);

}  // namespace kox
