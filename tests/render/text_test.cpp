// Label text: font matching, placement inside the character cell, blending
// over the background, clipping and robustness against malformed UTF-8.
#include "render/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace kurvana {
namespace {

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;

int channel(Color c, int i) {
  return static_cast<int>((c >> (8 * i)) & 0xFFu);
}

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    font = TextRenderer::create("Verdana", 12);
    if (font == nullptr) GTEST_SKIP() << "no font available through fontconfig";
  }

  // Number of pixels of `bitmap` that differ from `background`.
  static int changedCount(const Bitmap& bitmap, Color background) {
    int n = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
      for (int x = 0; x < bitmap.width(); ++x) n += bitmap.pixel(x, y) != background;
    }
    return n;
  }

  std::unique_ptr<TextRenderer> font;
};

TEST_F(Text, CellMetricsSuitALabelFont) {
  EXPECT_GE(font->cellHeight(), 12);
  EXPECT_LE(font->cellHeight(), 20);
  EXPECT_GT(font->width("0"), 0);
  EXPECT_GT(font->width("10.00"), font->width("0"));
  EXPECT_EQ(font->width(""), 0);
  EXPECT_EQ(font->width("0.00"), 3 * font->width("0") + font->width("."))
      << "advances add up without kerning";
}

TEST_F(Text, InkStaysInsideTheCellAndReachesTheFullColour) {
  constexpr Color kColor = 0x20C0F0;
  struct Case {
    const char* text;
    int x, y;
  };
  for (const Case& c : std::vector<Case>{{"0.00", 10, 7},
                                         {"-2.50", 3, 20},
                                         {"150", 31, 0},
                                         {"(g|)", 0, 24},
                                         {"\xC3\x89g", 40, 25}}) {
    Bitmap bitmap(80, 40, kBlack);
    font->draw(bitmap, c.x, c.y, c.text, kColor);
    const int right = c.x + font->width(c.text);
    const int bottom = c.y + font->cellHeight();
    bool full = false;
    int inked = 0;
    for (int y = 0; y < bitmap.height(); ++y) {
      for (int x = 0; x < bitmap.width(); ++x) {
        const Color p = bitmap.pixel(x, y);
        if (p == kBlack) continue;
        ++inked;
        EXPECT_TRUE(x >= c.x && x < right && y >= c.y && y < bottom)
            << c.text << " at " << c.x << "," << c.y << " inked " << x << "," << y;
        // Each channel lies between the background and the colour in proportion.
        for (int i = 1; i < 3; ++i) {
          EXPECT_NEAR(channel(p, i) * channel(kColor, 0), channel(p, 0) * channel(kColor, i), 255)
              << c.text << " pixel " << x << "," << y << " is not a shade of the colour";
        }
        if (std::abs(channel(p, 0) - channel(kColor, 0)) <= 8 &&
            std::abs(channel(p, 1) - channel(kColor, 1)) <= 8 &&
            std::abs(channel(p, 2) - channel(kColor, 2)) <= 8) {
          full = true;
        }
      }
    }
    EXPECT_GT(inked, 10) << c.text;
    EXPECT_TRUE(full) << c.text << " never reaches the full colour";
  }
}

TEST_F(Text, DescendersReachTheBottomOfTheCell) {
  // The baseline sits one descent above the cell's bottom, so a "g" fills
  // the cell downwards, and digits end above it.
  Bitmap bitmap(40, 40, kBlack);
  font->draw(bitmap, 2, 5, "g", kWhite);
  font->draw(bitmap, 20, 5, "0", kWhite);
  int lowestG = -1;
  int lowestDigit = -1;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      if (bitmap.pixel(x, y) == kBlack) continue;
      (x < 20 ? lowestG : lowestDigit) = y;
    }
  }
  const int bottom = 5 + font->cellHeight() - 1;
  EXPECT_LE(lowestG, bottom);
  EXPECT_GE(lowestG, bottom - 1);
  EXPECT_LT(lowestDigit, lowestG);
}

TEST_F(Text, BlendsOverWhiteAsOverBlack) {
  constexpr Color kGrey = 0x808080;
  Bitmap onBlack(40, 20, kBlack);
  Bitmap onWhite(40, 20, kWhite);
  font->draw(onBlack, 2, 2, "0.5", kGrey);
  font->draw(onWhite, 2, 2, "0.5", kGrey);
  int partial = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 40; ++x) {
      // Coverage a gives 128a/255 over black and 255 - 127a/255 over white.
      const int black = channel(onBlack.pixel(x, y), 0);
      const int white = channel(onWhite.pixel(x, y), 0);
      EXPECT_LE(black, 128) << x << "," << y;
      EXPECT_GE(white, 128) << x << "," << y;
      if (black == 0) {
        EXPECT_EQ(white, 255) << "ink over white where there is none over black at " << x << ","
                              << y;
        continue;
      }
      const double a = black * 255.0 / 128.0;
      EXPECT_NEAR(white, 255.0 - 127.0 * a / 255.0, 2.0) << x << "," << y;
      partial += black < 120;
    }
  }
  EXPECT_GT(partial, 0) << "no antialiased edge pixels";
}

// Text over each edge shows exactly the part of the unclipped text that lies
// on the bitmap; text far beyond an edge shows nothing.
TEST_F(Text, ClipsAtEveryEdge) {
  struct Case {
    int x, y;
    bool shows;  // some of the text lies on the bitmap
  };
  // The unclipped text, drawn with room on every side.
  constexpr int kPadX = 40;
  constexpr int kPadY = 20;
  Bitmap reference(40 + 2 * kPadX, 16 + 2 * kPadY, kBlack);
  font->draw(reference, kPadX, kPadY, "10.00", kWhite);
  ASSERT_GT(changedCount(reference, kBlack), 20);
  const auto expected = [&](int px, int py) {
    const int rx = px + kPadX;
    const int ry = py + kPadY;
    if (rx < 0 || ry < 0 || rx >= reference.width() || ry >= reference.height()) return kBlack;
    return reference.pixel(rx, ry);
  };
  for (const Case& c :
       {Case{-5, 2, true}, Case{2, -6, true}, Case{35, 2, true}, Case{2, 12, true},
        Case{-1000000, 0, false}, Case{0, 2000000000, false}, Case{2147483000, 5, false}}) {
    Bitmap bitmap(40, 16, kBlack);
    font->draw(bitmap, c.x, c.y, "10.00", kWhite);
    for (int py = 0; py < 16; ++py) {
      for (int px = 0; px < 40; ++px) {
        const Color want = c.shows ? expected(px - c.x, py - c.y) : kBlack;
        ASSERT_EQ(bitmap.pixel(px, py), want)
            << "text at " << c.x << "," << c.y << ", pixel " << px << "," << py;
      }
    }
    if (c.shows) {
      EXPECT_GT(changedCount(bitmap, kBlack), 0) << c.x << "," << c.y;
    }
  }
  Bitmap empty;
  font->draw(empty, 0, 0, "0", kWhite);
  EXPECT_EQ(empty.width(), 0);
}

TEST_F(Text, EmptyAndMalformedTextIsHarmless) {
  Bitmap bitmap(60, 20, kBlack);
  font->draw(bitmap, 2, 2, "", kWhite);
  EXPECT_EQ(changedCount(bitmap, kBlack), 0);

  const std::vector<std::string> inputs = {
      std::string("\xFF\xFE", 2),       // bytes that never occur in UTF-8
      std::string("1\xC3", 2),          // sequence cut off at the end
      std::string("\xE2\x82", 2),       // three-byte sequence cut short
      std::string("\xC0\xAF"),          // overlong slash
      std::string("\xED\xA0\x80"),      // encoded surrogate
      std::string("\xF4\x90\x80\x80"),  // beyond U+10FFFF
      std::string("\x80\x80\x80"),      // stray continuation bytes
      std::string("a\0b", 3),           // embedded NUL
  };
  for (const std::string& input : inputs) {
    Bitmap b(60, 20, kBlack);
    font->draw(b, 2, 2, input, kWhite);
    EXPECT_GE(font->width(input), 0) << testing::PrintToString(input);
  }
}

TEST_F(Text, DecodesUtf8WithOneReplacementPerIllFormedSubpart) {
  const int replacement = font->width("\xEF\xBF\xBD");
  ASSERT_GT(replacement, 0);
  struct Case {
    std::string input;
    int replacements;
  };
  const std::vector<Case> cases = {
      {"\xFF", 1},
      {"\xC0\xAF", 2},          // overlong: C0 never starts a sequence
      {"\xE0\x80\xAF", 3},      // overlong three-byte form
      {"\xED\xA0\x80", 3},      // surrogate
      {"\xF4\x90\x80\x80", 4},  // beyond U+10FFFF
      {"\xF5\x80", 2},
      {"\xE2\x88", 1},  // truncated at the end
      {"\xF0\x9F\x98", 1},
      {"\x80\xBF", 2},  // continuation bytes without a lead
  };
  for (const Case& c : cases) {
    EXPECT_EQ(font->width(c.input), c.replacements * replacement)
        << testing::PrintToString(c.input);
  }
  // A well-formed sequence is one character, whatever the replacement's width.
  EXPECT_EQ(font->width("\xE2\x88\x92"
                        "1"),
            font->width("\xE2\x88\x92") + font->width("1"));
  EXPECT_NE(font->width("\xE2\x88\x92"), 3 * replacement);
}

TEST(TextCreate, UnknownFamilyFallsBackAndBadSizesGiveNull) {
  const auto fallback = TextRenderer::create("No Such Family Kurvana", 12);
  if (fallback == nullptr) GTEST_SKIP() << "no font available through fontconfig";
  EXPECT_GT(fallback->width("0"), 0);
  EXPECT_EQ(TextRenderer::create("Verdana", 0), nullptr);
  EXPECT_EQ(TextRenderer::create("Verdana", -12), nullptr);
  const auto larger = TextRenderer::create("Verdana", 24);
  ASSERT_NE(larger, nullptr);
  EXPECT_GT(larger->cellHeight(), fallback->cellHeight());
}

}  // namespace
}  // namespace kurvana
