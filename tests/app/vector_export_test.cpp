// Saving the picture as SVG or PDF through the controller: the vector
// picture shows what the raster picture shows after a sequence of Draws,
// a second formula drawn over the first included, and a redraw's clean slate.
#include <gtest/gtest.h>

#include <string>

#include "app/controller.h"
#include "app/fake_view.h"
#include "support/test_files.h"
#include "support/vector_raster.h"

namespace kurvana {
namespace {

using testing::Pixels;

constexpr int kW = 784;
constexpr int kH = 628;

class VectorExport : public ::testing::Test {
 protected:
  VectorExport() : controller(view, ControllerSetup::headless()) {
    view.window = {1024, 768};
    controller.app().decimalSeparator = ".";
    controller.app().labelFont.reset();
    PlotState& s = controller.app().plot;
    // Without grid and axes every pixel of the plot area that is not the
    // background is curve.
    s.optGrid = flagOff;
    s.optAxes = flagOff;
    s.optLines = flagOn;
    controller.applyOptions();
    controller.showStateInFields();
  }

  void formula(const char* f) { view.texts[Field::kFormulaF] = f; }

  // The raster picture's curve pixels that the vector picture lacks within
  // 2 pixels, and the other way round.
  void expectSameCurves(PictureFormat format) {
    const char* tool = format == PictureFormat::kSvg ? "rsvg-convert" : "pdftoppm";
    if (!testing::toolInstalled(tool)) GTEST_SKIP() << tool << " is not installed";
    ASSERT_TRUE(controller.prepareSavePicture());
    const std::filesystem::path file =
        folder / (format == PictureFormat::kSvg ? "plot.svg" : "plot.pdf");
    ASSERT_TRUE(controller.savePicture(file, format).ok());
    const std::optional<Pixels> drawn = format == PictureFormat::kSvg
                                            ? testing::rasteriseSvg(file, kW + 40, kH + 40)
                                            : testing::rasterisePdf(file);
    ASSERT_TRUE(drawn.has_value());
    const Bitmap& picture = controller.picture();
    Pixels raster{picture.width(), picture.height(), {}};
    for (int y = 0; y < picture.height(); ++y) {
      for (int x = 0; x < picture.width(); ++x) raster.colors.push_back(picture.pixel(x, y));
    }
    const PlotState& s = controller.plot();
    const int ink = testing::contrast(s.curveColor, s.backColor) / 3;
    const testing::Region plotArea{20, 20, kW + 20, kH + 20};
    const auto missing =
        testing::inkWithoutCounterpart(raster, *drawn, plotArea, s.backColor, ink, 2);
    EXPECT_TRUE(missing.empty()) << "raster curve without vector curve near: "
                                 << testing::describe(missing);
    const auto extra =
        testing::inkWithoutCounterpart(*drawn, raster, plotArea, s.backColor, ink, 2);
    EXPECT_TRUE(extra.empty()) << "vector curve without raster curve near: "
                               << testing::describe(extra);
  }

  testing::FakeView view;
  Controller controller;
  testing::TemporaryFolder folder{"vector_export"};
};

TEST_F(VectorExport, ASecondFormulaDrawnOverTheFirstIsInTheVectorPictureToo) {
  formula("F(x)=3*sin(x)");
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  // The second curve is mapped with ranges the frame does not show.
  formula("F(x)=x/2");
  view.texts[Field::kYMin] = "-10";
  view.texts[Field::kYMax] = "10";
  ASSERT_EQ(controller.draw().outcome, DrawOutcome::kDrawn);
  expectSameCurves(PictureFormat::kSvg);
  expectSameCurves(PictureFormat::kPdf);
}

TEST_F(VectorExport, ARedrawLeavesOnlyItsOwnCurve) {
  formula("F(x)=3*sin(x)");
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  formula("F(x)=4-x");
  ASSERT_EQ(controller.draw().outcome, DrawOutcome::kDrawn);
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  expectSameCurves(PictureFormat::kSvg);
}

TEST_F(VectorExport, AutomaticScaleStartsAFreshPicture) {
  formula("F(x)=3*sin(x)");
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  controller.app().plot.optAutoScale = flagOn;
  formula("F(x)=x*x");
  ASSERT_EQ(controller.draw().outcome, DrawOutcome::kDrawn);
  expectSameCurves(PictureFormat::kPdf);
}

TEST_F(VectorExport, ARasterWriterRefusesAVectorFormat) {
  formula("F(x)=x");
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  const Status refused =
      writePictureFile(controller.picture(), folder / "plot.svg", PictureFormat::kSvg);
  ASSERT_EQ(refused.messages().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folder / "plot.svg"));
}

TEST_F(VectorExport, AFailedWriteNamesTheFileAndLeavesNothing) {
  formula("F(x)=x");
  ASSERT_EQ(controller.redraw().outcome, DrawOutcome::kDrawn);
  const Status failed =
      controller.savePicture(folder / "no/such/folder/plot.pdf", PictureFormat::kPdf);
  ASSERT_EQ(failed.messages().size(), 1u);
  EXPECT_NE(failed.messages()[0].find("plot.pdf"), std::string::npos);
}

}  // namespace
}  // namespace kurvana
