// Picture export: the BMP layout byte by byte, a baseline JPEG that decodes
// back to the picture, a PNG that decodes to exactly the BMP's pixels, and
// atomic replacement with reported failures.
#include "files/picture_file.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace kurvana {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

Bytes readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t u16(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8);
}
std::uint32_t u32(const Bytes& b, std::size_t at) {
  return u16(b, at) | (u16(b, at + 2) << 16);
}

// A fresh folder under the system's temporary folder, removed afterwards.
class PictureFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder = fs::temp_directory_path() /
             ("kurvana-picture-test-" + std::to_string(random()) + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(folder));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  // Names of everything in the folder: catches left-over temporary files.
  std::vector<std::string> listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder;
};

// 5 x 3, every pixel a different colour with distinct red, green and blue.
Bitmap sample() {
  Bitmap bitmap(5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const Color red = static_cast<Color>(10 + x);
      const Color green = static_cast<Color>(100 + y);
      const Color blue = static_cast<Color>(200 + 10 * y + x);
      bitmap.setPixel(x, y, red | (green << 8) | (blue << 16));
    }
  }
  return bitmap;
}

TEST_F(PictureFile, BmpHeadersAndRowsByteByByte) {
  const fs::path path = folder / "plot.bmp";
  const Bitmap bitmap = sample();
  ASSERT_EQ(writeBmpFile(bitmap, path).message(), "");
  const Bytes b = readAll(path);

  constexpr std::size_t kRowBytes = 16;  // 5 * 3 = 15, padded to 16
  ASSERT_EQ(b.size(), 54 + 3 * kRowBytes);
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(u32(b, 2), b.size());
  EXPECT_EQ(u32(b, 6), 0u);
  EXPECT_EQ(u32(b, 10), 54u);
  EXPECT_EQ(u32(b, 14), 40u);
  EXPECT_EQ(u32(b, 18), 5u);
  EXPECT_EQ(u32(b, 22), 3u) << "positive height: bottom-up rows";
  EXPECT_EQ(u16(b, 26), 1u);
  EXPECT_EQ(u16(b, 28), 24u);
  EXPECT_EQ(u32(b, 30), 0u) << "uncompressed";
  EXPECT_EQ(u32(b, 34), 3 * kRowBytes);
  EXPECT_GT(u32(b, 38), 0u);
  EXPECT_EQ(u32(b, 38), u32(b, 42));
  EXPECT_EQ(u32(b, 46), 0u);
  EXPECT_EQ(u32(b, 50), 0u);

  for (int fileRow = 0; fileRow < 3; ++fileRow) {
    const int y = 2 - fileRow;
    const std::size_t row = 54 + static_cast<std::size_t>(fileRow) * kRowBytes;
    for (int x = 0; x < 5; ++x) {
      const Color c = bitmap.pixel(x, y);
      const std::size_t at = row + 3 * static_cast<std::size_t>(x);
      EXPECT_EQ(b[at], (c >> 16) & 0xFF) << "blue of " << x << "," << y;
      EXPECT_EQ(b[at + 1], (c >> 8) & 0xFF) << "green of " << x << "," << y;
      EXPECT_EQ(b[at + 2], c & 0xFF) << "red of " << x << "," << y;
    }
    EXPECT_EQ(b[row + 15], 0) << "padding of file row " << fileRow;
  }
}

// Every width up to two words of padding: each row holds B, G, R of its
// pixels (the last one too) and zero padding, whatever the pixels' bytes.
TEST_F(PictureFile, BmpRowPaddingForEveryWidth) {
  for (int width = 1; width <= 8; ++width) {
    const fs::path path = folder / ("w" + std::to_string(width) + ".bmp");
    Bitmap bitmap(width, 2, 0xFFFFFF);
    for (int x = 0; x < width; ++x) bitmap.setPixel(x, 0, 0x10203 * static_cast<Color>(x + 1));
    ASSERT_EQ(writeBmpFile(bitmap, path).message(), "") << width;
    const Bytes b = readAll(path);
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(b.size(), 54 + 2 * rowBytes) << "width " << width;
    EXPECT_EQ(u32(b, 34), 2 * rowBytes) << "width " << width;
    for (int fileRow = 0; fileRow < 2; ++fileRow) {
      Bytes expected;
      for (int x = 0; x < width; ++x) {
        const Color c = bitmap.pixel(x, 1 - fileRow);
        expected.insert(expected.end(),
                        {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                         static_cast<std::uint8_t>(c)});
      }
      expected.resize(rowBytes, 0);
      const auto row = b.begin() + 54 + static_cast<std::ptrdiff_t>(fileRow * rowBytes);
      EXPECT_EQ(Bytes(row, row + static_cast<std::ptrdiff_t>(rowBytes)), expected)
          << "width " << width << ", file row " << fileRow;
    }
  }
}

// Decodes a JPEG file; empty on any libjpeg error.
struct Decoded {
  int width = 0;
  int height = 0;
  int components = 0;
  std::vector<std::uint8_t> rgb;
};

struct DecodeErrors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

extern "C" void decodeErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<DecodeErrors*>(cinfo->err)->jump, 1);
}

bool decodeInto(const Bytes& file, jpeg_decompress_struct* cinfo, DecodeErrors* errors,
                Decoded* out) {
  cinfo->err = jpeg_std_error(&errors->pub);
  errors->pub.error_exit = decodeErrorExit;
  if (setjmp(errors->jump) != 0) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(cinfo, TRUE);
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  out->width = static_cast<int>(cinfo->output_width);
  out->height = static_cast<int>(cinfo->output_height);
  out->components = cinfo->output_components;
  out->rgb.resize(static_cast<std::size_t>(out->width) * out->height * 3);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row =
        out->rgb.data() + static_cast<std::size_t>(cinfo->output_scanline) * out->width * 3;
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

// The marker bytes FF xx before the first scan, by walking the segments.
std::vector<int> markersBeforeScan(const Bytes& b) {
  std::vector<int> markers;
  std::size_t at = 2;
  while (at + 4 <= b.size() && b[at] == 0xFF) {
    const int marker = b[at + 1];
    markers.push_back(marker);
    if (marker == 0xDA) break;
    at += 2 + (static_cast<std::size_t>(b[at + 2]) << 8 | b[at + 3]);  // big-endian length
  }
  return markers;
}

TEST_F(PictureFile, JpegIsBaselineAndDecodesToTheColours) {
  struct Case {
    int width, height;
    Color color;
  };
  for (const Case& c :
       std::vector<Case>{{37, 21, 0x3080F0}, {16, 16, 0x000000}, {1, 1, 0xFFFFFF}}) {
    const fs::path path = folder / "plot.jpg";
    ASSERT_EQ(writeJpegFile(Bitmap(c.width, c.height, c.color), path).message(), "");
    const Bytes b = readAll(path);
    ASSERT_GE(b.size(), 4u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0xD8);
    EXPECT_EQ(b[b.size() - 2], 0xFF);
    EXPECT_EQ(b[b.size() - 1], 0xD9);
    const std::vector<int> markers = markersBeforeScan(b);
    EXPECT_EQ(std::count(markers.begin(), markers.end(), 0xC0), 1) << "one baseline frame";
    EXPECT_EQ(std::count(markers.begin(), markers.end(), 0xC2), 0) << "not progressive";
    ASSERT_FALSE(markers.empty());
    EXPECT_EQ(markers.back(), 0xDA) << "segments run up to the scan";

    jpeg_decompress_struct cinfo{};
    DecodeErrors errors{};
    Decoded decoded;
    ASSERT_TRUE(decodeInto(b, &cinfo, &errors, &decoded));
    EXPECT_EQ(decoded.width, c.width);
    EXPECT_EQ(decoded.height, c.height);
    EXPECT_EQ(decoded.components, 3);
    const int expected[3] = {static_cast<int>(c.color & 0xFF),
                             static_cast<int>((c.color >> 8) & 0xFF),
                             static_cast<int>((c.color >> 16) & 0xFF)};
    for (std::size_t i = 0; i < decoded.rgb.size(); ++i) {
      ASSERT_NEAR(decoded.rgb[i], expected[i % 3], 4)
          << "channel " << i % 3 << " of pixel " << i / 3 << " for colour " << std::hex << c.color;
    }
  }
}

TEST_F(PictureFile, JpegKeepsLeftRightAndTopBottom) {
  // Red left half over blue right half, green bottom rows: a mirrored or
  // channel-swapped encoder shows up in the corners.
  Bitmap bitmap(32, 32, 0x0000FF);
  bitmap.fillRect(16, 0, 32, 16, 0xFF0000);
  bitmap.fillRect(0, 16, 32, 32, 0x00FF00);
  const fs::path path = folder / "plot.jpg";
  ASSERT_EQ(writeJpegFile(bitmap, path).message(), "");
  jpeg_decompress_struct cinfo{};
  DecodeErrors errors{};
  Decoded d;
  ASSERT_TRUE(decodeInto(readAll(path), &cinfo, &errors, &d));
  const auto at = [&](int x, int y, int channel) { return d.rgb[(y * 32 + x) * 3 + channel]; };
  EXPECT_GT(at(4, 4, 0), 200);  // red top-left
  EXPECT_LT(at(4, 4, 2), 60);
  EXPECT_GT(at(27, 4, 2), 200);  // blue top-right
  EXPECT_LT(at(27, 4, 0), 60);
  EXPECT_GT(at(4, 27, 1), 200);  // green bottom
  EXPECT_LT(at(4, 27, 0), 60);
}

TEST_F(PictureFile, QualityChangesTheSizeAndOutOfRangeQualityIsAccepted) {
  Bitmap bitmap(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x)
      bitmap.setPixel(x, y, static_cast<Color>((x * 37 + y * 91) * 2654435761u));
  }
  std::vector<std::size_t> sizes;
  for (const int quality : {-5, 10, 90, 100, 1000}) {
    const fs::path path = folder / ("q" + std::to_string(quality) + ".jpg");
    ASSERT_EQ(writeJpegFile(bitmap, path, quality).message(), "") << quality;
    sizes.push_back(fs::file_size(path));
  }
  EXPECT_LT(sizes[1], sizes[2]);
  EXPECT_LT(sizes[2], sizes[3]);
  EXPECT_EQ(sizes[3], sizes[4]) << "quality above 100 is 100";
}

TEST_F(PictureFile, ReplacesAnExistingFileAndLeavesNoTemporaryFiles) {
  const fs::path bmp = folder / "plot.bmp";
  const fs::path jpg = folder / "plot.jpg";
  const fs::path png = folder / "plot.png";
  std::ofstream(bmp) << "old";
  std::ofstream(jpg) << "old";
  std::ofstream(png) << "old";
  const fs::path longName = folder / std::string(250, 'n');  // no room for a temporary suffix
  ASSERT_EQ(writeBmpFile(sample(), bmp).message(), "");
  ASSERT_EQ(writeJpegFile(sample(), jpg).message(), "");
  ASSERT_EQ(writePngFile(sample(), png).message(), "");
  ASSERT_EQ(writeBmpFile(sample(), longName).message(), "");
  EXPECT_EQ(readAll(bmp).size(), 54u + 3 * 16);
  EXPECT_EQ(readAll(jpg)[0], 0xFF);
  EXPECT_EQ(readAll(png)[1], 'P');
  EXPECT_EQ(listing(),
            (std::vector<std::string>{std::string(250, 'n'), "plot.bmp", "plot.jpg", "plot.png"}));
}

TEST_F(PictureFile, FailuresAreReportedAndLeaveThePreviousFileIntact) {
  const fs::path previous = folder / "keep.bmp";
  std::ofstream(previous) << "previous picture";
  const fs::path notAFolder = folder / "plain-file";
  std::ofstream(notAFolder) << "x";
  fs::create_directory(folder / "a-folder");

  struct Case {
    const char* what;
    fs::path path;
  };
  const std::vector<Case> cases = {
      {"missing folder", folder / "missing" / "plot.bmp"},
      {"parent is a regular file", notAFolder / "plot.bmp"},
      {"target is a folder", folder / "a-folder"},
      {"name too long", folder / std::string(300, 'n')},
  };
  for (const Case& c : cases) {
    for (const char* format : {"BMP", "JPEG", "PNG"}) {
      const std::string message = format[0] == 'B'   ? writeBmpFile(sample(), c.path).message()
                                  : format[0] == 'J' ? writeJpegFile(sample(), c.path).message()
                                                     : writePngFile(sample(), c.path).message();
      EXPECT_NE(message, "") << c.what << " (" << format << ")";
      EXPECT_NE(message.find(c.path.string()), std::string::npos)
          << c.what << ": message does not name the file: " << message;
      EXPECT_EQ(message.rfind("Cannot write \"", 0), 0u) << message;
    }
  }
  EXPECT_EQ(readAll(previous), (Bytes{'p', 'r', 'e', 'v', 'i', 'o', 'u', 's', ' ', 'p', 'i', 'c',
                                      't', 'u', 'r', 'e'}));
  EXPECT_EQ(listing(), (std::vector<std::string>{"a-folder", "keep.bmp", "plain-file"}));
  EXPECT_TRUE(fs::is_empty(folder / "a-folder"));
}

TEST_F(PictureFile, EmptyPicturesAndEmptyNamesAreErrors) {
  const fs::path path = folder / "keep.jpg";
  std::ofstream(path) << "previous";
  const std::string empty = "Cannot write \"" + path.string() + "\": the picture is empty";
  EXPECT_EQ(writeBmpFile(Bitmap(), path).message(), empty);
  EXPECT_EQ(writeJpegFile(Bitmap(0, 7), path).message(), empty);
  EXPECT_EQ(writePngFile(Bitmap(3, 0), path).message(), empty);
  const std::string unnamed = "Cannot write \"" + (folder / "").string() + "\": no file name";
  EXPECT_EQ(writeBmpFile(sample(), fs::path()).message(), "Cannot write \"\": no file name");
  EXPECT_EQ(writeJpegFile(sample(), folder / "").message(), unnamed);
  EXPECT_EQ(writePngFile(sample(), folder / "").message(), unnamed);
  EXPECT_EQ(readAll(path).size(), 8u);
  EXPECT_EQ(listing(), (std::vector<std::string>{"keep.jpg"}));
}

TEST_F(PictureFile, JpegEncoderErrorsAreReported) {
  // Wider than a JPEG frame can describe (65500): libjpeg refuses it.
  const fs::path path = folder / "wide.jpg";
  EXPECT_EQ(
      writeJpegFile(Bitmap(70000, 1), path).message(),
      "Cannot write \"" + path.string() + "\": Maximum supported image dimension is 65500 pixels");
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(listing().empty());
}

// A PNG file read back with libpng, without any transformation.
struct DecodedPng {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colorType = 0;
  int interlace = 0;
  bool transparency = false;  // a tRNS chunk
  std::vector<std::uint8_t> rgb;
  std::string error;
};

extern "C" void pngTestError(png_structp png, png_const_charp message) {
  static_cast<DecodedPng*>(png_get_error_ptr(png))->error = message;
  png_longjmp(png, 1);
}

extern "C" void pngTestRead(png_structp png, png_bytep data, std::size_t size) {
  auto* source = static_cast<std::pair<const Bytes*, std::size_t>*>(png_get_io_ptr(png));
  if (source->second + size > source->first->size()) png_error(png, "file too short");
  std::copy_n(source->first->data() + source->second, size, data);
  source->second += size;
}

// libpng jumps back here on an error; the caller owns every C++ object.
bool decodePngInto(png_structp png, png_infop info, DecodedPng* out) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_read_info(png, info);
  png_get_IHDR(png, info, &out->width, &out->height, &out->bitDepth, &out->colorType,
               &out->interlace, nullptr, nullptr);
  out->transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (out->bitDepth != 8 || out->colorType != PNG_COLOR_TYPE_RGB ||
      out->interlace != PNG_INTERLACE_NONE) {
    return true;  // the caller reports the header; rows of another layout are not compared
  }
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != out->width * 3) png_error(png, "unexpected row size");
  out->rgb.resize(rowBytes * out->height);
  for (png_uint_32 y = 0; y < out->height; ++y)
    png_read_row(png, out->rgb.data() + y * rowBytes, nullptr);
  png_read_end(png, nullptr);
  return true;
}

DecodedPng decodePng(const Bytes& file) {
  DecodedPng out;
  std::pair<const Bytes*, std::size_t> source{&file, 8};
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) {
    out.error = "no PNG signature";
    return out;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &out, pngTestError, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_read_fn(png, &source, pngTestRead);
  png_set_sig_bytes(png, 8);
  if (!decodePngInto(png, info, &out) && out.error.empty()) out.error = "decoding failed";
  png_destroy_read_struct(&png, &info, nullptr);
  return out;
}

// Pixels of every kind: flat areas with lines and text-like specks (as in a
// plot, where deflate finds long matches), and noise that does not compress,
// so the data spans several compressed chunks.
Bitmap plotLike(int width, int height) {
  Bitmap bitmap(width, height, 0x202020);
  std::mt19937 random(12345);
  for (int x = 0; x < width; x += 7) bitmap.fillRect(x, 0, x + 1, height, 0x808080);
  bitmap.fillRect(0, height / 2, width, height / 2 + 1, 0xA0A0A0);
  for (int x = 0; x < width; ++x) {
    const int y = static_cast<int>((height - 1) * (0.5 + 0.45 * std::sin(x / 37.0)));
    bitmap.setPixel(x, y, 0xFF6060);
    bitmap.setPixel(x, y + 1, 0x4C4CCC);
  }
  const int noise = std::min(width, 300);
  for (int y = 0; y < std::min(height, 200); ++y) {
    for (int x = 0; x < noise; ++x) bitmap.setPixel(x, y, random() & 0xFFFFFF);
  }
  bitmap.setPixel(width - 1, height - 1, 0x010203);
  return bitmap;
}

// Compares a decoded PNG with the bitmap and with the BMP written from it.
void expectSamePixels(const Bitmap& bitmap, const DecodedPng& png, const Bytes& bmp) {
  ASSERT_EQ(png.rgb.size(), static_cast<std::size_t>(bitmap.width()) * bitmap.height() * 3);
  const std::size_t bmpRow = (static_cast<std::size_t>(bitmap.width()) * 3 + 3) / 4 * 4;
  ASSERT_EQ(bmp.size(), 54 + bmpRow * bitmap.height());
  int mismatches = 0;
  for (int y = 0; y < bitmap.height() && mismatches < 5; ++y) {
    for (int x = 0; x < bitmap.width() && mismatches < 5; ++x) {
      const std::uint8_t* p = &png.rgb[(static_cast<std::size_t>(y) * bitmap.width() + x) * 3];
      const std::uint8_t* b = &bmp[54 + (bitmap.height() - 1 - y) * bmpRow + x * 3];
      const Color c = bitmap.pixel(x, y);
      const Color fromPng = p[0] | (p[1] << 8) | (p[2] << 16);
      const Color fromBmp = b[2] | (b[1] << 8) | (b[0] << 16);
      if (fromPng != c || fromPng != fromBmp) {
        ++mismatches;
        ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": bitmap " << c << ", PNG "
                      << fromPng << ", BMP " << fromBmp;
      }
    }
  }
}

TEST_F(PictureFile, PngIsRgbWithoutAlphaAndHasTheBmpsPixels) {
  struct Case {
    int width, height;
  };
  for (const Case& c : std::vector<Case>{{1, 1}, {5, 3}, {333, 211}, {2040, 1340}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const Bitmap bitmap = c.width == 5 ? sample() : plotLike(c.width, c.height);
    const fs::path png = folder / "plot.png";
    const fs::path bmp = folder / "plot.bmp";
    ASSERT_EQ(writePngFile(bitmap, png).message(), "");
    ASSERT_EQ(writeBmpFile(bitmap, bmp).message(), "");
    const Bytes b = readAll(png);

    // The header as the bytes say it, independently of the decoder.
    ASSERT_GE(b.size(), 33u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8),
              (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 16), "IHDR") << "IHDR comes first";
    EXPECT_EQ(b[24], 8) << "bit depth";
    EXPECT_EQ(b[25], 2) << "colour type: RGB, no alpha, no palette";
    EXPECT_EQ(b[28], 0) << "not interlaced";

    const DecodedPng decoded = decodePng(b);  // libpng also checks every chunk's CRC
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, static_cast<png_uint_32>(c.width));
    EXPECT_EQ(decoded.height, static_cast<png_uint_32>(c.height));
    EXPECT_EQ(decoded.bitDepth, 8);
    EXPECT_EQ(decoded.colorType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(decoded.interlace, PNG_INTERLACE_NONE);
    EXPECT_FALSE(decoded.transparency);
    expectSamePixels(bitmap, decoded, readAll(bmp));
  }
}

TEST_F(PictureFile, PngOfAFlatPlotIsSmall) {
  // Compression is on: a plot-sized picture of mostly flat colour is a
  // small fraction of its 8 MB of pixels.
  const fs::path png = folder / "plot.png";
  Bitmap bitmap = plotLike(2040, 1340);
  bitmap.fillRect(0, 0, 300, 200, 0x202020);  // without the noise
  ASSERT_EQ(writePngFile(bitmap, png).message(), "");
  EXPECT_LT(fs::file_size(png), 400u * 1024);
}

// The IDAT chunks' data inflated by zlib itself, which also checks the
// stream's Adler-32: the scanlines, or an error text.
std::pair<Bytes, std::string> inflateIdat(const Bytes& file) {
  Bytes stream;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::size_t length =
        (std::size_t{file[at]} << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
    if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT") {
      stream.insert(stream.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
    }
    at += 12 + length;
  }
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {{}, "inflateInit"};
  Bytes out(64 * 1024 * 1024);
  z.next_in = stream.data();
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int result = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  const std::string error = result == Z_STREAM_END ? ""
                            : z.msg                ? z.msg
                                                   : "inflate " + std::to_string(result);
  const bool allTaken = z.avail_in == 0;
  inflateEnd(&z);
  return {out, !error.empty() ? error : allTaken ? "" : "data after the stream's end"};
}

// What the rows must hold: R, G, B of every pixel.
Bytes pixelRows(const Bitmap& bitmap) {
  Bytes out;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      const Color c = bitmap.pixel(x, y);
      out.insert(out.end(),
                 {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                  static_cast<std::uint8_t>((c >> 16) & 0xFF)});
    }
  }
  return out;
}

// The scanlines of an RGB picture `width` pixels wide with their filters
// undone (all five PNG filters), and the filter type of each row; empty rows
// and an error text on an unknown filter or a length that is no whole rows.
struct Unfiltered {
  Bytes rows;
  std::vector<int> filters;
  std::string error;
};
Unfiltered unfilter(const Bytes& scanlines, std::size_t width) {
  Unfiltered out;
  const std::size_t n = width * 3;
  if (scanlines.size() % (n + 1) != 0) return {{}, {}, "not whole rows"};
  Bytes above(n, 0);
  for (std::size_t at = 0; at < scanlines.size(); at += n + 1) {
    const int type = scanlines[at];
    out.filters.push_back(type);
    Bytes row(n);
    for (std::size_t i = 0; i < n; ++i) {
      const int a = i >= 3 ? row[i - 3] : 0, b = above[i], c = i >= 3 ? above[i - 3] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predictor = type == 0   ? 0
                            : type == 1 ? a
                            : type == 2 ? b
                            : type == 3 ? (a + b) / 2
                                        : paeth;
      if (type > 4) return {{}, {}, "filter type " + std::to_string(type)};
      row[i] = static_cast<std::uint8_t>(scanlines[at + 1 + i] + predictor);
    }
    out.rows.insert(out.rows.end(), row.begin(), row.end());
    above = row;
  }
  return out;
}

// From a megabyte of scanlines on, the picture is compressed in two halves
// that make one stream: rows on both sides of the seam (noise that only the
// row before the seam compresses), odd heights, one row per half, and the
// sizes just below and at the split.
TEST_F(PictureFile, PngHalvesMakeOneStreamAcrossTheSeam) {
  struct Case {
    int width, height;
  };
  std::vector<std::size_t> sizes;
  for (const Case& c : std::vector<Case>{{700, 499},      // 2101 * 499 bytes < 1 MiB: one piece
                                         {700, 500},      // 2101 * 500 >= 1 MiB: two
                                         {1000, 351},     // odd: 175 rows, then 176
                                         {174763, 2}}) {  // one row each
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    // One row of noise, repeated: every later row, also across the seam, is
    // one match back.
    Bitmap bitmap(c.width, c.height, 0x102030);
    const int noisy = std::min(c.width, 2000);
    std::mt19937 random(99);  // the same noise in every case
    for (int x = 0; x < noisy; ++x) bitmap.fillRect(x, 0, x + 1, c.height, random() & 0xFFFFFF);
    const fs::path png = folder / "seam.png";
    ASSERT_EQ(writePngFile(bitmap, png).message(), "");
    const Bytes file = readAll(png);
    const auto [inflated, error] = inflateIdat(file);
    ASSERT_EQ(error, "");
    const Unfiltered rows = unfilter(inflated, static_cast<std::size_t>(c.width));
    ASSERT_EQ(rows.error, "");
    EXPECT_TRUE(rows.rows == pixelRows(bitmap)) << "the rows differ";
    const DecodedPng decoded = decodePng(file);
    ASSERT_EQ(decoded.error, "");
    ASSERT_EQ(decoded.height, static_cast<png_uint_32>(c.height));
    sizes.push_back(file.size());
  }
  // The half after the seam starts from the row before it (filtered Up):
  // one more row costs little, not the row's 6 KB of noise again.
  EXPECT_LT(sizes[1], sizes[0] + 100) << "the row after the seam was not matched";
}

// The first half's final block, whatever its kind, is turned into one that
// the second half follows: stored blocks (noise), one short block (flat
// colour), and noise that ends just before the seam or starts just after it.
TEST_F(PictureFile, PngHalvesJoinAfterAnyKindOfBlock) {
  const int width = 700, height = 600;  // 2101 * 600 bytes: two halves of 300 rows
  std::mt19937 random(5);
  const std::vector<std::pair<int, int>> noisyRows = {{0, 600}, {0, 0}, {250, 300}, {300, 301}};
  for (const auto& [from, to] : noisyRows) {
    SCOPED_TRACE("noise in rows " + std::to_string(from) + " to " + std::to_string(to));
    Bitmap bitmap(width, height, 0x405060);
    for (int y = from; y < to; ++y) {
      for (int x = 0; x < width; ++x) bitmap.setPixel(x, y, random() & 0xFFFFFF);
    }
    const fs::path png = folder / "join.png";
    ASSERT_EQ(writePngFile(bitmap, png).message(), "");
    const Bytes file = readAll(png);
    const auto [inflated, error] = inflateIdat(file);
    ASSERT_EQ(error, "");
    const Unfiltered rows = unfilter(inflated, width);
    ASSERT_EQ(rows.error, "");
    EXPECT_TRUE(rows.rows == pixelRows(bitmap)) << "the rows differ";
    EXPECT_EQ(decodePng(file).error, "");
  }
}

// Rows that repeat the row above are filtered Up (zeros, runs at distance 1
// for deflate), on both sides of the seam between the halves; other rows
// are left unfiltered, which deflate compresses best here. Only in a picture
// wider than deflate's 32 KB window, where no row can reach the one above,
// each row takes the filter with the least sum of absolute differences
// (None on a tie): Up for a repeated row, Sub for a smooth ramp, None for one
// unlike both. libpng decodes every case to the bitmap.
TEST_F(PictureFile, PngFiltersRowsOutOfDeflatesReach) {
  std::mt19937 random(11);
  const auto noise = [&](Bitmap& b, int y) {
    for (int x = 0; x < b.width(); ++x) b.setPixel(x, y, random() & 0xFFFFFF);
  };
  const auto ramp = [](Bitmap& b, int y) {
    for (int x = 0; x < b.width(); ++x) b.setPixel(x, y, 0x010101u * static_cast<Color>(x % 200));
  };
  struct Case {
    std::string name;
    Bitmap bitmap;
    std::vector<int> filters;  // of the rows listed in `rows`
    std::vector<int> rows;
  };
  std::vector<Case> cases;
  {
    // 11000 pixels: 33001 bytes a row. Rows: noise, the same again, a ramp,
    // small values that jump (unlike the ramp and their own neighbours), the
    // ramp again two rows on.
    Bitmap b(11000, 5);
    noise(b, 0);
    b.copyRect(b, 0, 0, 11000, 1, 0, 1);
    ramp(b, 2);
    for (int x = 0; x < 11000; ++x) b.setPixel(x, 3, x % 2 == 0 ? 0 : 0x282828);
    ramp(b, 4);
    cases.push_back({"wider than the window", b, {0, 2, 1, 0, 1}, {0, 1, 2, 3, 4}});
  }
  {
    // 3004 bytes a row, 400 rows: two halves of 200. Rows repeat the one two
    // above (as dotted grid lines do) across the seam; the filter of row 200,
    // noise against noise, is any.
    Bitmap b(1001, 400);
    noise(b, 0);
    noise(b, 1);
    for (int y = 2; y < 400; ++y) b.copyRect(b, 0, y - 2, 1001, 1, 0, y);
    cases.push_back({"rows repeating the one two above",
                     b,
                     {0, 0, 0, 0, -1, 0, 0},
                     {0, 1, 2, 199, 200, 201, 399}});
  }
  {
    // Odd size, halves of 200 and 201 rows. The row after the seam repeats
    // the one before it, and so does the next; then the flat background,
    // whose second row repeats the first.
    Bitmap b(1001, 401, 0x102030);
    noise(b, 199);
    b.copyRect(b, 0, 199, 1001, 1, 0, 200);
    b.copyRect(b, 0, 199, 1001, 1, 0, 201);
    cases.push_back({"odd size, repeats across the seam",
                     b,
                     {2, 0, 2, 2, 0, 2, 2},
                     {1, 199, 200, 201, 202, 203, 400}});
  }
  {
    // A row that differs from the one above in one pixel, the first or the
    // last, is no repeat.
    Bitmap b(1001, 400, 0x102030);
    noise(b, 199);
    b.copyRect(b, 0, 199, 1001, 1, 0, 200);
    b.setPixel(0, 200, 0xFFFFFF);
    b.copyRect(b, 0, 199, 1001, 1, 0, 201);
    b.copyRect(b, 0, 199, 1001, 1, 0, 202);
    b.setPixel(1000, 202, 0xFFFFFF);
    b.setPixel(500, 203, 0x102031);
    cases.push_back(
        {"near repeats", b, {0, 0, 0, 0, 0, 0, 2}, {199, 200, 201, 202, 203, 204, 205}});
  }
  {
    Bitmap b(1, 300000);  // 4 bytes a row, 1.2 MB: two halves
    for (int y = 0; y < b.height(); ++y) b.setPixel(0, y, static_cast<Color>(y * 2654435761u));
    b.setPixel(0, 150001, b.pixel(0, 150000));
    // After the repeat, each row differs from the one above in its one pixel.
    cases.push_back({"one pixel wide", b, {0, 0, 0, 2, 2}, {0, 1, 150000, 150001, 150002}});
  }
  {
    // After a row filtered Up, rows that differ from the one above in at
    // most 16 pixels stay Up: 16 pixels, then 17, then the first and the
    // last pixel.
    Bitmap b(1001, 6);
    noise(b, 0);
    b.copyRect(b, 0, 0, 1001, 1, 0, 1);
    b.copyRect(b, 0, 0, 1001, 1, 0, 2);
    for (int k = 0; k < 16; ++k) b.setPixel(10 + 60 * k, 2, 0xFFFFFF);
    b.copyRect(b, 0, 2, 1001, 1, 0, 3);
    for (int k = 0; k < 17; ++k) b.setPixel(15 + 50 * k, 3, 0x0000FF);
    b.copyRect(b, 0, 3, 1001, 1, 0, 4);
    b.copyRect(b, 0, 4, 1001, 1, 0, 5);
    b.setPixel(0, 5, 0x010101);
    b.setPixel(1000, 5, 0xFEFEFE);
    cases.push_back({"near repeats after a repeat", b, {0, 2, 2, 0, 2, 2}, {0, 1, 2, 3, 4, 5}});
  }
  {
    // Row 3 repeats row 1, which is filtered Up: its pixels are row 0's.
    Bitmap b(1001, 4);
    noise(b, 0);
    b.copyRect(b, 0, 0, 1001, 1, 0, 1);
    noise(b, 2);
    b.copyRect(b, 0, 0, 1001, 1, 0, 3);
    cases.push_back({"a repeat two rows after a filtered row", b, {0, 2, 0, 0}, {0, 1, 2, 3}});
  }
  {
    Bitmap b(997, 1);
    noise(b, 0);
    cases.push_back({"one row", b, {0}, {0}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path png = folder / "filters.png";
    ASSERT_EQ(writePngFile(c.bitmap, png).message(), "");
    const Bytes file = readAll(png);
    const auto [inflated, error] = inflateIdat(file);
    ASSERT_EQ(error, "");
    const Unfiltered rows = unfilter(inflated, static_cast<std::size_t>(c.bitmap.width()));
    ASSERT_EQ(rows.error, "");
    std::vector<int> filters;
    for (std::size_t k = 0; k < c.rows.size(); ++k) {
      const int filter = rows.filters.at(static_cast<std::size_t>(c.rows[k]));
      filters.push_back(c.filters[k] < 0 ? -1 : filter);
    }
    EXPECT_EQ(filters, c.filters) << "the filters of rows " << testing::PrintToString(c.rows);
    const DecodedPng decoded = decodePng(file);
    ASSERT_EQ(decoded.error, "");
    EXPECT_TRUE(decoded.rgb == pixelRows(c.bitmap)) << "libpng decodes other pixels";
  }
}

// The half after the seam makes the rows before it again, for its matches:
// with the filters the first half gave them, also where a row's filter
// depends on rows far above (a chain of near repeats from a repeat 20 rows
// before the seam). Rows after the seam that match those rows as the first
// half filtered them must decode to their own pixels.
TEST_F(PictureFile, PngRowsBeforeTheSeamKeepTheirFilters) {
  Bitmap b(1001, 400);  // 3004 bytes a row: two halves of 200 rows
  b.fillRect(500, 0, 501, 400, 0x808080);
  for (int k = 0; k < 20; ++k) b.setPixel(10 + 40 * k, 180, 0xFFFFFF);
  b.copyRect(b, 0, 180, 1001, 1, 0, 181);
  for (int y = 182; y < 200; ++y) {
    b.copyRect(b, 0, y - 1, 1001, 1, 0, y);
    b.setPixel(900 + y - 182, y, 0x00FF00);
  }
  const fs::path png = folder / "chain.png";
  ASSERT_EQ(writePngFile(b, png).message(), "");
  const Bytes file = readAll(png);
  const auto [inflated, error] = inflateIdat(file);
  ASSERT_EQ(error, "");
  const Unfiltered rows = unfilter(inflated, 1001);
  ASSERT_EQ(rows.error, "");
  EXPECT_EQ(rows.filters[181], 2);
  EXPECT_EQ(rows.filters[199], 2) << "the chain of near repeats";
  EXPECT_EQ(rows.filters[200], 0);
  EXPECT_TRUE(rows.rows == pixelRows(b)) << "the rows differ";
}

// Random pictures made of the rows a plot has: repeats of the row above or
// the one two above, near repeats (1 to 20 pixels changed), flat rows and
// noise, in sizes below and above the split into halves: zlib inflates each
// stream to exactly the picture's rows.
TEST_F(PictureFile, PngRandomPlotRowsDecodeExactly) {
  std::mt19937 random(2024);
  const auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 24; ++round) {
    const int width = 1 + below(1400);
    const int height = 1 + (round % 2 == 0 ? below(60) : 400 + below(1200));
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    Bitmap b(width, height, 0x000000);
    for (int y = 0; y < height; ++y) {
      const int kind = below(10);
      if (y >= 1 && kind < 3) {
        b.copyRect(b, 0, y - 1, width, 1, 0, y);
      } else if (y >= 2 && kind < 5) {
        b.copyRect(b, 0, y - 2, width, 1, 0, y);
      } else if (y >= 1 && kind < 8) {
        b.copyRect(b, 0, y - 1, width, 1, 0, y);
        for (int k = 1 + below(20); k > 0; --k) b.setPixel(below(width), y, random() & 0xFFFFFF);
      } else if (kind < 9) {
        b.fillRect(0, y, width, y + 1, random() & 0x0F0F0F);
      } else {
        for (int x = 0; x < width; ++x) b.setPixel(x, y, random() & 0xFFFFFF);
      }
    }
    const fs::path png = folder / "random.png";
    ASSERT_EQ(writePngFile(b, png).message(), "");
    const auto [inflated, error] = inflateIdat(readAll(png));
    ASSERT_EQ(error, "");
    const Unfiltered rows = unfilter(inflated, static_cast<std::size_t>(width));
    ASSERT_EQ(rows.error, "");
    EXPECT_TRUE(rows.rows == pixelRows(b)) << "the rows differ";
  }
}

// Rows that repeat the one above, the one two above (as dotted grid lines
// do), or neither, in every order: zlib's own check of the stream's Adler-32
// and the scanlines agree.
TEST_F(PictureFile, PngChecksumHoldsForRepeatedRows) {
  std::mt19937 random(7);
  for (const int height : {1, 2, 3, 40, 700}) {  // 700 x 700: two halves
    SCOPED_TRACE(height);
    const int width = 700;
    std::vector<Color> patterns[3];
    for (auto& pattern : patterns) {
      for (int x = 0; x < width; ++x) pattern.push_back(random() & 0xFFFFFF);
    }
    // The row's pattern: runs of one, alternations of two, cycles of three.
    const auto patternOf = [](int y) {
      const int phase = y % 24;
      return phase < 6 ? 0 : phase < 12 ? phase % 2 : phase % 3;
    };
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) bitmap.setPixel(x, y, patterns[patternOf(y)][x]);
    }
    const fs::path png = folder / "rows.png";
    ASSERT_EQ(writePngFile(bitmap, png).message(), "");
    const auto [inflated, error] = inflateIdat(readAll(png));
    ASSERT_EQ(error, "");
    const Unfiltered rows = unfilter(inflated, width);
    ASSERT_EQ(rows.error, "");
    EXPECT_TRUE(rows.rows == pixelRows(bitmap)) << "the rows differ";
  }
}

// A write that fails half-way (the file size limit of the process, as on a
// full disk) is reported with the reason and leaves the previous file as it
// was. Run in a child process, whose limit does not reach the tests.
TEST_F(PictureFile, PngWriteFailingHalfWayKeepsThePreviousFile) {
  const fs::path path = folder / "keep.png";
  std::ofstream(path) << "previous picture";
  int channel[2];
  ASSERT_EQ(::pipe(channel), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(channel[0]);
    std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const std::string message = writePngFile(plotLike(640, 480), path).message();
    const ssize_t written = ::write(channel[1], message.data(), message.size());
    ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
  }
  ::close(channel[1]);
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  ::close(channel[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(message, "Cannot write \"" + path.string() + "\": File too large");
  const Bytes kept = readAll(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous picture");
  EXPECT_EQ(listing(), (std::vector<std::string>{"keep.png"}));
}

TEST_F(PictureFile, PngEncoderErrorsAreReported) {
  // Wider than libpng writes by default (a million pixels): refused before
  // anything is written, with libpng's reason.
  const fs::path path = folder / "wide.png";
  std::ofstream(path) << "previous";
  const std::string message = writePngFile(Bitmap(1'000'001, 1), path).message();
  EXPECT_EQ(message.rfind("Cannot write \"" + path.string() + "\": ", 0), 0u) << message;
  EXPECT_NE(message.find("width"), std::string::npos) << message;
  EXPECT_EQ(readAll(path).size(), 8u);
  EXPECT_EQ(listing(), (std::vector<std::string>{"wide.png"}));
}

}  // namespace
}  // namespace kurvana
