// Reduction of the pieces (recorded once per compilation) and its replay.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "engine/compiler_internal.h"
#include "engine/elementary.h"
#include "engine/reduction.h"

namespace kurvana {
namespace {

// The function list: position in the list is the tie-break between names of
// equal length, and selects the operation.
constexpr std::array<std::string_view, 20> kFunctionNames = {
    "SIN", "COS",  "TAN",  "ARCSIN", "ARCCOS", "ARCTAN", "^",    "LG",   "LN",   "TR",
    "SRT", "SINI", "COSI", "TANI",   "INT",    "LOG",    "ASIN", "ACOS", "ATAN", "ABS"};

constexpr std::size_t kNone = std::string::npos;

// Reduces one piece's text, emitting operations whose operands are replay
// slots. Intermediate results take the next constant number, exactly as the
// text form names them, so Q[n] always means slot n.
class PieceReducer {
 public:
  PieceReducer(CompiledFormula& formula, int& constCount)
      : formula_(formula), constCount_(constCount) {}

  // Reduces piece number `piece`; false when it cannot be reduced, otherwise
  // resultSlot names the slot of its value.
  bool reduce(int piece, std::string s, std::uint8_t& resultSlot) {
    piece_ = piece;
    if (s.empty()) return false;
    // A reduction writes Q[n], whose characters occur in no name, and joins
    // nothing, so a name absent from the piece never appears: only the names
    // present at the start are searched again after each operation.
    std::array<bool, kFunctionNames.size()> present{};
    for (std::size_t i = 0; i < kFunctionNames.size(); ++i) {
      present[i] = s.find(kFunctionNames[i]) != kNone;
    }
    for (;;) {  // functions and powers
      std::size_t best = kNone;
      int position = 0;
      for (int i = 0; i < static_cast<int>(kFunctionNames.size()); ++i) {
        if (!present[static_cast<std::size_t>(i)]) continue;
        const auto name = kFunctionNames[i];
        if (best != kNone && name.size() <= kFunctionNames[position - 1].size()) continue;
        const auto at = s.find(name);
        if (at != kNone) {
          best = at, position = i + 1;
        } else {
          present[static_cast<std::size_t>(i)] = false;
        }
      }
      if (best == kNone) break;
      const bool isPower = position == 7;
      if (isPower && best == 0) return false;
      if (!apply(s, best, kFunctionNames[position - 1].size(), isPower, functionOp(position))) {
        return false;
      }
    }
    for (;;) {  // every "/" before any "*"
      std::size_t at = s.find('/');
      OpCode code = OpCode::kDivide;
      if (at == kNone) at = s.find('*'), code = OpCode::kMultiply;
      if (at == kNone) break;
      if (at == 0) return false;
      if (!apply(s, at, 1, true, code)) return false;
    }
    for (;;) {  // every "-" before any "+"; a leading sign has the left value 0
      std::size_t at = s.find('-');
      OpCode code = OpCode::kSubtract;
      if (at == kNone) at = s.find('+'), code = OpCode::kAdd;
      if (at == kNone) break;
      if (!apply(s, at, 1, at != 0, code)) return false;
    }
    std::size_t end = 0;
    return operandAt(s, 0, resultSlot, end) && end == s.size();
  }

 private:
  // Reads the operand ("X", "Q[n]", "H[n]") starting at pos.
  bool operandAt(const std::string& s, std::size_t pos, std::uint8_t& slot,
                 std::size_t& end) const {
    if (pos >= s.size()) return false;
    if (s[pos] == 'X') {
      slot = kSlotX;
      end = pos + 1;
      return true;
    }
    if (s[pos] != 'Q' && s[pos] != 'H') return false;
    const auto close = s.find(']', pos);
    if (close == kNone || pos + 1 >= s.size() || s[pos + 1] != '[') return false;
    const int n = referenceNumberAt(s, pos);
    if (s[pos] == 'Q') {
      if (n < 1 || n > constCount_) return false;
      slot = static_cast<std::uint8_t>(n);
    } else {
      if (n < 1 || n >= piece_) return false;
      slot = formula_.resultSlot[n];
    }
    end = close + 1;
    return true;
  }

  // One operation: the operator or name of `length` characters at `at`, its
  // left operand when `takesLeft` (X or a reference ending right before it,
  // else the value 0 with nothing removed), and the operand right after it.
  bool apply(std::string& s, std::size_t at, std::size_t length, bool takesLeft, OpCode code) {
    std::size_t start = at;
    std::uint8_t left = kSlotZero;
    if (takesLeft && at > 0) {
      if (s[at - 1] == 'X') {
        left = kSlotX;
        start = at - 1;
      } else if (s[at - 1] == ']') {
        const auto ref = s.find_last_of("QH", at - 1);
        std::size_t end = 0;
        if (ref == kNone || !operandAt(s, ref, left, end) || end != at) return false;
        start = ref;
      }
    }
    std::uint8_t right = 0;
    std::size_t end = 0;
    if (!operandAt(s, at + length, right, end)) return false;
    if (++constCount_ > kMaxConstants) return false;
    const auto dst = static_cast<std::uint8_t>(constCount_);
    formula_.program.push_back(Op{code, dst, left, right});
    s.replace(start, end - start, "Q[" + std::to_string(constCount_) + "]");
    return true;
  }

  CompiledFormula& formula_;
  int& constCount_;
  int piece_ = 1;
};

// Specialisations that keep every bit: a power whose exponent is a compiled
// whole constant squares without testing the exponent per sample, and a sine
// and a cosine of one operand share their argument reduction.
void specialise(CompiledFormula& formula) {
  auto& program = formula.program;
  for (Op& op : program) {
    if (op.code != OpCode::kPower || op.right < 1 || op.right > formula.baseConstCount) continue;
    const long double exponent = formula.constants[op.right];
    unsigned long n = 0;
    if (exponent == 0.0L || !wholeExponent(exponent, n)) continue;
    op.code = exponent > 0.0L ? OpCode::kPowerWhole : OpCode::kPowerWholeInv;
    op.aux = static_cast<std::uint32_t>(n);
  }
  for (std::size_t i = 0; i < program.size(); ++i) {
    const OpCode code = program[i].code;
    if (code != OpCode::kSin && code != OpCode::kCos) continue;
    const OpCode partner = code == OpCode::kSin ? OpCode::kCos : OpCode::kSin;
    for (std::size_t j = i + 1; j < program.size(); ++j) {
      if (program[j].code != partner || program[j].right != program[i].right) continue;
      // Each slot is written once, so the later result may be written early.
      const auto sinDst = code == OpCode::kSin ? program[i].dst : program[j].dst;
      const auto cosDst = code == OpCode::kSin ? program[j].dst : program[i].dst;
      program[i] = Op{OpCode::kSinCos, sinDst, kSlotZero, program[i].right, cosDst};
      program.erase(program.begin() + static_cast<std::ptrdiff_t>(j));
      for (int p = 1; p <= formula.pieceCount + 1; ++p) {
        if (formula.pieceStart[p] > j) --formula.pieceStart[p];
      }
      break;
    }
  }
}

}  // namespace

int referenceNumberAt(std::string_view text, std::size_t pos) {
  int n = 0;
  for (std::size_t i = pos + 2; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    n = n * 10 + (text[i] - '0');
    if (n > 1000000) break;  // never a valid reference; keeps the sum in range
  }
  return n;
}

void recordReduction(CompiledFormula& formula) {
  formula.program.clear();
  formula.failingPiece = 0;
  int constCount = formula.baseConstCount;
  PieceReducer reducer(formula, constCount);
  for (int i = 1; i <= formula.pieceCount; ++i) {
    formula.pieceStart[i] = static_cast<std::uint16_t>(formula.program.size());
    std::uint8_t slot = 0;
    if (!reducer.reduce(i, formula.pieces[i], slot)) {
      formula.failingPiece = i;
      return;
    }
    formula.resultSlot[i] = slot;
  }
  formula.pieceStart[formula.pieceCount + 1] = static_cast<std::uint16_t>(formula.program.size());
  specialise(formula);
}

namespace {

// The replay runs column-wise: each operation over a block of samples before
// the next, so dispatch costs once per block and the samples' independent
// extended loads, stores and library calls overlap. The flags are tested once
// per block; a failed block is replayed sample by sample to find its first
// failure.
constexpr int kBlock = EvalWorkspace::kBlock;

long double* column(EvalWorkspace& ws, int slot) {
  return ws.columns.data() + slot * kBlock;
}

template <typename F>
[[gnu::always_inline]] inline void each(int n, long double* d, const long double* a,
                                        const long double* b, F f) {
  for (int i = 0; i < n; ++i) d[i] = f(a[i], b[i]);
}

// One loop per basic operation, each with its operation folded in.
using Runner = void (*)(int, long double*, const long double*, const long double*);

template <OpCode kCode>
void runEach(int n, long double* d, const long double* a, const long double* b) {
  each(n, d, a, b, [](long double l, long double r) { return applyOp(kCode, l, r); });
}

template <std::size_t... kCodes>
constexpr std::array<Runner, sizeof...(kCodes)> makeRunners(std::index_sequence<kCodes...>) {
  return {&runEach<static_cast<OpCode>(kCodes)>...};
}

constexpr auto kBasicRunners =
    makeRunners(std::make_index_sequence<static_cast<std::size_t>(OpCode::kSubtract) + 1>{});

// Constants never change within a call: the zero slot and the compiled
// constants are spread over their columns once.
void loadConstants(const CompiledFormula& formula, int n, EvalWorkspace& ws) {
  if (ws.columns.empty()) ws.columns.resize(static_cast<std::size_t>(kSlotCount) * kBlock);
  std::fill_n(column(ws, kSlotZero), n, 0.0L);
  for (int slot = 1; slot <= formula.baseConstCount; ++slot) {
    std::fill_n(column(ws, slot), n, formula.constants[slot]);
  }
}

void run(const Op& op, int n, EvalWorkspace& ws) {
  long double* d = column(ws, op.dst);
  const long double* a = column(ws, op.left);
  const long double* b = column(ws, op.right);
  switch (op.code) {
    case OpCode::kPowerWhole: {
      const unsigned long e = op.aux;
      each(n, d, a, b, [e](long double l, long double) { return powerBySquaring(l, e); });
      break;
    }
    case OpCode::kPowerWholeInv: {
      const unsigned long e = op.aux;
      each(n, d, a, b, [e](long double l, long double) { return 1.0L / powerBySquaring(l, e); });
      break;
    }
    case OpCode::kSinCos: {
      long double* c = column(ws, static_cast<int>(op.aux));
      for (int i = 0; i < n; ++i) sincosl(b[i], &d[i], &c[i]);
      break;
    }
    default:
      kBasicRunners[static_cast<std::size_t>(op.code)](n, d, a, b);
  }
}

// Replays operations [from, to) on the first n samples of the block.
bool replay(const CompiledFormula& formula, int from, int to, int n, EvalWorkspace& ws) {
  clearFailFlags();
  for (int k = from; k < to; ++k) run(formula.program[k], n, ws);
  return !failFlagsRaised();
}

bool evaluable(const CompiledFormula& formula) {
  return formula.pieceCount > 0 && formula.failingPiece == 0;
}

bool fail(EvalWorkspace& ws) {
  ws.evalResult = 0.0L;
  return false;
}

// One sample in row 0 of the columns, constants already loaded.
bool evaluateLoaded(const CompiledFormula& formula, long double x, EvalWorkspace& ws) {
  // A non-finite argument would pass through most operations without a flag.
  if (!std::isfinite(x)) return fail(ws);
  column(ws, kSlotX)[0] = x;
  if (!replay(formula, 0, static_cast<int>(formula.program.size()), 1, ws)) return fail(ws);
  ws.evalResult = column(ws, formula.resultSlot[formula.pieceCount])[0];
  return true;
}

}  // namespace

bool evaluateFormula(const CompiledFormula& formula, long double x, EvalWorkspace& ws) {
  if (!evaluable(formula)) return fail(ws);
  loadConstants(formula, 1, ws);
  return evaluateLoaded(formula, x, ws);
}

bool evaluatePiece(const CompiledFormula& formula, int piece, long double x, EvalWorkspace& ws) {
  if (piece < 1 || piece > formula.pieceCount || !std::isfinite(x)) return fail(ws);
  if (formula.failingPiece != 0 && piece >= formula.failingPiece) return fail(ws);
  loadConstants(formula, 1, ws);
  column(ws, kSlotX)[0] = x;
  if (!replay(formula, formula.pieceStart[piece], formula.pieceStart[piece + 1], 1, ws)) {
    return fail(ws);
  }
  ws.evalResult = column(ws, formula.resultSlot[piece])[0];
  return true;
}

std::size_t evaluateSamples(const CompiledFormula& formula, std::span<const long double> xs,
                            std::span<long double> values, EvalWorkspace& ws) {
  if (!evaluable(formula)) return 0;
  const std::size_t count = std::min(xs.size(), values.size());
  loadConstants(formula, kBlock, ws);
  const int steps = static_cast<int>(formula.program.size());
  const long double* result = column(ws, formula.resultSlot[formula.pieceCount]);
  for (std::size_t first = 0; first < count; first += kBlock) {
    const int n = static_cast<int>(std::min<std::size_t>(kBlock, count - first));
    bool finite = true;
    for (int i = 0; i < n; ++i) finite = finite && std::isfinite(xs[first + i]);
    std::copy_n(xs.begin() + static_cast<std::ptrdiff_t>(first), n, column(ws, kSlotX));
    if (finite && replay(formula, 0, steps, n, ws)) {
      std::copy_n(result, n, values.begin() + static_cast<std::ptrdiff_t>(first));
      continue;
    }
    for (int i = 0; i < n; ++i) {
      if (!evaluateLoaded(formula, xs[first + i], ws)) return first + i;
      values[first + i] = ws.evalResult;
    }
  }
  return count;
}

bool evaluateFormula(const Formula& formula, long double x, EvalWorkspace& ws) {
  if (formula.empty()) return fail(ws);
  return evaluateFormula(*formula.compiled(), x, ws);
}

std::size_t evaluateSamples(const Formula& formula, std::span<const long double> xs,
                            std::span<long double> values, EvalWorkspace& ws) {
  if (formula.empty()) return 0;
  return evaluateSamples(*formula.compiled(), xs, values, ws);
}

}  // namespace kurvana
