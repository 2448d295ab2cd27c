// The pictures the build keeps in the program: every one is there, and what
// the window gets from them is what painting gives, pixel for pixel.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <cstring>
#include <string>

#include "ui/chrome_art.h"

namespace kurvana::ui {
namespace {

// Same format, size, ratio and bytes (only the bytes each row's pixels use).
testing::AssertionResult samePixels(const QImage& got, const QImage& painted) {
  if (got.format() != painted.format()) {
    return testing::AssertionFailure() << "format " << got.format() << " != " << painted.format();
  }
  if (got.size() != painted.size() || got.devicePixelRatio() != painted.devicePixelRatio()) {
    return testing::AssertionFailure() << "size or ratio differs";
  }
  const auto rowBytes = static_cast<std::size_t>(got.width()) * 4;
  for (int y = 0; y < got.height(); ++y) {
    if (std::memcmp(got.constScanLine(y), painted.constScanLine(y), rowBytes) != 0) {
      return testing::AssertionFailure() << "row " << y << " differs";
    }
  }
  return testing::AssertionSuccess();
}

QImage painted(const QString& file) {
  for (const StoredArt& art : storedArt()) {
    if (art.file == file) return art.paint();
  }
  ADD_FAILURE() << "nothing stored as " << file.toStdString();
  return {};
}

QByteArray png(const QImage& image) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return buffer.data();
}

// A missing or broken resource would only make start-up paint again, so
// this is where it shows: each is kept, loads, and loads as painted.
TEST(StoredArt, EveryPictureIsKeptAsPainted) {
  const std::vector<StoredArt> art = storedArt();
  // Seven icon sizes and the installed PNG, the splash at ratios 1 and 2,
  // the background, title bar, title icon (2), toggles (2), frames (2),
  // grip, and twenty buttons.
  ASSERT_EQ(art.size(), 39u);
  for (const StoredArt& picture : art) {
    const std::string name = picture.file.toStdString();
    ASSERT_TRUE(QFile::exists(storedArtPath(picture.file))) << name;
    const QImage paintedNow = picture.paint();
    const QImage stored = storedPicture(picture.file, paintedNow.devicePixelRatio());
    ASSERT_FALSE(stored.isNull()) << name;
    EXPECT_TRUE(samePixels(stored, paintedNow)) << name;
  }
  EXPECT_TRUE(storedPicture(QStringLiteral("no-such.pixels"), 1).isNull());
}

TEST(StoredArt, SplashIsThePaintedOneAtEveryRatio) {
  EXPECT_TRUE(samePixels(splashPicture(1), painted("splash-dpr1.pixels")));
  EXPECT_TRUE(samePixels(splashPicture(2), painted("splash-dpr2.png")));
  // Nothing kept for 1.5: painted, at that ratio.
  const QImage between = splashPicture(1.5);
  EXPECT_EQ(between.size(), QSize(626, 390));
  EXPECT_EQ(between.devicePixelRatio(), 1.5);
  EXPECT_EQ(between.format(), QImage::Format_ARGB32_Premultiplied);
}

// The chrome's functions hand out the kept pictures for the arguments they
// were kept for, and paint the rest.
TEST(StoredArt, ChromeIsThePaintedOne) {
  EXPECT_TRUE(samePixels(backgroundTile(1), painted("background.pixels")));
  EXPECT_TRUE(samePixels(titleTile(1), painted("title.pixels")));
  EXPECT_TRUE(samePixels(titleIcon(true, 1), painted("title-icon-hover.pixels")));
  EXPECT_TRUE(samePixels(titleIcon(false, 1), painted("title-icon.pixels")));
  EXPECT_TRUE(samePixels(togglePicture(true, 1), painted("toggle-on.pixels")));
  EXPECT_TRUE(samePixels(togglePicture(false, 1), painted("toggle-off.pixels")));
  EXPECT_TRUE(samePixels(fieldFrame({429, 26}, 1), painted("frame-429x26.pixels")));
  EXPECT_TRUE(samePixels(resizeGrip(1), painted("grip.pixels")));
  int buttons = 0;
  for (const StoredArt& art : storedArt()) {
    if (!art.file.startsWith(QStringLiteral("button-"))) continue;
    ++buttons;
    const QImage paintedNow = art.paint();
    const QStringList parts = art.file.chopped(7).split(QLatin1Char('-'));  // no ".pixels"
    ASSERT_EQ(parts.size(), 4) << art.file.toStdString();
    const QStringList size = parts[3].split(QLatin1Char('x'));
    const QImage got = roundButton(static_cast<Glyph>(parts[1].toInt()),
                                   static_cast<ButtonState>(parts[2].toInt()),
                                   QSize(size[0].toInt(), size[1].toInt()), 1);
    EXPECT_TRUE(samePixels(got, paintedNow)) << art.file.toStdString();
  }
  EXPECT_EQ(buttons, 20);
  // Not kept: hover, another size, another ratio.
  EXPECT_EQ(roundButton(Glyph::kDraw, ButtonState::kHover, {50, 50}, 1).size(), QSize(50, 50));
  EXPECT_EQ(fieldFrame({100, 26}, 1).size(), QSize(100, 26));
  EXPECT_EQ(backgroundTile(2).size(), QSize(200, 200));
}

TEST(StoredArt, IconsAreThePaintedOnesAtEverySize) {
  const QIcon icon = applicationIconSet();
  const QList<QSize> sizes = icon.availableSizes();
  ASSERT_EQ(sizes.size(), 7);
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString name = QStringLiteral("icon-%1.pixels").arg(size);
    EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    // At ratio 1: the test screens include one of ratio 2.
    const QImage fromIcon = icon.pixmap(QSize(size, size), 1.0)
                                .toImage()
                                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(samePixels(fromIcon, painted(name))) << size;
    EXPECT_TRUE(samePixels(applicationIcon(size), painted(name))) << size;
  }
  // Sizes between the kept ones are painted.
  EXPECT_EQ(applicationIcon(20).size(), QSize(20, 20));
  EXPECT_EQ(applicationIcon(20).pixelColor(0, 0).alpha(), 0);  // the rounded corner
}

// The desktop registration installs these bytes: the encoding that the
// program made of the painted icon before, byte for byte.
TEST(StoredArt, RegistrationIconIsThePaintedIconsPng) {
  const QByteArray bytes = applicationIconPng();
  EXPECT_EQ(bytes, png(painted("icon-256.png")));
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(bytes, "PNG"));
  EXPECT_EQ(decoded.size(), QSize(256, 256));
}

}  // namespace
}  // namespace kurvana::ui
