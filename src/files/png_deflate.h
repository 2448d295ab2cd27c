// Deflate (RFC 1951) of PNG scanlines, tuned to plots: matches are sought at
// the few distances where such pictures repeat themselves, not by searching.
// Private to src/files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kurvana {

// Appends to `out` the deflate blocks of data[begin, end). Matches may reach
// back before `begin` (to data[0]), so pieces of one buffer compressed apart
// lose nothing at their seams. `lineBytes` is the scanline's length with its
// filter byte: rows match the rows above at that distance and twice it.
// With `final` the last block is marked final; without, the blocks end with
// an empty stored block, as a sync flush does, so that the next piece's
// blocks simply follow on a byte boundary.
// The same, fed piecewise: deflate() takes data[from, to), which may match
// back into data[0, from); `base` is data[0]'s place in the whole input.
// Buffers of later calls hold the input after the earlier ones', with up to
// 32 KB before `from` for matches. finish() writes the last block.
class ScanlineDeflater {
 public:
  ScanlineDeflater(std::size_t lineBytes, std::vector<std::uint8_t>& out);
  void deflate(const std::uint8_t* data, std::size_t base, std::size_t from, std::size_t to);
  void finish(bool final);

 private:
  std::size_t lineBytes_;
  std::vector<std::uint8_t>& out_;
  std::vector<std::uint32_t> symbols_;  // of the block being gathered
  std::vector<std::uint32_t> recent_;   // by hash, the position + 1 last seen
  // by position modulo 32 KB, the position + 1 seen before it with its hash
  std::vector<std::uint32_t> previous_;
  std::size_t lastDistance_ = 0;
  std::uint64_t bits_ = 0;  // not yet in `out_`
  int bitCount_ = 0;
};

void deflateScanlines(const std::uint8_t* data, std::size_t begin, std::size_t end,
                      std::size_t lineBytes, bool final, std::vector<std::uint8_t>& out);

}  // namespace kurvana
