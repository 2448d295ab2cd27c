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
void deflateScanlines(const std::uint8_t* data, std::size_t begin, std::size_t end,
                      std::size_t lineBytes, bool final, std::vector<std::uint8_t>& out);

}  // namespace kurvana
