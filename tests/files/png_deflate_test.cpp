// The scanline deflater's streams, inflated by zlib: every kind of input
// comes back byte for byte, in one piece and split into pieces.
#include "files/png_deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kurvana {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The raw deflate stream inflated, or an error text.
std::pair<Bytes, std::string> inflateRaw(const Bytes& stream, std::size_t expected) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) return {{}, "inflateInit2"};
  Bytes out(expected + 1024);
  z.next_in = const_cast<Bytes::value_type*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  std::string error = result == Z_STREAM_END ? ""
                      : z.msg                ? z.msg
                                             : "inflate " + std::to_string(result);
  if (error.empty() && z.avail_in != 0) error = "data after the stream's end";
  inflateEnd(&z);
  return {out, error};
}

// The data deflated in pieces split at `seams` (byte offsets), the last final.
Bytes deflatePieces(const Bytes& data, std::size_t lineBytes, std::vector<std::size_t> seams) {
  Bytes out;
  for (auto& seam : seams) seam = std::min(seam, data.size());
  std::sort(seams.begin(), seams.end());
  seams.push_back(data.size());
  std::size_t begin = 0;
  for (std::size_t k = 0; k < seams.size(); ++k) {
    deflateScanlines(data.data(), begin, seams[k], lineBytes, k + 1 == seams.size(), out);
    begin = seams[k];
  }
  return out;
}

struct Case {
  std::string name;
  Bytes data;
  std::size_t lineBytes;
};

std::vector<Case> cases() {
  std::mt19937 random(3);
  const auto noise = [&](std::size_t n) {
    Bytes b(n);
    for (auto& v : b) v = static_cast<std::uint8_t>(random());
    return b;
  };
  std::vector<Case> out;
  out.push_back({"empty", {}, 4});
  out.push_back({"one byte", {7}, 1});
  out.push_back({"two bytes", {7, 7}, 2});
  out.push_back({"three equal bytes", {5, 5, 5}, 3});
  out.push_back({"one pixel, one row", {0, 1, 2, 3}, 4});
  // Too few for a dynamic code: the fixed one, with literals of 9 bits.
  out.push_back({"high bytes", {144, 200, 255, 143, 0, 255, 255, 255, 255}, 9});
  out.push_back({"noise, 200 KB", noise(200000), 1000});
  // Rows of exactly 258 * k bytes, all alike: matches end on the rows' edges.
  for (const std::size_t k : {1u, 2u, 24u}) {
    const Bytes row = noise(258 * k);
    Bytes b;
    for (int y = 0; y < 50; ++y) b.insert(b.end(), row.begin(), row.end());
    out.push_back({"rows of 258 * " + std::to_string(k) + " bytes", b, 258 * k});
  }
  // One row of 6121 bytes repeated two rows on, as dotted lines do, with
  // literals between.
  {
    const Bytes even = noise(6121), odd = noise(6121);
    Bytes b;
    for (int y = 0; y < 40; ++y) {
      const Bytes& row = y % 2 == 0 ? even : odd;
      b.insert(b.end(), row.begin(), row.end());
      if (y % 7 == 3) b[b.size() - 100] ^= 0x55;
    }
    out.push_back({"rows repeating two rows on", b, 6121});
  }
  // Long runs of one value and of a short period, the bytes of flat colour.
  {
    Bytes b(300000, 0);
    for (std::size_t i = 100000; i < 200000; ++i) b[i] = static_cast<std::uint8_t>(i % 3 * 40);
    for (std::size_t i = 250000; i < b.size(); i += 600) b[i] = 0x40;
    out.push_back({"runs and periods", b, 3001});
  }
  // Skewed byte frequencies that make a Huffman tree deeper than 15 bits
  // unless the lengths are limited.
  {
    // Fibonacci counts: a tree as deep as there are symbols.
    Bytes b;
    std::uint32_t count = 1, previous = 1;
    for (int symbol = 0; symbol < 26; ++symbol) {
      b.insert(b.end(), count, static_cast<std::uint8_t>(symbol * 7));
      count = std::exchange(previous, previous + count);
    }
    std::shuffle(b.begin(), b.end(), random);
    out.push_back({"skewed frequencies", b, 100003});
  }
  return out;
}

TEST(PngDeflate, ZlibInflatesEveryKindOfInput) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const Bytes stream = deflatePieces(c.data, c.lineBytes, {});
    const auto [inflated, error] = inflateRaw(stream, c.data.size());
    ASSERT_EQ(error, "");
    EXPECT_TRUE(inflated == c.data) << "the bytes differ";
  }
}

// Pieces split anywhere, also inside what would be a match and at the very
// start or end, join into one stream; matches reach across the seams.
TEST(PngDeflate, PiecesJoinIntoOneStream) {
  for (const Case& c : cases()) {
    SCOPED_TRACE(c.name);
    const std::size_t n = c.data.size();
    for (const auto& seams : std::vector<std::vector<std::size_t>>{
             {0}, {n}, {n / 2}, {n / 3, n / 3 + 1, 2 * n / 3}, {n / 2, n / 2}}) {
      SCOPED_TRACE(testing::PrintToString(seams));
      const auto [inflated, error] = inflateRaw(deflatePieces(c.data, c.lineBytes, seams), n);
      ASSERT_EQ(error, "");
      EXPECT_TRUE(inflated == c.data) << "the bytes differ";
    }
  }
}

// Matches of every length from 3 to 258 at the distances on the edges of
// the distance codes, up to the window's 32 KB: the row's length is the
// distance, and each row repeats the one above but for bytes flipped at
// growing gaps.
TEST(PngDeflate, EveryLengthAtTheDistanceEdges) {
  std::mt19937 random(21);
  for (const std::size_t distance : {4u, 5u, 256u, 257u, 24576u, 24577u, 32767u, 32768u}) {
    SCOPED_TRACE(distance);
    Bytes data(distance);
    for (auto& v : data) v = static_cast<std::uint8_t>(random());
    std::size_t gap = 0;
    while (data.size() < distance + 40000) {
      for (std::size_t k = 0; k < gap; ++k) data.push_back(data[data.size() - distance]);
      data.push_back(static_cast<std::uint8_t>(data[data.size() - distance] ^ 0x80));
      gap = gap == 300 ? 0 : gap + 1;
    }
    const auto [inflated, error] = inflateRaw(deflatePieces(data, distance, {}), data.size());
    ASSERT_EQ(error, "");
    EXPECT_TRUE(inflated == data) << "the bytes differ";
  }
}

// A repeat of a row costs a few bytes: its matches reach the row above; and
// across a seam, too.
TEST(PngDeflate, RepeatedRowsCostLittle) {
  std::mt19937 random(8);
  Bytes row(6121);
  for (auto& v : row) v = static_cast<std::uint8_t>(random());
  Bytes once = row, many;
  for (int y = 0; y < 100; ++y) many.insert(many.end(), row.begin(), row.end());
  const std::size_t single = deflatePieces(once, row.size(), {}).size();
  EXPECT_LT(deflatePieces(many, row.size(), {}).size(), single + 99 * 50);
  EXPECT_LT(deflatePieces(many, row.size(), {many.size() / 2}).size(), single + 99 * 50 + 10);
}

}  // namespace
}  // namespace kurvana
