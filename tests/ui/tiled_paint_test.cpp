// paintTiled under a region of several rectangles, as a window less its
// opaque children asks for: every pixel of the region shows the tile's
// pixel at its place in the tiling from the widget's corner, and nothing
// outside the region is painted.
#include <gtest/gtest.h>

#include <QImage>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

#include "ui/chrome_widgets.h"

namespace kurvana::ui {
namespace {

class Tiled : public QWidget {
 public:
  explicit Tiled(QImage tile) : tile_(std::move(tile)) { resize(60, 40); }

 protected:
  void paintEvent(QPaintEvent* event) override { paintTiled(this, event, tile_); }

 private:
  QImage tile_;
};

TEST(PaintTiled, EachRectangleOfTheRegionShowsTheTilingAndNothingElseIsPainted) {
  QImage tile(7, 5, QImage::Format_RGB32);  // a different colour at each place
  for (int y = 0; y < tile.height(); ++y) {
    for (int x = 0; x < tile.width(); ++x) tile.setPixel(x, y, qRgb(10 + x * 30, 20 + y * 40, 99));
  }
  Tiled widget(tile);
  // Rectangles that start and end inside tiles, one of them a single pixel.
  QRegion region(QRect(3, 2, 20, 9));
  region += QRect(30, 11, 13, 17);
  region += QRect(0, 33, 60, 7);
  region += QRect(59, 0, 1, 1);
  ASSERT_GT(region.rectCount(), 1);
  const QRgb untouched = qRgb(1, 2, 3);
  QImage out(widget.size(), QImage::Format_RGB32);
  out.fill(untouched);
  widget.render(&out, QPoint(), region, QWidget::RenderFlags());
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      const QRgb expected = region.contains(QPoint(x, y)) ? tile.pixel(x % 7, y % 5) : untouched;
      ASSERT_EQ(out.pixel(x, y), expected) << x << ", " << y;
    }
  }
}

}  // namespace
}  // namespace kurvana::ui
