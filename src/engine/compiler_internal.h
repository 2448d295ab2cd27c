// Internal to the engine and its tests: the compiler's record, its two passes
// and the evaluation of one piece.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/formula.h"

namespace kurvana {

inline constexpr int kMaxConstants = 100;  // compiled numbers plus intermediate results
inline constexpr int kMaxPieces = 100;     // 99 bracket groups plus the top level
inline constexpr int kMaxDepth = 9;        // depth markers carry one digit

// Elementary operations of a recorded program. The function names that share an
// operation (LOG and LG, ASIN and ARCSIN, ...) record the same code.
enum class OpCode : std::uint8_t {
  kSin,
  kCos,
  kTan,
  kArcsin,
  kArccos,
  kArctan,
  kPower,
  kLg,
  kLn,
  kExp,
  kSqrt,
  kSinh,
  kCosh,
  kTanh,
  kInt,
  kAbs,
  kMultiply,
  kDivide,
  kAdd,
  kSubtract,
  // Specialisations chosen after recording; they compute the same bits.
  kPowerWhole,     // left^aux by repeated squaring (exponent a compiled whole constant)
  kPowerWholeInv,  // 1 / left^aux
  kSinCos,         // sine into dst and cosine into slot aux, of one operand
};

// Replay slots: the argument, the constant table (1..100) and a constant 0 for
// the left operand that a missing one stands for.
inline constexpr std::uint8_t kSlotX = 0;
inline constexpr std::uint8_t kSlotZero = kMaxConstants + 1;
inline constexpr int kSlotCount = kMaxConstants + 2;

struct Op {
  OpCode code;
  std::uint8_t dst;   // always a constant slot above baseConstCount
  std::uint8_t left;  // ignored by the one-operand functions
  std::uint8_t right;
  std::uint32_t aux = 0;
};

// A formula as the two compiler passes leave it; compile() seals it into a
// Formula once splitPieces has succeeded.
struct CompiledFormula {
  std::string source;      // upper-cased field text
  std::string normalized;  // lexical pass output: numbers replaced by Q[n]
  std::array<long double, kMaxConstants + 1> constants{};  // 1-based; [0] unused
  int constCount = 0;
  int baseConstCount = 0;
  std::array<std::string, kMaxPieces + 1> pieces;  // 1-based intermediate form
  int pieceCount = 0;

  // The reduction of every piece, recorded by splitPieces. Piece i's operations
  // are program[pieceStart[i] .. pieceStart[i + 1]) and its value ends up in
  // slot resultSlot[i]. The reduction depends on the text alone; when it fails
  // (malformed piece, too many constants) every evaluation fails, and
  // failingPiece names the first piece that cannot be reduced.
  std::vector<Op> program;
  std::array<std::uint16_t, kMaxPieces + 2> pieceStart{};
  std::array<std::uint8_t, kMaxPieces + 1> resultSlot{};
  int failingPiece = 0;
};

// True for the number characters: 0..9, P, E and the point.
bool isNumberChar(char c);

// The lexical pass. `text` is the upper-cased field text, label included.
// Fills normalized, constants and constCount; false when the text is no formula.
bool compileFormula(std::string_view text, CompiledFormula& formula);

// The structure pass on formula.normalized: depth markers, nesting limits,
// pieces innermost first. On success also sets baseConstCount and records the
// program that evaluation replays.
bool splitPieces(CompiledFormula& formula);

// Converts one maximal run of number characters and stores it as the next
// constant. False for a run that is not a number, one that overflows the
// extended range, or a 101st constant.
bool storeConstant(std::string_view run, CompiledFormula& formula);

// The decimal number of the reference ("Q[12]", "H[3]") starting at pos.
int referenceNumberAt(std::string_view text, std::size_t pos);

// The evaluations of formula.h on the record itself.
bool evaluateFormula(const CompiledFormula& formula, long double x, EvalWorkspace& ws);
std::size_t evaluateSamples(const CompiledFormula& formula, std::span<const long double> xs,
                            std::span<long double> values, EvalWorkspace& ws);

// One piece alone (pieces below it must have been evaluated into ws already).
bool evaluatePiece(const CompiledFormula& formula, int piece, long double x, EvalWorkspace& ws);

// Seals a record that passed both passes; for compile() and the engine's tests.
struct FormulaAccess {
  static Formula seal(std::shared_ptr<const CompiledFormula> compiled) {
    return Formula(std::move(compiled));
  }
};

}  // namespace kurvana
