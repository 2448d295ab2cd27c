// The empty plot: geometry, frame, axes, grids and their anchoring.
#include "render/plot_frame.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "plot/fields.h"
#include "plot/range_fields.h"
#include "render/artwork.h"
#include "render/text.h"

namespace kurvana {
namespace {

// Remembers each label where it was drawn, without painting.
class RecordingText : public TextRenderer {
 public:
  void draw(Bitmap&, int x, int y, std::string_view text, Color) const override {
    drawn.push_back({x, y, std::string(text)});
  }
  int width(std::string_view text) const override { return 7 * static_cast<int>(text.size()); }
  int cellHeight() const override { return 14; }

  struct Label {
    int x, y;
    std::string text;
  };
  mutable std::vector<Label> drawn;
};

class PlotFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    texts = {"0", "10", "-5", "5", "F(x)=", "G(x)=", "0", "10", "1000"};  // in Field order
  }

  // The ranges as the fields give them, then the empty plot for the window.
  void paint(const TextRenderer* text = nullptr) {
    const RangeReading reading = readRangeFields(texts, rangesOf(*state), ".");
    setRanges(*state, reading.ranges);
    for (const FieldEdit& edit : reading.rewrites) textOf(texts, edit.field) = edit.text;
    RenderContext context{*state, image, artwork(), text ? text : font.get(), "."};
    applyColourScheme(*state);
    frame = paintEmptyPlot(context, plotImageSize(window));
  }

  void range(const char* xMin, const char* xMax, const char* yMin, const char* yMax) {
    textOf(texts, Field::kXMin) = xMin;
    textOf(texts, Field::kXMax) = xMax;
    textOf(texts, Field::kYMin) = yMin;
    textOf(texts, Field::kYMax) = yMax;
  }

  // Columns of plot row `row` (pixel row) holding `color`, within the plot.
  int countInRow(int row, Color color) const {
    int n = 0;
    for (int x = kMargin; x < frame.geometry.width + kMargin; ++x)
      n += image.pixel(x, row) == color;
    return n;
  }
  int countInColumn(int column, Color color) const {
    int n = 0;
    for (int y = kMargin; y < frame.geometry.height + kMargin; ++y) {
      n += image.pixel(column, y) == color;
    }
    return n;
  }

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  FieldTexts texts;        // the range fields as the window would show them
  Size window{1024, 768};  // the main window the image is sized for
  kurvana::PlotFrame frame;
  Bitmap image;
  std::unique_ptr<TextRenderer> font;  // labels left out unless a test loads the font
};

TEST_F(PlotFrame, ImageFollowsTheWindowUpToItsLimits) {
  paint();
  EXPECT_EQ(image.width(), 824);
  EXPECT_EQ(image.height(), 668);
  EXPECT_EQ(frame.geometry.width, 784);
  EXPECT_EQ(frame.geometry.height, 628);
  EXPECT_EQ(plotImageSize({1024, 768}).width, 824);
  EXPECT_EQ(plotImageSize({1024, 768}).height, 668);
  // The smallest image still leaves a plot of 20 x 20.
  EXPECT_EQ(plotImageSize({259, 159}).width, 60);
  EXPECT_EQ(plotImageSize({259, 159}).height, 60);
  EXPECT_EQ(plotImageSize({261, 161}).width, 61);
  EXPECT_EQ(plotImageSize({2240, 1440}).width, 2040);
  EXPECT_EQ(plotImageSize({2241, 1441}).height, 1340);

  window = {5000, 3000};
  paint();
  EXPECT_EQ(image.width(), 2040);
  EXPECT_EQ(image.height(), 1340);
  EXPECT_EQ(frame.geometry.width, 2000);
  EXPECT_EQ(frame.geometry.height, 1300);
}

TEST_F(PlotFrame, TwoPixelFrameJustOutsideThePlotArea) {
  paint();
  const int w = frame.geometry.width, h = frame.geometry.height;
  const Color grid = state->gridColor;
  for (int column : {18, 19, w + 20, w + 21}) EXPECT_EQ(image.pixel(column, 200), grid) << column;
  for (int row : {18, 19, h + 20, h + 21}) EXPECT_EQ(image.pixel(300, row), grid) << row;
  EXPECT_EQ(image.pixel(17, 200), state->backColor);
  EXPECT_EQ(image.pixel(w + 22, 200), state->backColor);
  EXPECT_EQ(image.pixel(300, 21), state->backColor);
}

TEST_F(PlotFrame, Schemes) {
  paint();
  EXPECT_EQ(state->backColor, 0x000000u);
  EXPECT_EQ(state->gridColor, 0x404040u);
  EXPECT_EQ(state->axesColor, 0xA0A0A0u);
  EXPECT_EQ(state->labelColor, 0x606060u);
  EXPECT_EQ(image.pixel(2, 2), 0x000000u);
  state->optWhiteBack = flagOn;
  paint();
  EXPECT_EQ(state->backColor, 0xFFFFFFu);
  EXPECT_EQ(state->gridColor, 0xB0B0B0u);
  EXPECT_EQ(state->axesColor, 0x404040u);
  EXPECT_EQ(state->labelColor, 0x808080u);
  EXPECT_EQ(image.pixel(2, 2), 0xFFFFFFu);
}

TEST_F(PlotFrame, AxesOfTheDefaultRange) {
  paint();
  const int h = frame.geometry.height;
  // y = 0 lies on the first row whose value is not negative: i = 314 of 628.
  EXPECT_EQ(frame.yAxisColumn, 20);
  EXPECT_EQ(frame.xAxisRow, h + 19 - 314);
  const Color axes = state->axesColor;
  EXPECT_EQ(countInRow(frame.xAxisRow, axes), frame.geometry.width);
  EXPECT_GE(countInColumn(20, axes), h - 12);  // the up arrow covers the top rows
  // Arrow tips on the last plot column and the first plot row.
  EXPECT_NE(image.pixel(frame.geometry.width + 19, frame.xAxisRow), state->backColor);
  EXPECT_NE(image.pixel(20, 20), state->backColor);
  EXPECT_EQ(image.pixel(frame.geometry.width + 21, frame.xAxisRow - 3), state->gridColor);
}

TEST_F(PlotFrame, GridLinesEveryTenthAndNotThroughTheAxis) {
  paint();
  const Color grid = state->gridColor;
  const int h = frame.geometry.height;
  // gap = 78.3: lines at columns 20 + Round(k * 78.3).
  for (int column : {98, 177, 255, 333, 803}) {
    const int dots = countInColumn(column, grid);
    EXPECT_GT(dots, h / 3) << column;
    EXPECT_LT(dots, h) << column;  // dotted: gaps show the background
  }
  EXPECT_LT(countInColumn(97, grid), 30);  // only where horizontal lines cross
  EXPECT_EQ(countInColumn(20, grid), 0);   // the axis, not a grid line
}

TEST_F(PlotFrame, HiddenAxesShowTheGridLineInstead) {
  state->optAxes = flagOff;
  paint();
  EXPECT_GT(countInColumn(20, state->gridColor), frame.geometry.height / 3);
  EXPECT_EQ(countInColumn(20, state->axesColor), 0);
  EXPECT_EQ(countInRow(frame.xAxisRow, state->axesColor), 0);
}

TEST_F(PlotFrame, NoGridLeavesOnlyTheAxes) {
  state->optGrid = flagOff;
  paint();
  EXPECT_EQ(countInColumn(98, state->gridColor), 0);
  EXPECT_EQ(countInRow(100, state->gridColor), 0);
  EXPECT_EQ(countInRow(frame.xAxisRow, state->axesColor), frame.geometry.width);
}

// A range whose zero falls exactly on a sample: the axis, the grid around it
// and the labels sit on that column, not the next. Grid labels keep two
// decimals only below 100.
TEST_F(PlotFrame, ZeroOnASampleCarriesTheAxisGridAndLabels) {
  struct Case {
    int windowWidth;  // plot width + 240
    const char* xMin;
    const char* xMax;
    int axisColumn;
    int gap;                            // columns to the next grid line
    std::map<int, std::string> labels;  // some top-row labels by their left edge
  };
  for (const Case& c : {
           // 784 columns, one unit each: zero is sample 391; gap 78.3.
           Case{1024, "-391", "392", 411, 78, {{318, "-78.30"}, {396, "0.00"}, {474, "78.30"}}},
           // 801 columns of 1.25: zero is sample 400; gap 80 columns = 100.
           Case{1041,
                "-500",
                "500",
                420,
                80,
                {{325, "-100"}, {405, "0.00"}, {485, "100"}, {565, "200"}, {805, "500"}}},
       }) {
    window = {c.windowWidth, 768};
    range(c.xMin, c.xMax, "-5", "5");
    RecordingText text;
    paint(&text);
    ASSERT_EQ(frame.yAxisColumn, c.axisColumn) << c.xMin;
    const int h = frame.geometry.height;
    EXPECT_EQ(countInColumn(c.axisColumn, state->axesColor), h) << c.xMin;
    EXPECT_EQ(countInColumn(c.axisColumn, state->gridColor), 0) << c.xMin;
    for (const int column : {c.axisColumn - c.gap, c.axisColumn + c.gap}) {
      EXPECT_GT(countInColumn(column, state->gridColor), h / 3) << c.xMin << " " << column;
    }
    std::map<int, std::string> top;
    std::map<int, std::string> bottom;
    for (const auto& label : text.drawn) {
      if (label.y == 3) top[label.x] = label.text;
      if (label.y == image.height() - 17) bottom[label.x] = label.text;
    }
    EXPECT_EQ(top, bottom) << c.xMin;
    for (const auto& [x, expected] : c.labels) {
      EXPECT_EQ(top[x], expected) << c.xMin << " label at " << x;
    }
  }
}

TEST_F(PlotFrame, ZeroOutsideTheRangeAnchorsTheGrid) {
  struct Case {
    const char* xMin;
    const char* xMax;
    std::vector<int> columns;  // grid columns expected (pixel)
  };
  for (const Case& c : {Case{"100", "200", {20, 98, 255, 803}},   // offset -(W - 1)
                        Case{"1000", "1100", {98, 255, 803}},     // too far: offset 0
                        Case{"-200", "-100", {20, 568, 803}}}) {  // offset 2W - 2
    range(c.xMin, c.xMax, "-5", "5");
    paint();
    EXPECT_EQ(frame.yAxisColumn, -100) << c.xMin;
    for (int column : c.columns) {
      EXPECT_GT(countInColumn(column, state->gridColor), 100) << c.xMin << " column " << column;
    }
  }
}

TEST_F(PlotFrame, RangeWithoutZeroHasNoHorizontalAxis) {
  range("0", "10", "1", "2");
  paint();
  const int h = frame.geometry.height;
  EXPECT_EQ(frame.xAxisRow, -100);
  EXPECT_EQ(countInRow(20, state->gridColor) > 100, true);
  EXPECT_EQ(countInRow(h + 19, state->gridColor) > 100, true);
  EXPECT_EQ(countInRow(h + 19 - 63, state->gridColor) > 100, true);  // Round(62.7) rows up
}

TEST_F(PlotFrame, AxesAtTheRangeEnds) {
  range("-10", "0", "0", "3");
  paint();
  EXPECT_EQ(frame.yAxisColumn, frame.geometry.width + 19);
  EXPECT_EQ(frame.xAxisRow, frame.geometry.height + 19);
  range("0", "10", "-3", "0");
  paint();
  EXPECT_EQ(frame.yAxisColumn, 20);
  EXPECT_EQ(frame.xAxisRow, 20);
}

// Ranges the Draw refuses still get a frame, with axes only where 0 lies
// strictly inside: an empty range, a reversed one, and ranges whose width
// ends up at either end of the extended numbers.
TEST_F(PlotFrame, DegenerateRangesStillPaintTheFrame) {
  struct Case {
    const char* lo;
    const char* hi;
    int axisColumn;
    int axisRow;
  };
  for (const Case& c : {Case{"3", "3", kNoAxis, kNoAxis}, Case{"5", "-5", kNoAxis, kNoAxis},
                        Case{"-1e4000", "1e4000", 392 + 20, 628 + 19 - 314},
                        Case{"1e-4000", "2e-4000", kNoAxis, kNoAxis}}) {
    range(c.lo, c.hi, c.lo, c.hi);
    paint();
    EXPECT_EQ(frame.geometry.width, 784) << c.lo;
    EXPECT_EQ(frame.geometry.xMin, state->xMin) << c.lo;
    EXPECT_EQ(frame.geometry.yMax, state->yMax) << c.lo;
    EXPECT_EQ(image.pixel(19, 200), state->gridColor) << c.lo;
    EXPECT_EQ(image.pixel(200, 628 + 20), state->gridColor) << c.lo;
    EXPECT_EQ(frame.yAxisColumn, c.axisColumn) << c.lo;
    EXPECT_EQ(frame.xAxisRow, c.axisRow) << c.lo;
    if (c.axisRow != kNoAxis) {
      EXPECT_EQ(countInRow(frame.xAxisRow, state->axesColor), 784) << c.lo;
    }
  }
}

TEST_F(PlotFrame, LabelsAndZeroMarksWithAFont) {
  font = TextRenderer::create("Verdana", 12);
  if (!font) GTEST_SKIP() << "no font";
  paint();
  const auto inked = [&](int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) n += image.pixel(x, y) != state->backColor;
    }
    return n;
  };
  // "1.00" starts 15 pixels left of the grid line at column 98, in both margins.
  EXPECT_GT(inked(83, 0, 83 + font->width("1.00"), 18), 5);
  EXPECT_GT(inked(83, image.height() - 17, 83 + font->width("1.00"), image.height()), 5);
  // "0" marks beside the x axis in both side margins.
  EXPECT_GT(inked(6, frame.xAxisRow - 7, 17, frame.xAxisRow + 8), 3);
  EXPECT_GT(inked(image.width() - 15, frame.xAxisRow - 7, image.width(), frame.xAxisRow + 8), 3);
  state->optGrid = flagOff;
  paint();
  EXPECT_EQ(inked(83, 0, 83 + font->width("1.00"), 18), 0);
}

}  // namespace
}  // namespace kurvana
