// The SVG and PDF pictures against the raster picture of the same plot: each
// mode and style, rasterised by rsvg-convert and pdftoppm, puts its curve
// within 2 pixels of the raster curve and nowhere else; the files are
// well-formed and their page is the picture's size.
#include "render/vector_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <numbers>
#include <regex>
#include <string>
#include <vector>

#include "render/artwork.h"
#include "render/curves.h"
#include "render/plot_frame.h"
#include "render/text.h"
#include "support/test_files.h"
#include "support/vector_raster.h"

namespace kurvana {
namespace {

using testing::Pixels;

constexpr Size kImage{824, 668};
constexpr int kW = 784;
constexpr int kH = 628;
constexpr int kReach = 2;

enum class Mode { kCartesian, kParametric, kPolar };

struct Style {
  const char* name;
  Mode mode;
  bool lines = true;
  bool filled = false;
  bool thick = false;
  bool antialias = false;
  bool white = false;
  // Cartesian: which function over which ranges.
  enum class Curve { kWave, kPole, kBeyondRange, kAboveZero, kBelowZero } curve = Curve::kWave;
};

std::ostream& operator<<(std::ostream& out, const Style& style) { return out << style.name; }

std::uint8_t flag(bool on) { return on ? flagOn : flagOff; }

// The state a Draw leaves: ranges, options, the frame of the empty plot and
// the samples of the curve, and the raster picture painted from them.
struct Plot {
  PlotState s;
  Bitmap image;

  void paint(const Style& style, bool gridAndAxes) {
    s.optLines = flag(style.lines);
    s.optFilled = flag(style.filled);
    s.optThick = flag(style.thick);
    s.optAntialias = flag(style.antialias);
    s.optWhiteBack = flag(style.white);
    s.optDarkNegative = flagOn;
    s.optGrid = flag(gridAndAxes);
    s.optAxes = flag(gridAndAxes);
    s.optTwoFunctions = flag(style.mode == Mode::kParametric);
    s.optPolar = flag(style.mode == Mode::kPolar);
    s.xMin = -10;
    s.xMax = 10;
    s.yMin = -5;
    s.yMax = 5;
    if (style.curve == Style::Curve::kAboveZero) s.yMin = 0.5L;
    if (style.curve == Style::Curve::kBelowZero) s.yMax = -0.5L;
    if (style.mode != Mode::kCartesian) {
      s.xMin = s.yMin = -1.25L;
      s.xMax = s.yMax = 1.25L;
    }
    applyColourScheme(s);
    RenderContext context{s, image, artwork(), nullptr, "."};
    const PlotFrame frame = paintEmptyPlot(context, kImage);
    s.plotWidth = frame.geometry.width;
    s.plotHeight = frame.geometry.height;
    s.yAxisColumn = frame.yAxisColumn;
    s.xAxisRow = frame.xAxisRow;
    s.plotValid = true;
    if (style.mode == Mode::kCartesian) {
      for (int i = 0; i < kW; ++i) {
        const long double x = s.xMin + i * (s.xMax - s.xMin) / (kW - 1);
        long double y = 4 * std::sin(x) * std::exp(-x * x / 80);
        if (style.curve == Style::Curve::kPole) y = std::tan(x / 2);
        if (style.curve == Style::Curve::kBeyondRange) y = 8 * std::sin(x);
        if (style.curve == Style::Curve::kAboveZero) y = 3 + 2.5L * std::sin(x);
        if (style.curve == Style::Curve::kBelowZero) y = -3 - 2.5L * std::sin(x);
        s.samplesA[static_cast<std::size_t>(i)] = y;
      }
      paintCartesianCurve(context, s.samplesA, CurvePass::kDraw);
    } else {
      s.zCount = 700;
      for (int i = 0; i < s.zCount; ++i) {
        const long double t = 2 * std::numbers::pi_v<long double> * i / (s.zCount - 1);
        const auto k = static_cast<std::size_t>(i);
        if (style.mode == Mode::kParametric) {
          // The wider figure leaves the range on all four sides.
          const long double size = style.curve == Style::Curve::kBeyondRange ? 1.6L : 1.2L;
          s.samplesA[k] = size * std::sin(3 * t);
          s.samplesB[k] = size * std::cos(2 * t);
        } else {
          const long double r = 1.2L * std::cos(3 * t);
          s.samplesA[k] = r * std::cos(t);
          s.samplesB[k] = r * std::sin(t);
        }
      }
      paintPointCurve(context, s.samplesA, s.samplesB, CurvePass::kDraw);
    }
  }

  // The curve painted, if any.
  std::span<const PlotState> curves() const {
    return s.plotValid ? std::span<const PlotState>(&s, 1) : std::span<const PlotState>();
  }

  Pixels pixels() const {
    Pixels out{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) out.colors.push_back(image.pixel(x, y));
    }
    return out;
  }

  std::string vector(VectorFormat format, const FontFile* font = nullptr) const {
    const std::optional<std::string> bytes =
        vectorPicture(VectorPictureInput{s, curves(), kImage, ".", font, 12}, format);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or("");
  }
};

std::optional<Pixels> rasterise(const std::string& bytes, VectorFormat format,
                                const std::filesystem::path& folder) {
  const std::filesystem::path file = folder / (format == VectorFormat::kSvg ? "p.svg" : "p.pdf");
  testing::writeWhole(file, bytes);
  return format == VectorFormat::kSvg ? testing::rasteriseSvg(file, kImage.width, kImage.height)
                                      : testing::rasterisePdf(file);
}

bool rasteriserInstalled(VectorFormat format) {
  return testing::toolInstalled(format == VectorFormat::kSvg ? "rsvg-convert" : "pdftoppm");
}

// A third of the way from the background to the fainter curve colour counts
// as curve: the plain line, the antialiased blends' cores, either fill colour.
int curveContrast(const PlotState& s) {
  return std::min(testing::contrast(s.curveColor, s.backColor),
                  testing::contrast(s.curveColorDark, s.backColor)) /
         3;
}

constexpr testing::Region kPlotArea{kMargin, kMargin, kW + kMargin, kH + kMargin};

const Style kStyles[] = {
    {"CartesianDots", Mode::kCartesian, false},
    {"CartesianThickDots", Mode::kCartesian, false, false, true},
    {"CartesianFilledDots", Mode::kCartesian, false, true},
    {"CartesianLines", Mode::kCartesian},
    {"CartesianThickLines", Mode::kCartesian, true, false, true},
    {"CartesianLinesOnWhite", Mode::kCartesian, true, false, false, false, true},
    {"CartesianAntialiased", Mode::kCartesian, true, false, false, true},
    {"CartesianAntialiasedThickOnWhite", Mode::kCartesian, true, false, true, true, true},
    {"CartesianFilled", Mode::kCartesian, true, true},
    {"CartesianFilledAntialiasedOnWhite", Mode::kCartesian, true, true, false, true, true},
    {"CartesianFilledDownToTheBottomEdge", Mode::kCartesian, true, true, false, false, false,
     Style::Curve::kAboveZero},
    {"CartesianFilledUpToTheTopEdge", Mode::kCartesian, true, true, false, true, false,
     Style::Curve::kBelowZero},
    {"CartesianPolesBreakTheLine", Mode::kCartesian, true, false, false, false, false,
     Style::Curve::kPole},
    {"CartesianPolesBreakTheAntialiasedLine", Mode::kCartesian, true, false, false, true, false,
     Style::Curve::kPole},
    {"CartesianLeavingTheRangeBreaksTheLine", Mode::kCartesian, true, false, false, false, false,
     Style::Curve::kBeyondRange},
    {"CartesianLeavingTheRangeBreaksTheThickAntialiasedLine", Mode::kCartesian, true, false, true,
     true, false, Style::Curve::kBeyondRange},
    {"ParametricDots", Mode::kParametric, false},
    {"ParametricLeavingTheRangeBreaksTheLine", Mode::kParametric, true, false, false, false, false,
     Style::Curve::kBeyondRange},
    {"ParametricLeavingTheRangeBreaksTheAntialiasedLine", Mode::kParametric, true, false, false,
     true, true, Style::Curve::kBeyondRange},
    {"ParametricThickDots", Mode::kParametric, false, false, true},
    {"ParametricLines", Mode::kParametric},
    {"ParametricThickLinesOnWhite", Mode::kParametric, true, false, true, false, true},
    {"ParametricAntialiased", Mode::kParametric, true, false, false, true},
    {"PolarLines", Mode::kPolar},
    {"PolarAntialiasedThick", Mode::kPolar, true, false, true, true},
    {"PolarDotsOnWhite", Mode::kPolar, false, false, false, false, true},
};

class VectorCurve : public ::testing::TestWithParam<std::tuple<Style, VectorFormat>> {};

TEST_P(VectorCurve, LiesWithinTwoPixelsOfTheRasterCurve) {
  const auto& [style, format] = GetParam();
  if (!rasteriserInstalled(format)) GTEST_SKIP() << "no rasteriser for this format";
  testing::TemporaryFolder folder("vector");
  // Without grid and axes every pixel of the plot area that is not the
  // background is curve.
  Plot plot;
  plot.paint(style, false);
  const std::optional<Pixels> drawn = rasterise(plot.vector(format), format, folder.path());
  ASSERT_TRUE(drawn.has_value());
  ASSERT_EQ(drawn->width, kImage.width);
  ASSERT_EQ(drawn->height, kImage.height);
  const Pixels raster = plot.pixels();
  const int ink = curveContrast(plot.s);
  const auto missing =
      testing::inkWithoutCounterpart(raster, *drawn, kPlotArea, plot.s.backColor, ink, kReach);
  EXPECT_TRUE(missing.empty()) << "raster curve without vector curve near: "
                               << testing::describe(missing);
  const auto extra =
      testing::inkWithoutCounterpart(*drawn, raster, kPlotArea, plot.s.backColor, ink, kReach);
  EXPECT_TRUE(extra.empty()) << "vector curve without raster curve near: "
                             << testing::describe(extra);
}

std::string styleName(const ::testing::TestParamInfo<std::tuple<Style, VectorFormat>>& info) {
  const auto& [style, format] = info.param;
  return std::string(style.name) + (format == VectorFormat::kSvg ? "Svg" : "Pdf");
}

INSTANTIATE_TEST_SUITE_P(EachModeAndStyle, VectorCurve,
                         ::testing::Combine(::testing::ValuesIn(kStyles),
                                            ::testing::Values(VectorFormat::kSvg,
                                                              VectorFormat::kPdf)),
                         styleName);

// Frame, dotted grid, axes, arrowheads and labels: the whole picture's ink,
// with the label face of the program when one is installed.
TEST(VectorFrame, LiesWithinTwoPixelsOfTheRasterFrameGridAxesAndLabels) {
  const std::optional<FontMatch> font = matchFont("Verdana");
  if (!font) GTEST_SKIP() << "no label face installed";
  const std::unique_ptr<TextRenderer> text = TextRenderer::open(font->file, 12);
  ASSERT_NE(text, nullptr);
  for (const bool white : {false, true}) {
    for (const VectorFormat format : {VectorFormat::kSvg, VectorFormat::kPdf}) {
      if (!rasteriserInstalled(format)) continue;
      testing::TemporaryFolder folder("vector_frame");
      Plot plot;
      plot.s.optWhiteBack = flag(white);
      plot.s.optGrid = plot.s.optAxes = flagOn;
      plot.s.xMin = -10;
      plot.s.xMax = 10;
      plot.s.yMin = -5;
      plot.s.yMax = 5;
      applyColourScheme(plot.s);
      RenderContext context{plot.s, plot.image, artwork(), text.get(), "."};
      paintEmptyPlot(context, kImage);
      const std::optional<Pixels> drawn =
          rasterise(plot.vector(format, &font->file), format, folder.path());
      ASSERT_TRUE(drawn.has_value());
      const Pixels raster = plot.pixels();
      // The labels' grey is the faintest ink; half of it counts.
      const int ink = testing::contrast(plot.s.labelColor, plot.s.backColor) / 2;
      const testing::Region whole{0, 0, kImage.width, kImage.height};
      const auto missing =
          testing::inkWithoutCounterpart(raster, *drawn, whole, plot.s.backColor, ink, kReach);
      EXPECT_TRUE(missing.empty()) << (white ? "white " : "dark ") << static_cast<int>(format)
                                   << ": raster ink without vector ink near: "
                                   << testing::describe(missing);
      const auto extra =
          testing::inkWithoutCounterpart(*drawn, raster, whole, plot.s.backColor, ink, kReach);
      EXPECT_TRUE(extra.empty()) << (white ? "white " : "dark ") << static_cast<int>(format)
                                 << ": vector ink without raster ink near: "
                                 << testing::describe(extra);
    }
  }
}

TEST(VectorFile, SvgIsWellFormedXmlOfThePictureSizeInPoints) {
  Plot plot;
  plot.paint(kStyles[3], true);
  const std::string svg = plot.vector(VectorFormat::kSvg);
  EXPECT_NE(svg.find("width=\"824pt\" height=\"668pt\" viewBox=\"0 0 824 668\""),
            std::string::npos)
      << svg.substr(0, 300);
  if (!testing::toolInstalled("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  testing::TemporaryFolder folder("vector_xml");
  testing::writeWhole(folder / "p.svg", svg);
  EXPECT_EQ(std::system(("xmllint --noout '" + (folder / "p.svg").string() + "'").c_str()), 0);
}

TEST(VectorFile, PdfPageIsThePictureSizeInPoints) {
  for (const Size size : {kImage, Size{301, 207}}) {
    Plot plot;
    applyColourScheme(plot.s);
    const std::optional<std::string> pdf =
        vectorPicture(VectorPictureInput{plot.s, {}, size, ".", nullptr, 12}, VectorFormat::kPdf);
    ASSERT_TRUE(pdf.has_value());
    EXPECT_TRUE(pdf->starts_with("%PDF-"));
    const std::regex mediaBox(R"(/MediaBox \[ *0 +0 +(\d+) +(\d+) *\])");
    std::smatch box;
    ASSERT_TRUE(std::regex_search(*pdf, box, mediaBox));
    EXPECT_EQ(box[1].str(), std::to_string(size.width));
    EXPECT_EQ(box[2].str(), std::to_string(size.height));
  }
}

// Every label the frame has, in painting order.
std::vector<std::string> labelsOf(const PlotState& s) {
  struct Labels final : PlotPainter {
    std::vector<std::string> texts;
    void frame(const PixelBox&, int, Color) override {}
    void gridLine(int, int, int, int, Color) override {}
    void label(int, int, const std::string& text, Color) override { texts.push_back(text); }
    void axisLine(int, int, int, int, Color, const PixelBox&) override {}
    void arrow(ArrowKind, int, int, int, bool) override {}
    void dot(int, int, int, Color) override {}
    void fillSpan(int, int, int, Color) override {}
    void segment(int, int, int, int, int, Color) override {}
    void smoothSegment(long double, long double, long double, long double, Color, bool,
                       bool) override {}
  } labels;
  tracePlotFrame(s, kImage, ".", labels);
  return labels.texts;
}

TEST(VectorFile, PdfLabelsAreText) {
  const std::optional<FontMatch> font = matchFont("Verdana");
  if (!font) GTEST_SKIP() << "no label face installed";
  if (!testing::toolInstalled("pdftotext")) GTEST_SKIP() << "pdftotext is not installed";
  Plot plot;
  plot.paint(kStyles[3], true);
  testing::TemporaryFolder folder("vector_text");
  testing::writeWhole(folder / "p.pdf", plot.vector(VectorFormat::kPdf, &font->file));
  const std::string command = "pdftotext '" + (folder / "p.pdf").string() + "' '" +
                              (folder / "p.txt").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string words = testing::readWhole(folder / "p.txt");
  const std::vector<std::string> labels = labelsOf(plot.s);
  ASSERT_GE(labels.size(), 20u);  // ten grid lines or more, each labelled top and bottom
  for (const std::string& label : labels) {
    EXPECT_NE(words.find(label), std::string::npos) << label << " in " << words;
  }
}

// Top-left corners of the cells at (x, 3) and (x, H + 23) put the baselines
// one ascent lower; the "0" marks sit beside the axis row.
TEST(VectorFile, SvgLabelsAreTextElementsInTheLabelColour) {
  const std::optional<FontMatch> font = matchFont("Verdana");
  if (!font) GTEST_SKIP() << "no label face installed";
  Plot plot;
  plot.paint(kStyles[3], true);
  const std::string svg = plot.vector(VectorFormat::kSvg, &font->file);
  const std::vector<std::string> labels = labelsOf(plot.s);
  ASSERT_GE(labels.size(), 20u);
  std::size_t from = 0;
  for (const std::string& label : labels) {
    const std::size_t at = svg.find("\">" + label + "</text>", from);
    ASSERT_NE(at, std::string::npos) << label;
    from = at + 1;
  }
  // Dark scheme: labels RGB (96, 96, 96).
  EXPECT_NE(svg.find("fill=\"#606060\">0</text>"), std::string::npos);
  EXPECT_NE(svg.find("font-size=\"12\""), std::string::npos);
  // The "0" beside the axis row: its cell's top at xAxisRow - 7.
  const std::unique_ptr<TextRenderer> text = TextRenderer::open(font->file, 12);
  ASSERT_NE(text, nullptr);
  const std::regex zero(R"re(<text x="6" y="(\d+)" fill="#606060">0</text>)re");
  std::smatch mark;
  ASSERT_TRUE(std::regex_search(svg, mark, zero));
  const int baseline = std::stoi(mark[1].str());
  EXPECT_GT(baseline, plot.s.xAxisRow - 7);
  EXPECT_LE(baseline, plot.s.xAxisRow - 7 + text->cellHeight());
  EXPECT_EQ(svg.find("<use xlink:href=\"#glyph"), std::string::npos) << "glyph outlines";
}

TEST(VectorFile, SizesWithoutAPlotAreaAreRefused) {
  Plot plot;
  applyColourScheme(plot.s);
  for (const Size size : {Size{0, 0}, Size{41, 300}, Size{300, 41}, Size{-5, 300}, Size{20000, 300}}) {
    for (const VectorFormat format : {VectorFormat::kSvg, VectorFormat::kPdf}) {
      EXPECT_FALSE(vectorPicture(VectorPictureInput{plot.s, {}, size, ".", nullptr, 12}, format))
          << size.width << " x " << size.height;
    }
  }
}

TEST(VectorFile, AFontFileThatCannotBeLoadedLeavesTheLabelsOut) {
  Plot plot;
  plot.paint(kStyles[3], true);
  const FontFile missing{"/nonexistent/kurvana-font.ttf", 0};
  for (const VectorFormat format : {VectorFormat::kSvg, VectorFormat::kPdf}) {
    EXPECT_TRUE(vectorPicture(VectorPictureInput{plot.s, plot.curves(), kImage, ".", &missing, 12}, format));
  }
}

}  // namespace
}  // namespace kurvana
