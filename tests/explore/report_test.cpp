// The analysis report's scans for roots and extrema (the report's lines of a
// drawn plot: tests/app/explore_commands_test.cpp; tests/files/
// report_file_test.cpp writes them).
#include "explore/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kurvana {
namespace {

// Samples at positions 0, 1, 2, ... so a position reads as its real index.
SampleRun indexRun(const std::vector<long double>& v) {
  return SampleRun{v, 0, static_cast<long double>(v.size() - 1)};
}

TEST(ReportScans, RootsAreExactZerosOrStrictSignChanges) {
  const struct {
    std::vector<long double> v;
    std::vector<long double> roots;
  } cases[] = {
      {{-1, 1}, {0.5L}},
      {{1, 2, -3, -4, 5}, {1.5L, 3.5L}},
      {{0, 1, 2}, {}},          // sample 0 is only ever a neighbour
      {{-1, 0, 1}, {1}},        // once, at the zero, not again for the sign change
      {{1, 0, 0, -1}, {1, 2}},  // each zero counts
      {{2, 2, 2}, {}},
      {{0, 0, 0, 0}, {1, 2, 3}},  // a zero constant lists every column from 1 on
      {{5}, {}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(findRoots(indexRun(c.v)), c.roots) << c.v.size();
}

TEST(ReportScans, ExtremaSitBetweenTheStepsAroundTheTurn) {
  // Samples 3, 1, 2 at 4, 5, 6 with no other turn: one minimum at 5.5.
  const std::vector<long double> single = {9, 8, 7, 6, 3, 1, 2, 4, 6};
  EXPECT_EQ(findMinima(indexRun(single)), std::vector<long double>{5.5L});
  EXPECT_TRUE(findMaxima(indexRun(single)).empty());
  // A flat bottom v[m-1] > v[m] = v[m+1] < v[m+2] is written at m + 1.
  const std::vector<long double> flat = {5, 4, 1, 1, 3, 2, 2, 2, 1, 0};
  EXPECT_EQ(findMinima(indexRun(flat)), std::vector<long double>{3});
  EXPECT_EQ(findMaxima(indexRun(flat)), std::vector<long double>{4.5L});
  // Never at either end; a plateau between rises is no turn.
  const std::vector<long double> ends = {0, 1, 2, 2, 3, 4, 3, 2};
  EXPECT_TRUE(findMinima(indexRun(ends)).empty());
  EXPECT_EQ(findMaxima(indexRun(ends)), std::vector<long double>{5.5L});
  const std::vector<long double> constant(50, 7.0L);
  EXPECT_TRUE(findMinima(indexRun(constant)).empty());
  EXPECT_TRUE(findMaxima(indexRun(constant)).empty());
}

TEST(ReportScans, PositionsMapTheRealIndexOntoTheRange) {
  const std::vector<long double> v = {1, -1, 1};
  const SampleRun run{v, -2, 2};
  EXPECT_EQ(findRoots(run), (std::vector<long double>{-1, 1}));
  EXPECT_EQ(findMinima(run), std::vector<long double>{1});  // half a spacing right of x = 0
}

}  // namespace
}  // namespace kurvana
