#include "files/png_deflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <queue>
#include <utility>

namespace kurvana {
namespace {

constexpr std::size_t kWindow = 32 * 1024;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr int kLiteralCodes = 286;  // literals, end of block, lengths
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;
// Symbols gathered before a block is written: one Huffman code per block
// follows the picture's changing parts. At 2040 x 1340, blocks of 8K symbols
// made plots 0.3 to 1.6% smaller than 16K, 4K within 0.2% of 8K, and one
// block for the whole picture 1.5% larger.
constexpr std::size_t kBlockSymbols = 8 * 1024;
constexpr int kHashBits = 15;
// Places with the same four bytes tried, the latest first, and the matches
// shorter than kHashedMatch whose inner places are hashed too (longer ones
// are runs and row copies, which the fixed distances find). Against the
// latest place alone, on the plots of tools/compare_peers.sh: 2 to 5%
// smaller files for 9% more instructions in a whole draw; 8 places gained
// 0.2 to 0.8% more for 3% more instructions, hashing every place 1 to 2%
// more for three times the instructions.
constexpr int kChainLength = 4;
constexpr std::size_t kHashedMatch = 64;

// A literal byte, or a match: bit 31 set, length - 3 in bits 16 to 23,
// distance - 1 in bits 0 to 15.
using Symbol = std::uint32_t;
constexpr Symbol kMatchFlag = 0x80000000u;

struct Coded {
  int code;       // the Huffman symbol
  int extraBits;  // how many extra bits follow it
  int extra;      // their value
};

// Length 3 .. 258 as its symbol 257 .. 285 and extra bits.
Coded lengthCode(std::size_t length) {
  const unsigned v = static_cast<unsigned>(length - kMinMatch);
  if (v < 8) return {257 + static_cast<int>(v), 0, 0};
  if (v == 255) return {285, 0, 0};
  const int top = std::bit_width(v) - 1;  // 3 .. 7
  const int extraBits = top - 2;
  const unsigned low = (v >> extraBits) & 3;
  return {257 + 4 * (top - 1) + static_cast<int>(low), extraBits,
          static_cast<int>(v - ((4 | low) << extraBits))};
}

// Distance 1 .. 32768 as its symbol 0 .. 29 and extra bits.
Coded distanceCode(std::size_t distance) {
  const unsigned v = static_cast<unsigned>(distance - 1);
  if (v < 4) return {static_cast<int>(v), 0, 0};
  const int top = std::bit_width(v) - 1;  // 2 .. 14
  const int extraBits = top - 1;
  const unsigned low = (v >> extraBits) & 1;
  return {2 * top + static_cast<int>(low), extraBits,
          static_cast<int>(v - ((2 | low) << extraBits))};
}

// Bits go out least significant first, as deflate packs them. The bits not
// yet written out live with the caller, across calls.
class BitWriter {
 public:
  BitWriter(std::vector<std::uint8_t>& out, std::uint64_t& bits, int& count)
      : out_(out), bits_(bits), count_(count) {}
  // n <= 24 bits of `value`, whose higher bits are 0.
  void put(std::uint32_t value, int n) {
    bits_ |= static_cast<std::uint64_t>(value) << count_;
    count_ += n;
    if (count_ >= 32) {
      const std::uint8_t bytes[4] = {
          static_cast<std::uint8_t>(bits_), static_cast<std::uint8_t>(bits_ >> 8),
          static_cast<std::uint8_t>(bits_ >> 16), static_cast<std::uint8_t>(bits_ >> 24)};
      out_.insert(out_.end(), bytes, bytes + 4);
      bits_ >>= 32;
      count_ -= 32;
    }
  }
  // Pads with zero bits to a byte boundary and writes out what is held.
  void align() {
    for (; count_ > 0; count_ -= 8, bits_ >>= 8) out_.push_back(static_cast<std::uint8_t>(bits_));
    count_ = 0;
    bits_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t& bits_;
  int& count_;
};

// Huffman code lengths of at most `limit` bits. Every alphabet gets at least
// two codes, so that the code is complete (inflaters reject incomplete ones
// but for a lone distance code).
void huffmanLengths(const std::uint32_t* frequencies, int n, int limit, std::uint8_t* lengths) {
  std::vector<std::uint32_t> weight(frequencies, frequencies + n);
  int used = 0;
  for (int s = 0; s < n; ++s) used += weight[s] != 0;
  for (int s = 0; s < n && used < 2; ++s) {
    if (weight[s] == 0) {
      weight[s] = 1;
      ++used;
    }
  }
  std::vector<int> leaves;
  for (int s = 0; s < n; ++s) {
    if (weight[s] != 0) leaves.push_back(s);
  }
  const int m = static_cast<int>(leaves.size());
  std::vector<int> parent(2 * static_cast<std::size_t>(m) - 1);
  for (;;) {
    // Nodes 0 .. m-1 are the leaves, m .. 2m-2 the inner nodes in the order
    // they are made; ties go to the lower node, so the result is stable.
    using Entry = std::pair<std::uint64_t, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (int k = 0; k < m; ++k) queue.push({weight[leaves[k]], k});
    int next = m;
    while (queue.size() > 1) {
      const Entry a = queue.top();
      queue.pop();
      const Entry b = queue.top();
      queue.pop();
      parent[a.second] = parent[b.second] = next;
      queue.push({a.first + b.first, next++});
    }
    // Inner nodes are made after their children: depths from the root down.
    std::vector<int> depth(2 * static_cast<std::size_t>(m) - 1, 0);
    int deepest = 0;
    for (int k = 2 * m - 3; k >= 0; --k) {
      depth[k] = depth[parent[k]] + 1;
      if (k < m) deepest = std::max(deepest, depth[k]);
    }
    if (deepest <= limit) {
      std::fill_n(lengths, n, 0);
      for (int k = 0; k < m; ++k) lengths[leaves[k]] = static_cast<std::uint8_t>(depth[k]);
      return;
    }
    // Too deep: flatten the weights and build again (halving repeatedly ends
    // with equal weights, a balanced tree of 9 levels at most).
    for (const int s : leaves) weight[s] = (weight[s] + 1) / 2;
  }
}

// Canonical codes for the lengths, bit-reversed for writing.
void canonicalCodes(const std::uint8_t* lengths, int n, std::uint16_t* codes) {
  std::array<int, 16> count{};
  for (int s = 0; s < n; ++s) ++count[lengths[s]];
  count[0] = 0;
  std::array<int, 16> next{};
  int code = 0;
  for (int len = 1; len < 16; ++len) {
    code = (code + count[len - 1]) << 1;
    next[len] = code;
  }
  for (int s = 0; s < n; ++s) {
    const int len = lengths[s];
    if (len == 0) {
      codes[s] = 0;
      continue;
    }
    const unsigned c = static_cast<unsigned>(next[len]++);
    unsigned reversed = 0;
    for (int k = 0; k < len; ++k) reversed |= ((c >> k) & 1u) << (len - 1 - k);
    codes[s] = static_cast<std::uint16_t>(reversed);
  }
}

// The fixed code's two unused literal codes 286 and 287 are counted: they
// shift the codes of 9 bits.
constexpr int kFixedLiteralCodes = 288;

struct Alphabets {
  std::array<std::uint8_t, kFixedLiteralCodes> literal{};
  std::array<std::uint8_t, kDistanceCodes> distance{};
};

Alphabets fixedLengths() {
  Alphabets a;
  std::fill(a.literal.begin(), a.literal.begin() + 144, 8);
  std::fill(a.literal.begin() + 144, a.literal.begin() + 256, 9);
  std::fill(a.literal.begin() + 256, a.literal.begin() + 280, 7);
  std::fill(a.literal.begin() + 280, a.literal.end(), 8);
  a.distance.fill(5);
  return a;
}

// The code lengths of a dynamic block's two alphabets, run-length coded with
// the symbols 16 (repeat the last 3 to 6 times), 17 (3 to 10 zeros) and 18
// (11 to 138 zeros); each entry is symbol | extra << 8.
std::vector<int> runLengths(const std::uint8_t* lengths, int n) {
  std::vector<int> out;
  for (int k = 0; k < n;) {
    const int len = lengths[k];
    int run = 1;
    while (k + run < n && lengths[k + run] == len) ++run;
    k += run;
    if (len == 0) {
      while (run >= 11) {
        const int r = std::min(run, 138);
        out.push_back(18 | (r - 11) << 8);
        run -= r;
      }
      if (run >= 3) {
        out.push_back(17 | (run - 3) << 8);
        run = 0;
      }
    } else {
      out.push_back(len);
      --run;
      while (run >= 3) {
        const int r = std::min(run, 6);
        out.push_back(16 | (r - 3) << 8);
        run -= r;
      }
    }
    while (run-- > 0) out.push_back(len);
  }
  return out;
}

constexpr int kRunExtraBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
constexpr std::uint8_t kRunOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                        11, 4,  12, 3, 13, 2, 14, 1, 15};

// One block of `symbols`, with the cheaper of a dynamic and the fixed code.
void writeBlock(BitWriter& writer, const std::vector<Symbol>& symbols, bool last) {
  std::array<std::uint32_t, kLiteralCodes> literalCount{};
  std::array<std::uint32_t, kDistanceCodes> distanceCount{};
  for (const Symbol s : symbols) {
    if ((s & kMatchFlag) == 0) {
      ++literalCount[s];
      continue;
    }
    const Coded length = lengthCode(((s >> 16) & 0xFF) + kMinMatch);
    const Coded distance = distanceCode((s & 0xFFFF) + 1);
    ++literalCount[length.code];
    ++distanceCount[distance.code];
  }
  literalCount[kEndOfBlock] = 1;

  Alphabets dynamic;
  huffmanLengths(literalCount.data(), kLiteralCodes, 15, dynamic.literal.data());
  huffmanLengths(distanceCount.data(), kDistanceCodes, 15, dynamic.distance.data());
  int literalsSent = kLiteralCodes;
  while (literalsSent > 257 && dynamic.literal[literalsSent - 1] == 0) --literalsSent;
  int distancesSent = kDistanceCodes;
  while (distancesSent > 1 && dynamic.distance[distancesSent - 1] == 0) --distancesSent;
  std::array<std::uint8_t, kLiteralCodes + kDistanceCodes> both{};
  std::copy_n(dynamic.literal.begin(), literalsSent, both.begin());
  std::copy_n(dynamic.distance.begin(), distancesSent, both.begin() + literalsSent);
  const std::vector<int> runs = runLengths(both.data(), literalsSent + distancesSent);
  std::array<std::uint32_t, 19> runCount{};
  for (const int r : runs) ++runCount[r & 0xFF];
  std::array<std::uint8_t, 19> runLength{};
  huffmanLengths(runCount.data(), 19, 7, runLength.data());
  int runLengthsSent = 19;
  while (runLengthsSent > 4 && runLength[kRunOrder[runLengthsSent - 1]] == 0) --runLengthsSent;

  const Alphabets fixed = fixedLengths();
  std::uint64_t dynamicBits = 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(runLengthsSent);
  for (const int r : runs) dynamicBits += runLength[r & 0xFF] + kRunExtraBits[r & 0xFF];
  std::uint64_t fixedBits = 0;
  for (int s = 0; s < kLiteralCodes; ++s) {
    dynamicBits += static_cast<std::uint64_t>(literalCount[s]) * dynamic.literal[s];
    fixedBits += static_cast<std::uint64_t>(literalCount[s]) * fixed.literal[s];
  }
  for (int s = 0; s < kDistanceCodes; ++s) {
    dynamicBits += static_cast<std::uint64_t>(distanceCount[s]) * dynamic.distance[s];
    fixedBits += static_cast<std::uint64_t>(distanceCount[s]) * fixed.distance[s];
  }
  const bool useFixed = fixedBits <= dynamicBits;  // the extra bits are the same in both

  writer.put(last ? 1 : 0, 1);
  writer.put(useFixed ? 1 : 2, 2);
  const Alphabets& lengths = useFixed ? fixed : dynamic;
  if (!useFixed) {
    writer.put(static_cast<std::uint32_t>(literalsSent - 257), 5);
    writer.put(static_cast<std::uint32_t>(distancesSent - 1), 5);
    writer.put(static_cast<std::uint32_t>(runLengthsSent - 4), 4);
    for (int k = 0; k < runLengthsSent; ++k) writer.put(runLength[kRunOrder[k]], 3);
    std::array<std::uint16_t, 19> runCodes{};
    canonicalCodes(runLength.data(), 19, runCodes.data());
    for (const int r : runs) {
      const int symbol = r & 0xFF;
      writer.put(runCodes[symbol], runLength[symbol]);
      if (kRunExtraBits[symbol] != 0)
        writer.put(static_cast<std::uint32_t>(r >> 8), kRunExtraBits[symbol]);
    }
  }
  std::array<std::uint16_t, kFixedLiteralCodes> literalCodes{};
  std::array<std::uint16_t, kDistanceCodes> distanceCodes{};
  canonicalCodes(lengths.literal.data(), kFixedLiteralCodes, literalCodes.data());
  canonicalCodes(lengths.distance.data(), kDistanceCodes, distanceCodes.data());
  for (const Symbol s : symbols) {
    if ((s & kMatchFlag) == 0) {
      writer.put(literalCodes[s], lengths.literal[s]);
      continue;
    }
    const Coded length = lengthCode(((s >> 16) & 0xFF) + kMinMatch);
    const Coded distance = distanceCode((s & 0xFFFF) + 1);
    writer.put(literalCodes[length.code], lengths.literal[length.code]);
    if (length.extraBits != 0)
      writer.put(static_cast<std::uint32_t>(length.extra), length.extraBits);
    writer.put(distanceCodes[distance.code], lengths.distance[distance.code]);
    if (distance.extraBits != 0)
      writer.put(static_cast<std::uint32_t>(distance.extra), distance.extraBits);
  }
  writer.put(literalCodes[kEndOfBlock], lengths.literal[kEndOfBlock]);
}

// How many bytes at `a` equal those at `b`, up to `limit`.
std::size_t commonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
  std::size_t n = 0;
  for (; n + 8 <= limit; n += 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      const std::uint64_t diff = x ^ y;
      const int same = std::endian::native == std::endian::little ? std::countr_zero(diff)
                                                                  : std::countl_zero(diff);
      return n + static_cast<std::size_t>(same / 8);
    }
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

std::uint32_t hashOf(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

ScanlineDeflater::ScanlineDeflater(std::size_t lineBytes, std::vector<std::uint8_t>& out)
    : lineBytes_(lineBytes),
      out_(out),
      recent_(std::size_t{1} << kHashBits, 0),
      previous_(kWindow, 0) {
  symbols_.reserve(kBlockSymbols);
}

void ScanlineDeflater::deflate(const std::uint8_t* data, std::size_t base, std::size_t from,
                               std::size_t to) {
  BitWriter writer(out_, bits_, bitCount_);
  struct Match {
    std::size_t length = 0, distance = 0;
  };
  // The longest match at `at` among the candidate distances, the cheapest
  // first (a tie keeps the earlier); visits `at` for the hash.
  const auto find = [&](std::size_t at) {
    Match best;
    const std::size_t limit = std::min(kMaxMatch, to - at);
    if (limit < kMinMatch) return best;
    const auto tryDistance = [&](std::size_t d) {
      if (d == 0 || d > at || d > kWindow || best.length == limit) return;
      // Only a match that goes on where the best one stops can be longer:
      // one byte tells, which spares most comparisons (and every repeat of
      // a distance already tried).
      if (best.length != 0 && data[at - d + best.length] != data[at + best.length]) return;
      const std::size_t n = commonLength(data + at, data + at - d, limit);
      if (n > best.length) best = {n, d};
    };
    tryDistance(1);
    tryDistance(3);
    if (lastDistance_ != 1 && lastDistance_ != 3) tryDistance(lastDistance_);
    if (at + 4 <= to) {
      // Positions wrap at 4 GB: a stale slot gives a distance that the
      // comparison checks like any other.
      const auto position = static_cast<std::uint32_t>(base + at + 1);
      std::uint32_t& slot = recent_[hashOf(data + at)];
      std::uint32_t candidate = slot;
      previous_[position % kWindow] = slot;
      slot = position;
      for (int k = 0; k < kChainLength && candidate != 0 && best.length < limit; ++k) {
        const std::uint32_t d = position - candidate;
        if (d > kWindow) break;
        tryDistance(d);
        candidate = previous_[candidate % kWindow];
      }
    }
    tryDistance(lineBytes_);
    tryDistance(2 * lineBytes_);
    // A short match far back costs more than its literals.
    if (best.length < 4 && (best.length < kMinMatch || best.distance > 1024)) best = {};
    return best;
  };
  Match next;
  bool haveNext = false;
  for (std::size_t at = from; at < to;) {
    const Match match = haveNext ? next : find(at);
    haveNext = false;
    // One step of lazy matching: a literal first where the match one byte on
    // is longer (0.1 to 3% smaller files, the polar rose most, for 10% more
    // time).
    if (match.length >= kMinMatch && match.length < kMaxMatch && at + 1 < to) {
      next = find(at + 1);
      haveNext = true;
    }
    if (match.length >= kMinMatch && !(haveNext && next.length > match.length + 1)) {
      symbols_.push_back(kMatchFlag | static_cast<Symbol>(match.length - kMinMatch) << 16 |
                         static_cast<Symbol>(match.distance - 1));
      lastDistance_ = match.distance;
      if (match.length < kHashedMatch) {
        // at + 1 was visited by the lazy step.
        for (std::size_t i = at + 2; i < at + match.length && i + 4 <= to; ++i) {
          const auto position = static_cast<std::uint32_t>(base + i + 1);
          std::uint32_t& slot = recent_[hashOf(data + i)];
          previous_[position % kWindow] = slot;
          slot = position;
        }
      }
      at += match.length;
      haveNext = false;
    } else {
      symbols_.push_back(data[at]);
      ++at;
    }
    if (symbols_.size() == kBlockSymbols) {
      writeBlock(writer, symbols_, false);
      symbols_.clear();
    }
  }
}

void ScanlineDeflater::finish(bool final) {
  BitWriter writer(out_, bits_, bitCount_);
  writeBlock(writer, symbols_, final);
  symbols_.clear();
  if (!final) {
    writer.put(0, 3);  // a stored block, not final
    writer.align();
    out_.insert(out_.end(), {0x00, 0x00, 0xFF, 0xFF});
  }
  writer.align();
}

void deflateScanlines(const std::uint8_t* data, std::size_t begin, std::size_t end,
                      std::size_t lineBytes, bool final, std::vector<std::uint8_t>& out) {
  ScanlineDeflater deflater(lineBytes, out);
  deflater.deflate(data, 0, begin, end);
  deflater.finish(final);
}

}  // namespace kurvana
