// Reduction of the pieces (recorded once per compilation) and its replay.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "engine/elementary.h"
#include "engine/formula.h"
#include "engine/reduction.h"

namespace kurvana {
namespace {

// The function list: position in the list is the tie-break between names of
// equal length, and selects the operation.
constexpr std::array<std::string_view, 20> kFunctionNames = {
    "SIN", "COS", "TAN", "ARCSIN", "ARCCOS", "ARCTAN", "^", "LG", "LN", "TR",
    "SRT", "SINI", "COSI", "TANI", "INT", "LOG", "ASIN", "ACOS", "ATAN", "ABS"};

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
    for (;;) {  // functions and powers
      std::size_t best = kNone;
      int position = 0;
      for (int i = 0; i < static_cast<int>(kFunctionNames.size()); ++i) {
        const auto name = kFunctionNames[i];
        if (best != kNone && name.size() <= kFunctionNames[position - 1].size()) continue;
        const auto at = s.find(name);
        if (at != kNone) best = at, position = i + 1;
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
  bool operandAt(const std::string& s, std::size_t pos, std::uint8_t& slot, std::size_t& end) const {
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
}

namespace {

void loadSlots(const CompiledFormula& formula, long double x, EvalWorkspace& ws) {
  ws.slots[kSlotX] = x;
  ws.slots[kSlotZero] = 0.0L;
  std::copy_n(formula.constants.begin() + 1, formula.baseConstCount, ws.slots.begin() + 1);
}

bool replay(const Op* op, const Op* end, EvalWorkspace& ws) {
  auto& v = ws.slots;
  clearFailFlags();
  for (; op != end; ++op) v[op->dst] = applyOp(op->code, v[op->left], v[op->right]);
  return !failFlagsRaised();
}

bool fail(EvalWorkspace& ws) {
  ws.evalResult = 0.0L;
  return false;
}

}  // namespace

bool evaluateFormula(const CompiledFormula& formula, long double x, EvalWorkspace& ws) {
  // A non-finite argument would pass through most operations without a flag.
  if (formula.pieceCount == 0 || formula.failingPiece != 0 || !std::isfinite(x)) return fail(ws);
  loadSlots(formula, x, ws);
  const Op* program = formula.program.data();
  if (!replay(program, program + formula.program.size(), ws)) return fail(ws);
  ws.evalResult = ws.slots[formula.resultSlot[formula.pieceCount]];
  return true;
}

bool evaluatePiece(const CompiledFormula& formula, int piece, long double x, EvalWorkspace& ws) {
  if (piece < 1 || piece > formula.pieceCount || !std::isfinite(x)) return fail(ws);
  if (formula.failingPiece != 0 && piece >= formula.failingPiece) return fail(ws);
  loadSlots(formula, x, ws);
  const Op* program = formula.program.data();
  if (!replay(program + formula.pieceStart[piece], program + formula.pieceStart[piece + 1], ws)) {
    return fail(ws);
  }
  ws.evalResult = ws.slots[formula.resultSlot[piece]];
  return true;
}

}  // namespace kurvana
