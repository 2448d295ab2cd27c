#include "render/artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace kurvana {
namespace {

constexpr Color grey(int level) {
  const auto v = static_cast<Color>(level);
  return v | (v << 8) | (v << 16);
}

constexpr int kArrowSide = 11;
constexpr int kRingSide = 15;
constexpr Color kRingColor = 0x002987;  // RGB (135, 41, 0)

struct Point {
  double x;
  double y;
};
using Polygon = std::vector<Point>;

double cross(Point o, Point a, Point b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Counter-clockwise convex hull (in y-down coordinates: clockwise on screen).
Polygon convexHull(Polygon points) {
  std::sort(points.begin(), points.end(),
            [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  Polygon hull(2 * points.size());
  std::size_t k = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  for (std::size_t i = points.size() - 1, upperStart = k + 1; i-- > 0;) {
    while (k >= upperStart && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
    hull[k++] = points[i];
  }
  hull.resize(k - 1);
  return hull;
}

// The shape grown by half a pixel in both axes (its Minkowski sum with a pixel
// square). The triangle's corners sit on pixel centres, so its bare area would
// cover only half of each base pixel and an eighth of the tip pixel; the grown
// shape covers those pixels fully and leaves the softening to the slanted sides.
Polygon grownByHalfPixel(const Polygon& shape) {
  Polygon corners;
  for (const Point p : shape) {
    for (const double dx : {-0.5, 0.5}) {
      for (const double dy : {-0.5, 0.5}) corners.push_back({p.x + dx, p.y + dy});
    }
  }
  return convexHull(corners);
}

// Area of `subject` inside the convex counter-clockwise `clip` (Sutherland-Hodgman).
double clippedArea(Polygon subject, const Polygon& clip) {
  for (std::size_t e = 0; e < clip.size() && !subject.empty(); ++e) {
    const Point a = clip[e];
    const Point b = clip[(e + 1) % clip.size()];
    Polygon kept;
    for (std::size_t i = 0; i < subject.size(); ++i) {
      const Point p = subject[i];
      const Point q = subject[(i + 1) % subject.size()];
      const double sp = cross(a, b, p);
      const double sq = cross(a, b, q);
      if (sp >= 0) kept.push_back(p);
      if ((sp >= 0) != (sq >= 0)) {
        const double t = sp / (sp - sq);
        kept.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
      }
    }
    subject = std::move(kept);
  }
  double twice = 0;
  for (std::size_t i = 0; i < subject.size(); ++i) {
    const Point p = subject[i];
    const Point q = subject[(i + 1) % subject.size()];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::fabs(twice) / 2;
}

// Coverage (0 ... 1) of each pixel of the right-pointing arrowhead: base on
// column 1 from row 1 to row 9, tip at column 9, row 5; indexed [row][column].

// At `side` pixels the shape is enlarged so that the picture's 11 cells fill
// them; side 11 gives the shape itself.
using Coverage = std::vector<std::vector<double>>;

Coverage rightArrowCoverage(int side) {
  const double cell = static_cast<double>(side) / kArrowSide;
  Polygon shape = grownByHalfPixel({{1, 1}, {1, 9}, {9, 5}});
  if (side != kArrowSide) {
    for (Point& p : shape) p = {(p.x + 0.5) * cell - 0.5, (p.y + 0.5) * cell - 0.5};
  }
  Coverage coverage(static_cast<std::size_t>(side), std::vector<double>(side));
  for (int row = 0; row < side; ++row) {
    for (int column = 0; column < side; ++column) {
      const double x = column;
      const double y = row;
      const Polygon pixel = {
          {x - 0.5, y - 0.5}, {x + 0.5, y - 0.5}, {x + 0.5, y + 0.5}, {x - 0.5, y + 0.5}};
      coverage[row][column] = std::clamp(clippedArea(pixel, shape), 0.0, 1.0);
    }
  }
  return coverage;
}

// `ink` over `paper` by coverage, per channel; zero coverage gives exactly the
// paper colour, which is the picture's transparent colour.
Color shade(int paper, int ink, double coverage) {
  return grey(paper + static_cast<int>(std::nearbyint((ink - paper) * coverage)));
}

// The upward arrowhead is the right-pointing one turned a quarter turn
// anticlockwise: its pixel (column, row) is the right one's (10 - row, column).
Bitmap arrowhead(const Coverage& coverage, bool upward, int paper, int ink) {
  const int side = static_cast<int>(coverage.size());
  Bitmap picture(side, side, grey(paper));
  for (int row = 0; row < side; ++row) {
    for (int column = 0; column < side; ++column) {
      const double c = upward ? coverage[column][side - 1 - row] : coverage[row][column];
      picture.setPixel(column, row, shade(paper, ink, c));
    }
  }
  return picture;
}

Bitmap cursorRing() {
  // Ring spans per row, columns numbered from 1: {first, last} pairs.
  struct Span {
    int first;
    int last;
  };
  const std::array<std::vector<Span>, kRingSide> rows = {{
      {{6, 10}},
      {{4, 12}},
      {{3, 13}},
      {{2, 14}},
      {{2, 6}, {10, 14}},
      {{1, 5}, {11, 15}},
      {{1, 4}, {12, 15}},
      {{1, 4}, {12, 15}},
      {{1, 4}, {12, 15}},
      {{1, 5}, {11, 15}},
      {{2, 6}, {10, 14}},
      {{2, 14}},
      {{3, 13}},
      {{4, 12}},
      {{6, 10}},
  }};
  Bitmap picture(kRingSide, kRingSide, 0);
  for (int row = 0; row < kRingSide; ++row) {
    for (const Span span : rows[row])
      picture.fillRect(span.first - 1, row, span.last, row + 1, kRingColor);
  }
  return picture;
}

// Each device pixel takes the colour of the window pixel its centre lies in.
Bitmap enlarged(const Bitmap& picture, int side) {
  if (side == picture.width()) return picture;
  Bitmap out(side, side, 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      out.setPixel(x, y, picture.pixel((2 * x + 1) * picture.width() / (2 * side),
                                       (2 * y + 1) * picture.height() / (2 * side)));
    }
  }
  return out;
}

int scaledSide(int side, double scale) {
  return std::max(1, static_cast<int>(std::llrint(side * scale)));
}

Artwork build(double scale) {
  const Coverage coverage = rightArrowCoverage(scaledSide(kArrowSide, scale));
  Artwork art;
  art.arrowRightOnBlack = arrowhead(coverage, false, 0, 160);
  art.arrowUpOnBlack = arrowhead(coverage, true, 0, 160);
  art.arrowRightOnWhite = arrowhead(coverage, false, 255, 64);
  art.arrowUpOnWhite = arrowhead(coverage, true, 255, 64);
  art.cursorRing = enlarged(cursorRing(), scaledSide(kRingSide, scale));
  return art;
}

}  // namespace

const Artwork& artwork(double scale) {
  static const Artwork atOne = build(1);
  if (scale == 1) return atOne;
  // Screens of a few scales at most: every set built is kept.
  static std::mutex mutex;
  static std::map<double, Artwork> built;
  const std::lock_guard<std::mutex> lock(mutex);
  auto found = built.find(scale);
  if (found == built.end()) found = built.emplace(scale, build(scale)).first;
  return found->second;
}

}  // namespace kurvana
