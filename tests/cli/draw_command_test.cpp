// kurvana-cli draw, run as a separate process: the picture it saves, what it
// prints and how it fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/run_cli.h"

namespace {

using kurvana::testing::cli;
using kurvana::testing::CliRun;

namespace fs = std::filesystem;

// A 24-bit bottom-up BMP as written by the tool, read back pixel by pixel.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> bytes;
  std::uint32_t offset = 0;

  // 0x00BBGGRR, like the program's colours.
  std::uint32_t pixel(int x, int y) const {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t at = offset + static_cast<std::size_t>(height - 1 - y) * stride + x * 3;
    return bytes[at + 2] | (bytes[at + 1] << 8) | (bytes[at] << 16);
  }
  int count(std::uint32_t color) const {
    int n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) n += pixel(x, y) == color;
    }
    return n;
  }
};

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::optional<Picture> readBmp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Picture p;
  p.bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (p.bytes.size() < 54 || p.bytes[0] != 'B' || p.bytes[1] != 'M') return std::nullopt;
  p.offset = le32(p.bytes, 10);
  p.width = static_cast<int>(le32(p.bytes, 18));
  p.height = static_cast<int>(le32(p.bytes, 22));
  if (p.bytes[28] != 24) return std::nullopt;
  return p;
}

class CliDraw : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("kurvana_draw_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  CliRun draw(std::vector<std::string> args, const std::string& name = "plot.bmp") {
    args.insert(args.begin(), "draw");
    args.push_back("-o");
    args.push_back((folder / name).string());
    return cli(args);
  }

  fs::path folder;
};

constexpr std::uint32_t kCurve = 0xFF6060;      // RGB (96, 96, 255)
constexpr std::uint32_t kDarkCurve = 0xCC4C4C;  // RGB (76, 76, 204)
constexpr std::uint32_t kAxes = 0xA0A0A0;

TEST_F(CliDraw, DrawsTheStartUpPlotAndPrintsTheFields) {
  const CliRun r = draw({"--f", "F(x)=sin(x)"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("integral")),
            "x min = 0\nx max = 10\ny min = -5\ny max = 5\n");
  EXPECT_EQ(r.out.substr(r.out.find("integral")), "integral = 1.83323\n");
  const auto picture = readBmp(folder / "plot.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 824);
  EXPECT_EQ(picture->height, 668);
  EXPECT_EQ(picture->pixel(20, 400), kAxes);  // the y axis at x = 0
  EXPECT_GT(picture->count(kCurve), 300);
  EXPECT_GT(picture->count(kDarkCurve), 100);  // sin is negative on part of 0..10
  // sin(0) = 0: the first sample lies on the x axis row, 19 + 628 - 314.
  EXPECT_EQ(picture->pixel(20, 333), kCurve);
}

TEST_F(CliDraw, OptionsReachThePicture) {
  const CliRun r = draw({"--f", "F(x)=x/2", "--color", "255", "--size", "640x480", "--white",
                         "--lines", "--thick", "--no-grid", "--no-axes"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto picture = readBmp(folder / "plot.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 640);
  EXPECT_EQ(picture->height, 480);
  EXPECT_EQ(picture->pixel(5, 5), 0xFFFFFFu);  // white background
  EXPECT_GT(picture->count(0x0000FF), 600);    // red curve, thick: two rows
  EXPECT_EQ(picture->count(0x404040), 0);      // no axes (white scheme axis grey)
}

TEST_F(CliDraw, AutomaticScaleWritesTheFittedRange) {
  const CliRun r = draw({"--f", "F(x)=5", "--auto"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("y min = 4.5\ny max = 5.5\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("integral = 50\n"), std::string::npos) << r.out;
}

TEST_F(CliDraw, ParametricPlotsPrintNoIntegral) {
  const CliRun r = draw({"--two-functions", "--auto", "--f", "F(x)=cos(x)", "--g", "G(x)=sin(x)",
                         "--z-max", "6.2832"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("integral"), std::string::npos);
  EXPECT_NE(r.out.find("x min = -0.99999"), std::string::npos) << r.out;  // cos near pi
  const CliRun polar = draw({"--polar", "--f", "F(x)=1"}, "polar.bmp");
  ASSERT_EQ(polar.status, 0) << polar.err;
  EXPECT_EQ(polar.out.find("integral"), std::string::npos);
}

TEST_F(CliDraw, JpegByName) {
  for (const char* name : {"plot.jpg", "plot.JPEG"}) {
    const CliRun r = draw({"--f", "F(x)=x"}, name);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(folder / name, std::ios::binary);
    const int first = in.get();
    const int second = in.get();
    EXPECT_EQ(first, 0xFF) << name;
    EXPECT_EQ(second, 0xD8) << name;
  }
}

TEST_F(CliDraw, AMessageStopsTheDrawAndNoPictureIsWritten) {
  const CliRun r = draw({"--f", "F(x)=1/x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "F(x) calculation has generated an overflow error!\n"
            "Try to modify the range of the argument\n"
            "in order to avoid this kind of errors.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(fs::exists(folder / "plot.bmp"));
  const CliRun range = draw({"--f", "F(x)=x", "--x-min", "20"});
  EXPECT_EQ(range.status, 1);
  EXPECT_EQ(range.err.substr(0, 44), "The minimum value of the function's argument");
}

TEST_F(CliDraw, LabelOnlySavesTheEmptyPlot) {
  const CliRun r = draw({});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("integral = 0\n"), std::string::npos);
  const auto picture = readBmp(folder / "plot.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->count(kCurve), 0);
}

TEST_F(CliDraw, UnreadableFieldsRevertSilently) {
  const CliRun r = draw({"--f", "F(x)=x", "--x-max", "abc", "--z-count", "5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("x max = 10\n"), std::string::npos) << r.out;
}

TEST_F(CliDraw, ReportIsWrittenToTheNamedFile) {
  const fs::path report = folder / "sine.txt";
  const CliRun r = cli({"draw", "--f", "F(x)=sin(x)", "--size", "640x480", "--report",
                        report.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("integral = 1.83143"), std::string::npos) << r.out;
  std::ifstream in(report, std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(text,
            "Function formula:\r\nF(x)=sin(x)\r\nx min  = 0\r\nx max  = 10\r\n"
            "points = 600\r\n \r\nFunction roots:\r\n#1 = 3.14691\r\n#2 = 6.28548\r\n"
            "#3 = 9.42404\r\n \r\nLocal minimum points:\r\n#1 = 4.71619\r\n \r\n"
            "Local maximum points:\r\n#1 = 1.57763\r\n#2 = 7.85476\r\n \r\n"
            "Integral value on x min..x max :\r\nF(x)dx = 1.83143\r\n");

  // With a picture as well, both are written.
  const CliRun both = draw({"--f", "F(x)=x", "--report", (folder / "x.txt").string()});
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_TRUE(fs::exists(folder / "x.txt"));
  EXPECT_TRUE(fs::exists(folder / "plot.bmp"));
}

TEST_F(CliDraw, ReportProblemsAreReportedButThePictureIsSaved) {
  const CliRun missing = draw({"--f", "F(x)=x", "--report", (folder / "no" / "r.txt").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("r.txt"), std::string::npos) << missing.err;
  EXPECT_TRUE(fs::exists(folder / "plot.bmp"));

  const CliRun polar = draw({"--polar", "--f", "F(x)=1", "--report", (folder / "p.txt").string()});
  EXPECT_EQ(polar.status, 1);
  EXPECT_NE(polar.err.find("polar"), std::string::npos) << polar.err;
  EXPECT_FALSE(fs::exists(folder / "p.txt"));

  const CliRun stopped = cli({"draw", "--f", "F(x)=ln(x-20)", "--report", (folder / "s.txt").string()});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_FALSE(fs::exists(folder / "s.txt"));
}

TEST_F(CliDraw, FailedWriteIsReported) {
  const CliRun r = cli({"draw", "--f", "F(x)=x", "-o", (folder / "missing" / "p.bmp").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("p.bmp"), std::string::npos) << r.err;
}

TEST_F(CliDraw, UsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"draw"},
      {"draw", "--f", "F(x)=x"},
      {"draw", "--bogus", "-o", "x.bmp"},
      {"draw", "--size", "99x100", "-o", "x.bmp"},
      {"draw", "--size", "2041x100", "-o", "x.bmp"},
      {"draw", "--size", "800", "-o", "x.bmp"},
      {"draw", "--color", "red", "-o", "x.bmp"},
      {"draw", "-o"},
      {"draw", "--report"},
      {"draw", "--report", ""},
      {"draw", "--f"},
  };
  for (const auto& args : cases) {
    const CliRun r = cli(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(r.status, 2) << joined;
    EXPECT_NE(r.err.find("kurvana-cli draw"), std::string::npos) << joined;
  }
  EXPECT_FALSE(fs::exists("x.bmp"));
}

}  // namespace

namespace {

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(CliDraw, SaveFunctionWritesTheFileOfTheOptions) {
  const fs::path one = folder / "sine.kv1";
  CliRun r = cli({"save-function", "--f", "F(x)=SIN(X)", one.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(slurp(one),
            "F(x)=SIN(X)\r\npolar = false\r\nx min = 0\r\nx max = 10\r\ny min = -5\r\n"
            "y max = 5\r\ncolor = 16736352\r\nfill  = false\r\nlines = false\r\n"
            "antia = false\r\nwback = false\r\naxes  = true\r\ngrid  = true\r\n"
            "dark  = true\r\nthick = false\r\nauto  = false\r\n");

  // The name chooses the mode: 20 lines with G second.
  const fs::path two = folder / "CIRCLE.KV2";
  r = cli({"save-function", "--f", "F(x)=cos(x)", "--g", "G(x)=sin(x)", "--x-min", "-2", "--lines",
           two.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string text = slurp(two);
  EXPECT_EQ(text.substr(0, 26), "F(x)=cos(x)\r\nG(x)=sin(x)\r\n");
  EXPECT_NE(text.find("x min = -2\r\n"), std::string::npos);
  EXPECT_NE(text.find("lines = true\r\n"), std::string::npos);
}

TEST_F(CliDraw, DrawReadsAFunctionFileBeforeTheOtherOptions) {
  const fs::path file = folder / "circle.kv2";
  ASSERT_EQ(cli({"save-function", "--f", "F(x)=cos(x)", "--g", "G(x)=sin(x)", "--z-max", "6.2832",
                 "--auto", file.string()})
                .status,
            0);
  // Two functions with automatic scale come from the file; the colour from the option.
  const CliRun r = draw({"--file", file.string(), "--color", "255"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find("integral"), std::string::npos);  // a parametric plot
  EXPECT_NE(r.out.find("y max = 0.99999"), std::string::npos) << r.out;
  const auto picture = readBmp(folder / "plot.bmp");
  ASSERT_TRUE(picture.has_value());
  EXPECT_GT(picture->count(0x0000FF), 900);  // one dot per parameter sample

  // Options after the file win over it.
  const CliRun later = draw({"--file", file.string(), "--f", "F(x)=2*cos(x)"}, "later.bmp");
  ASSERT_EQ(later.status, 0) << later.err;
  EXPECT_NE(later.out.find("x max = 2\n"), std::string::npos) << later.out;
}

TEST_F(CliDraw, FunctionFileProblems) {
  const CliRun missing = draw({"--file", (folder / "none.kv1").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.kv1"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "plot.bmp"));
  const CliRun unwritable =
      cli({"save-function", "--f", "F(x)=x", (folder / "no" / "x.kv1").string()});
  EXPECT_EQ(unwritable.status, 1);
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"save-function"},
                                             {"save-function", "a.kv1", "b.kv1"},
                                             {"save-function", "-o", "x.bmp", "a.kv1"},
                                             {"draw", "--file"}}) {
    EXPECT_EQ(cli(args).status, 2) << args.back();
  }
}

}  // namespace
