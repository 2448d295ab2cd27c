// kurvana-cli draw, run as a separate process: the picture it saves, what it
// prints and how it fails.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <cstdio>
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

// The picture sizes at both ends of what --size takes.
TEST_F(CliDraw, SizesAtTheLimitsAreTaken) {
  for (const auto& [size, width, height] :
       {std::tuple{"100x100", 100, 100}, std::tuple{"2040x1340", 2040, 1340},
        std::tuple{"100x1340", 100, 1340}}) {
    const CliRun r = draw({"--f", "F(x)=x", "--size", size});
    ASSERT_EQ(r.status, 0) << size << ": " << r.err;
    const auto picture = readBmp(folder / "plot.bmp");
    ASSERT_TRUE(picture.has_value()) << size;
    EXPECT_EQ(picture->width, width) << size;
    EXPECT_EQ(picture->height, height) << size;
  }
}

// --scale: the picture in device pixels, the plot sampled once per device
// column (the integral follows the finer sampling), the axis on the scaled
// margin; fractional scales round half to even.
TEST_F(CliDraw, ScaleSizesThePictureAndItsSampling) {
  for (const auto& [scale, width, height, axisColumn] :
       {std::tuple{"1", 824, 668, 20}, std::tuple{"1.5", 1236, 1002, 30},
        std::tuple{"2", 1648, 1336, 40}, std::tuple{"1.25", 1030, 835, 25}}) {
    const CliRun r = draw({"--f", "F(x)=sin(x)", "--scale", scale});
    ASSERT_EQ(r.status, 0) << scale << ": " << r.err;
    const auto picture = readBmp(folder / "plot.bmp");
    ASSERT_TRUE(picture.has_value()) << scale;
    EXPECT_EQ(picture->width, width) << scale;
    EXPECT_EQ(picture->height, height) << scale;
    EXPECT_EQ(picture->pixel(axisColumn, 400), kAxes) << scale;
    EXPECT_NE(picture->pixel(axisColumn - 1, 400), kAxes) << scale;  // the frame
  }
  const CliRun one = draw({"--f", "F(x)=sin(x)"});
  const CliRun two = draw({"--f", "F(x)=sin(x)", "--scale", "2"});
  EXPECT_EQ(one.out.substr(one.out.find("integral")), "integral = 1.83323\n");
  EXPECT_NE(two.out.substr(two.out.find("integral")), "integral = 1.83323\n");
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

// A field with nothing behind its label: the empty plot is saved and the
// fields are printed as always, one line says that nothing was drawn, and the
// status is 1, in every mode.
TEST_F(CliDraw, LabelOnlySavesTheEmptyPlotAndSaysNothingWasDrawn) {
  const std::string note =
      "kurvana-cli: nothing drawn: the F field holds no formula behind its label";
  struct Case {
    std::vector<std::string> args;
    bool integral;
  };
  for (const Case& c :
       {Case{{}, true}, Case{{"--f", "F(x)\xc3\xa9"}, true},  // six bytes
        Case{{"--polar"}, false}, Case{{"--two-functions", "--g", "G(x)=x"}, false}}) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    fs::remove(folder / "plot.bmp");
    const CliRun r = draw(c.args);
    EXPECT_EQ(r.status, 1) << joined;
    EXPECT_EQ(r.err, note + "\n") << joined;
    EXPECT_EQ(r.out.substr(0, 16), "x min = 0\nx max ") << joined;
    EXPECT_EQ(r.out.find("integral = 0\n") != std::string::npos, c.integral) << joined;
    const auto picture = readBmp(folder / "plot.bmp");
    ASSERT_TRUE(picture.has_value()) << joined;
    EXPECT_EQ(picture->count(kCurve), 0) << joined;
  }
}

TEST_F(CliDraw, LabelOnlyWithAReportSaysNothingWasDrawn) {
  for (const std::vector<std::string>& mode :
       {std::vector<std::string>{}, {"--polar"}, {"--two-functions", "--g", "G(x)=x"}}) {
    const fs::path report = folder / "r.txt";
    std::vector<std::string> args = {"draw", "--report", report.string()};
    args.insert(args.end(), mode.begin(), mode.end());
    const CliRun r = cli(args);
    EXPECT_EQ(r.status, 1) << args.back();
    EXPECT_EQ(r.err,
              "kurvana-cli: nothing drawn: the F field holds no formula behind its label; "
              "no report written to " +
                  report.string() + "\n")
        << args.back();
    EXPECT_FALSE(fs::exists(report)) << args.back();
  }
}

TEST_F(CliDraw, UnreadableFieldsRevertSilently) {
  const CliRun r = draw({"--f", "F(x)=x", "--x-max", "abc", "--z-count", "5"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("x max = 10\n"), std::string::npos) << r.out;
}

TEST_F(CliDraw, ReportIsWrittenToTheNamedFile) {
  const fs::path report = folder / "sine.txt";
  const CliRun r =
      cli({"draw", "--f", "F(x)=sin(x)", "--size", "640x480", "--report", report.string()});
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

  const CliRun stopped =
      cli({"draw", "--f", "F(x)=ln(x-20)", "--report", (folder / "s.txt").string()});
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
      {"draw", "--size", "100x99", "-o", "x.bmp"},
      {"draw", "--size", "2041x100", "-o", "x.bmp"},
      {"draw", "--size", "100x1341", "-o", "x.bmp"},
      {"draw", "--size", "800", "-o", "x.bmp"},
      {"draw", "--color", "red", "-o", "x.bmp"},
      {"draw", "--scale", "0.99", "-o", "x.bmp"},
      {"draw", "--scale", "4.01", "-o", "x.bmp"},
      {"draw", "--scale", "2x", "-o", "x.bmp"},
      {"draw", "--scale", "nan", "-o", "x.bmp"},
      {"draw", "--scale", "1e0", "-o", "x.bmp"},
      {"draw", "--scale"},
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

TEST_F(CliDraw, WhatIsNotAFileIsRefusedWithoutBlocking) {
  const fs::path pipe = folder / "p.kv1";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
  // Killed if it blocks, which then fails the test rather than hanging it.
  const std::string guard = "LC_ALL=C timeout -s KILL 60";
  const CliRun read = cli({"draw", "--file", pipe.string(), "-o", (folder / "x.bmp").string()}, guard);
  EXPECT_EQ(read.status, 1);
  EXPECT_EQ(read.err.substr(0, read.err.find('\n')),
            "kurvana-cli: Cannot read \"" + pipe.string() + "\": it is a named pipe");
  const std::vector<std::string> targets = {"-o", "--report"};
  for (const std::string& option : targets) {
    const CliRun written = cli({"draw", "--f", "F(x)=x", option, pipe.string()}, guard);
    EXPECT_EQ(written.status, 1) << option;
    EXPECT_NE(written.err.find("kurvana-cli: Cannot write \"" + pipe.string() +
                               "\": it is a named pipe, not replaced\n"),
              std::string::npos)
        << written.err;
  }
  const CliRun saved = cli({"save-function", "--f", "F(x)=x", pipe.string()}, guard);
  EXPECT_EQ(saved.status, 1);
  EXPECT_TRUE(fs::is_fifo(pipe));
  // A device node made for the test, never the machine's own /dev/null.
  const fs::path device = folder / "null";
  if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) {
    const CliRun onDevice = cli({"draw", "--f", "F(x)=x", "-o", device.string()}, guard);
    EXPECT_EQ(onDevice.status, 1);
    EXPECT_EQ(onDevice.err,
              "kurvana-cli: Cannot write \"" + device.string() + "\": it is a device, not replaced\n");
    struct stat st {};
    ASSERT_EQ(::stat(device.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(st.st_rdev, ::makedev(1, 3));
  }
}

}  // namespace

namespace {

// A PNG written by the tool, decoded with libpng without transformations:
// 8-bit RGB rows, or nothing when the file is not such a PNG.
struct PngRows {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::vector<unsigned char> rgb;
};

extern "C" void pngReadFailed(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

bool readPngInto(png_structp png, png_infop info, std::FILE* file, PngRows* out) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  int depth = 0;
  int type = 0;
  png_get_IHDR(png, info, &out->width, &out->height, &depth, &type, nullptr, nullptr, nullptr);
  if (depth != 8 || type != PNG_COLOR_TYPE_RGB || png_get_valid(png, info, PNG_INFO_tRNS)) {
    return false;
  }
  out->rgb.resize(static_cast<std::size_t>(out->width) * out->height * 3);
  for (png_uint_32 y = 0; y < out->height; ++y) {
    png_read_row(png, out->rgb.data() + static_cast<std::size_t>(y) * out->width * 3, nullptr);
  }
  png_read_end(png, nullptr);
  return true;
}

std::optional<PngRows> readPng(const fs::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  unsigned char signature[8] = {};
  const bool isPng = std::fread(signature, 1, 8, file) == 8 && png_sig_cmp(signature, 0, 8) == 0;
  std::rewind(file);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngReadFailed, nullptr);
  png_infop info = png_create_info_struct(png);
  PngRows rows;
  const bool read = isPng && readPngInto(png, info, file, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  if (!read) return std::nullopt;
  return rows;
}

TEST_F(CliDraw, PngByNameInAnyLetterCaseWithTheBmpsPixels) {
  const std::vector<std::string> options = {"--f",         "F(x)=sin(x)", "--lines",
                                            "--antialias", "--size",      "640x480"};
  ASSERT_EQ(draw(options, "plot.bmp").status, 0);
  const auto bmp = readBmp(folder / "plot.bmp");
  ASSERT_TRUE(bmp.has_value());
  for (const char* name : {"plot.png", "PLOT.PNG", "plot.pNg", "plot.jpg.png"}) {
    const CliRun r = draw(options, name);
    ASSERT_EQ(r.status, 0) << name << ": " << r.err;
    const auto png = readPng(folder / name);
    ASSERT_TRUE(png.has_value()) << name << " is not an 8-bit RGB PNG";
    ASSERT_EQ(png->width, 640u);
    ASSERT_EQ(png->height, 480u);
    int mismatches = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        const unsigned char* p = &png->rgb[(static_cast<std::size_t>(y) * 640 + x) * 3];
        const auto color = static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
        mismatches += color != bmp->pixel(x, y);
      }
    }
    EXPECT_EQ(mismatches, 0) << name;
  }
  // Only the ending counts, after a dot.
  for (const char* name : {"plot.png.bmp", "plotpng"}) {
    ASSERT_EQ(draw(options, name).status, 0) << name;
    EXPECT_TRUE(readBmp(folder / name).has_value()) << name;
  }
  EXPECT_FALSE(readPng(folder / "plotpng").has_value());
}

TEST_F(CliDraw, FailedPngWriteNamesTheFileAndKeepsThePreviousOne) {
  const fs::path missing = folder / "missing" / "p.png";
  const CliRun r = cli({"draw", "--f", "F(x)=x", "-o", missing.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "kurvana-cli: Cannot write \"" + missing.string() + "\": No such file or directory\n");
  EXPECT_EQ(r.out, "");

  // Failing half-way, under a file size limit of 2 KB (as on a full disk).
  const fs::path previous = folder / "keep.PNG";
  std::ofstream(previous) << "previous picture";
  const CliRun limited = cli({"draw", "--f", "F(x)=x", "-o", previous.string()},
                             "LC_ALL=C bash -c 'trap \"\" XFSZ; ulimit -f 2; exec \"$0\" \"$@\"'");
  EXPECT_EQ(limited.status, 1);
  EXPECT_EQ(limited.err,
            "kurvana-cli: Cannot write \"" + previous.string() + "\": File too large\n");
  EXPECT_EQ(slurp(previous), "previous picture");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"keep.PNG"}) << "no temporary file is left";
}

}  // namespace
