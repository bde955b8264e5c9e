// "Mathematics": 64-bit integer arithmetic on script values, and the
// script-controlled pseudo-random generator (a linear congruential generator
// whose multiplier, increment and seed the script sets itself).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kox {

class CommandContext;

// The generator's state: all zero at process start.
struct RandomGeneratorState {
  int32_t multiplier = 0;
  int32_t increment = 0;
  int32_t seed = 0;
};

// The process-wide generator that the command uses.
RandomGeneratorState& ScriptRandomGenerator();

// Operation codes (P3).
enum class MathOperation : int64_t {
  Add = 0,
  Subtract = 1,
  Multiply = 2,
  Divide = 3,
  Remainder = 4,
  And = 5,
  Or = 6,
  Xor = 7,
  ShiftLeft = 8,
  ShiftRight = 9,
  Not = 10,
  CharacterCode = 11,
  Character = 12,
  SetGeneratorFactors = 13,
  SetGeneratorSeed = 14,
  NextRandom = 15,
};

// The operands as the script gave them (expanded); each is read as a number
// only when the operation uses it. Returns the text to store: a signed decimal
// number, the one-character text of code 12, or "" for an unknown code.
// Throws EngineError for an operand that is not a number and for a division
// or remainder by zero. Arithmetic wraps in 64 (or, for the generator, 32) bits.
std::string Calculate(std::string_view operandA, std::string_view operandB, int64_t operation,
                      RandomGeneratorState& generator);

void MathematicsCommand(CommandContext& context);

}  // namespace kox
