#include "engine/script/values/mathematics.h"

#include <limits>

#include "engine/base/error.h"
#include "engine/script/command/command_context.h"
#include "engine/script/values/integer_text.h"

namespace kox {
namespace {

// Two's-complement wrapping without signed-overflow undefined behaviour.
int64_t wrap(uint64_t value) { return static_cast<int64_t>(value); }
uint64_t bits(int64_t value) { return static_cast<uint64_t>(value); }
int32_t low32(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(bits(value))); }

void requireDivisor(int64_t divisor) {
  if (divisor == 0) throw EngineError("Division by zero");
}

// Quotient and remainder truncated toward zero; the one quotient that does
// not fit (minimum / -1) wraps to the minimum like the other operations.
int64_t quotient(int64_t a, int64_t b) {
  requireDivisor(b);
  if (b == -1) return wrap(0 - bits(a));
  return a / b;
}

int64_t remainder(int64_t a, int64_t b) {
  requireDivisor(b);
  if (b == -1) return 0;
  return a % b;
}

// Shifts by a count outside 0..63 move every bit out.
int64_t shiftLeft(int64_t a, int64_t count) { return count < 0 || count > 63 ? 0 : wrap(bits(a) << count); }
int64_t shiftRight(int64_t a, int64_t count) { return count < 0 || count > 63 ? 0 : wrap(bits(a) >> count); }

int64_t nextRandom(RandomGeneratorState& generator, int64_t modulus) {
  requireDivisor(modulus);
  uint32_t product = static_cast<uint32_t>(generator.multiplier) * static_cast<uint32_t>(generator.seed);
  int32_t x = static_cast<int32_t>(product + static_cast<uint32_t>(generator.increment));
  generator.seed = static_cast<int32_t>(int64_t{x} % 32767);
  return remainder(x, modulus);
}

bool usesOperandB(int64_t operation) {
  return (operation >= 0 && operation < 10) || operation == static_cast<int64_t>(MathOperation::SetGeneratorFactors);
}

}  // namespace

RandomGeneratorState& ScriptRandomGenerator() {
  static RandomGeneratorState generator;
  return generator;
}

std::string Calculate(std::string_view operandA, std::string_view operandB, int64_t operation,
                      RandomGeneratorState& generator) {
  if (operation < 0 || operation > 15) return {};
  if (operation == static_cast<int64_t>(MathOperation::CharacterCode))
    return std::to_string(operandA.empty() ? 0 : static_cast<unsigned char>(operandA.front()));

  const int64_t a = RequireInt64(operandA);
  const int64_t b = usesOperandB(operation) ? RequireInt64(operandB) : 0;
  int64_t result = 0;
  switch (static_cast<MathOperation>(operation)) {
    case MathOperation::Add: result = wrap(bits(a) + bits(b)); break;
    case MathOperation::Subtract: result = wrap(bits(a) - bits(b)); break;
    case MathOperation::Multiply: result = wrap(bits(a) * bits(b)); break;
    case MathOperation::Divide: result = quotient(a, b); break;
    case MathOperation::Remainder: result = remainder(a, b); break;
    case MathOperation::And: result = a & b; break;
    case MathOperation::Or: result = a | b; break;
    case MathOperation::Xor: result = a ^ b; break;
    case MathOperation::ShiftLeft: result = shiftLeft(a, b); break;
    case MathOperation::ShiftRight: result = shiftRight(a, b); break;
    case MathOperation::Not: result = ~a; break;
    case MathOperation::CharacterCode: break;  // answered above
    case MathOperation::Character: return std::string(1, static_cast<char>(a & 0xFF));
    case MathOperation::SetGeneratorFactors:
      generator.multiplier = low32(a);
      generator.increment = low32(b);
      result = wrap(bits(a) + bits(b));
      break;
    case MathOperation::SetGeneratorSeed:
      generator.seed = low32(a);
      result = low32(a);
      break;
    case MathOperation::NextRandom: result = nextRandom(generator, a); break;
  }
  return std::to_string(result);
}

void MathematicsCommand(CommandContext& context) {
  int64_t operation = RequireInt64(context.expanded(3));
  std::string result = Calculate(context.expanded(1), context.expanded(2), operation, ScriptRandomGenerator());
  context.writeResult(context.parameter(4), result);
}

}  // namespace kox
