// kurvana-cli draw -o NAME.svg | NAME.pdf: the name's ending picks the
// vector format in any letter case; the file is well-formed, its page is
// the picture's size, and its curve is the PNG picture's curve.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/run_cli.h"
#include "plot/plot_state.h"
#include "support/test_files.h"
#include "support/vector_raster.h"

namespace kurvana {
namespace {

// 500 x 400 pixels: the plot area is 460 x 360.
const std::vector<std::string> kPolarRose = {
    "draw",        "--size",  "500x400", "--polar",    "--f",       "F(x)=cos(3*x)",
    "--z-min",     "0",       "--z-max", "6.2832",     "--x-min",   "-1.2",
    "--x-max",     "1.2",     "--y-min", "-1.2",       "--y-max",   "1.2",
    "--lines",     "--antialias", "--no-grid", "--no-axes"};

std::vector<std::string> withOutput(std::vector<std::string> args, const std::string& path) {
  args.push_back("-o");
  args.push_back(path);
  return args;
}

TEST(CliVectorOutput, SvgAndPdfShowThePngPicturesCurve) {
  testing::TemporaryFolder folder("cli_vector");
  const std::string png = (folder / "rose.png").string();
  ASSERT_EQ(testing::cli(withOutput(kPolarRose, png)).status, 0);
  const std::optional<testing::Pixels> raster = testing::readPng(png);
  ASSERT_TRUE(raster.has_value());
  ASSERT_EQ(raster->width, 500);
  ASSERT_EQ(raster->height, 400);

  for (const char* name : {"rose.svg", "rose.PDF"}) {
    const bool svg = std::string(name).ends_with(".svg");
    const std::filesystem::path file = folder / name;
    const testing::CliRun run = testing::cli(withOutput(kPolarRose, file.string()));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string bytes = testing::readWhole(file);
    if (svg) {
      EXPECT_TRUE(bytes.starts_with("<?xml")) << name;
      EXPECT_NE(bytes.find("width=\"500pt\" height=\"400pt\""), std::string::npos);
    } else {
      EXPECT_TRUE(bytes.starts_with("%PDF-")) << name;
      EXPECT_NE(bytes.find("/MediaBox [ 0 0 500 400 ]"), std::string::npos);
    }
    if (!testing::toolInstalled(svg ? "rsvg-convert" : "pdftoppm")) continue;
    const std::optional<testing::Pixels> drawn =
        svg ? testing::rasteriseSvg(file, 500, 400) : testing::rasterisePdf(file);
    ASSERT_TRUE(drawn.has_value()) << name;
    // The default curve colour over black; a third of its contrast is curve.
    const std::uint32_t black = 0;
    const int ink = testing::contrast(kDefaultCurveColor, black) / 3;
    const testing::Region plotArea{20, 20, 480, 380};
    const auto missing = testing::inkWithoutCounterpart(*raster, *drawn, plotArea, black, ink, 2);
    EXPECT_TRUE(missing.empty()) << name << ": " << testing::describe(missing);
    const auto extra = testing::inkWithoutCounterpart(*drawn, *raster, plotArea, black, ink, 2);
    EXPECT_TRUE(extra.empty()) << name << ": " << testing::describe(extra);
  }
}

TEST(CliVectorOutput, SvgParsesAsXml) {
  if (!testing::toolInstalled("xmllint")) GTEST_SKIP() << "xmllint is not installed";
  testing::TemporaryFolder folder("cli_vector_xml");
  const std::string svg = (folder / "rose.SVG").string();
  ASSERT_EQ(testing::cli(withOutput(kPolarRose, svg)).status, 0);
  EXPECT_EQ(std::system(("xmllint --noout " + testing::quoted(svg)).c_str()), 0);
}

TEST(CliVectorOutput, PdfPageIsThePictureSize) {
  if (!testing::toolInstalled("pdfinfo")) GTEST_SKIP() << "pdfinfo is not installed";
  testing::TemporaryFolder folder("cli_vector_pdf");
  const std::string pdf = (folder / "rose.pdf").string();
  ASSERT_EQ(testing::cli(withOutput(kPolarRose, pdf)).status, 0);
  const std::string info = (folder / "info.txt").string();
  ASSERT_EQ(std::system(("pdfinfo " + testing::quoted(pdf) + " > " + testing::quoted(info)).c_str()),
            0);
  EXPECT_NE(testing::readWhole(info).find("Page size:       500 x 400 pts"), std::string::npos)
      << testing::readWhole(info);
}

}  // namespace
}  // namespace kurvana
