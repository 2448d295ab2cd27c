// clang-format off
// Contact sheet of the chrome's pictures: every picture in every state at
// scale 1 and 2, plus mock-ups of the title bar and a control panel, written
// to one PNG for a person to look at. Not part of the build; from the
// repository root:
//
//   g++ -std=c++20 -O2 -fPIC -Wall -Wextra -Wpedantic -Isrc tools/artwork_sheet.cpp src/ui/chrome_art.cpp $(pkg-config --cflags --libs Qt6Widgets) -o /tmp/artwork_sheet
//
// Run: /tmp/artwork_sheet [output.png]   (default /tmp/artwork_sheet.png)
// clang-format on
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QtGlobal>
#include <array>
#include <cstdio>
#include <utility>

#include "ui/chrome_art.h"

namespace {

using kurvana::ui::ButtonState;
using kurvana::ui::Glyph;

constexpr int kSheetWidth = 1330;
constexpr int kMargin = 20;

constexpr std::array<std::pair<Glyph, const char*>, 14> kGlyphs = {{
    {Glyph::kDraw, "Draw"},
    {Glyph::kClear, "Clear"},
    {Glyph::kSavePicture, "Save picture"},
    {Glyph::kHistory, "History"},
    {Glyph::kZoomIn, "Zoom in"},
    {Glyph::kZoomOut, "Zoom out"},
    {Glyph::kWebPage, "Web page"},
    {Glyph::kSettings, "Settings"},
    {Glyph::kOk, "OK"},
    {Glyph::kCancel, "Cancel"},
    {Glyph::kMinimise, "Minimise"},
    {Glyph::kMaximise, "Maximise"},
    {Glyph::kRestore, "Restore"},
    {Glyph::kClose, "Close"},
}};

constexpr std::array<ButtonState, 4> kStates = {ButtonState::kNormal, ButtonState::kHover,
                                                ButtonState::kPressed, ButtonState::kDisabled};

QFont labelFont(int pixels, bool bold = false) {
  QFont font;
  font.setFamilies({"DejaVu Sans"});
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Draws a picture pixel for pixel, whatever its ratio.
void blit(QPainter& painter, int x, int y, QImage image) {
  image.setDevicePixelRatio(1);
  painter.drawImage(x, y, image);
}

void label(QPainter& painter, int x, int y, const QString& text, bool heading = false) {
  painter.setFont(labelFont(heading ? 17 : 12, heading));
  painter.setPen(heading ? QColor(240, 240, 244) : QColor(190, 196, 206));
  painter.drawText(x, y, text);
}

void tile(QPainter& painter, const QRectF& area, const QImage& picture) {
  for (qreal y = area.top(); y < area.bottom(); y += picture.deviceIndependentSize().height()) {
    for (qreal x = area.left(); x < area.right(); x += picture.deviceIndependentSize().width()) {
      painter.drawImage(QPointF(x, y), picture);
    }
  }
}

// A title bar as the window will show it: icon, title, file name, caption buttons.
QImage titleBarMock(int width, qreal dpr) {
  QImage bar(qRound(width * dpr), qRound(32 * dpr), QImage::Format_ARGB32_Premultiplied);
  bar.setDevicePixelRatio(dpr);
  bar.fill(Qt::black);
  QPainter painter(&bar);
  painter.setClipRect(QRectF(0, 0, width, 32));
  tile(painter, QRectF(0, 0, width, 32), kurvana::ui::titleTile(dpr));
  painter.drawImage(QPointF(0, 0), kurvana::ui::titleIcon(false, dpr));
  painter.drawImage(QPointF(34, 0), kurvana::ui::titleIcon(true, dpr));
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(labelFont(13, true));
  painter.setPen(QColor(232, 233, 236));
  painter.drawText(QPointF(72, 21), "Kurvana");
  painter.setFont(labelFont(13));
  painter.setPen(QColor(24, 27, 31));
  painter.drawText(QRectF(0, 0, width, 32), Qt::AlignCenter, "damped_oscillation.kfn");
  const QSize caption(32, 24);
  const Glyph glyphs[] = {Glyph::kMinimise, Glyph::kMaximise, Glyph::kRestore, Glyph::kClose};
  const ButtonState states[] = {ButtonState::kNormal, ButtonState::kHover, ButtonState::kNormal,
                                ButtonState::kHover};
  for (int i = 0; i < 4; ++i) {
    painter.drawImage(QPointF(width - 4 - 34 * (4 - i), 4),
                      kurvana::ui::roundButton(glyphs[i], states[i], caption, dpr));
  }
  return bar;
}

// A strip of the main window: command buttons, input fields in their frames,
// toggles and the resize grip on the slate background.
QImage panelMock(qreal dpr) {
  const int width = 560;
  const int height = 170;
  QImage panel(qRound(width * dpr), qRound(height * dpr), QImage::Format_ARGB32_Premultiplied);
  panel.setDevicePixelRatio(dpr);
  QPainter painter(&panel);
  tile(painter, QRectF(0, 0, width, height), kurvana::ui::backgroundTile(dpr));
  const Glyph commands[] = {Glyph::kDraw,   Glyph::kClear,   Glyph::kSavePicture, Glyph::kHistory,
                            Glyph::kZoomIn, Glyph::kZoomOut, Glyph::kWebPage,     Glyph::kSettings};
  for (int i = 0; i < 8; ++i) {
    const ButtonState state = i == 1   ? ButtonState::kHover
                              : i == 2 ? ButtonState::kPressed
                              : i == 7 ? ButtonState::kDisabled
                                       : ButtonState::kNormal;
    painter.drawImage(QPointF(12 + 58 * i, 10),
                      kurvana::ui::roundButton(commands[i], state, QSize(50, 50), dpr));
  }
  painter.setRenderHint(QPainter::TextAntialiasing);
  const QColor field(232, 233, 236);
  painter.drawImage(QPointF(12, 72), kurvana::ui::fieldFrame(QSize(429, 26), dpr));
  painter.fillRect(QRectF(14, 74, 425, 22), field);
  painter.setFont(labelFont(14));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(18, 74, 420, 22), Qt::AlignVCenter, "sin(3*x) * exp(-x/4)");
  for (int i = 0; i < 2; ++i) {
    const qreal x = 12 + 104 * i;
    painter.drawImage(QPointF(x, 108), kurvana::ui::fieldFrame(QSize(96, 26), dpr));
    painter.fillRect(QRectF(x + 2, 110, 92, 22), field);
    painter.drawText(QRectF(x + 6, 110, 86, 22), Qt::AlignVCenter, i == 0 ? "-10" : "10");
  }
  painter.setFont(labelFont(13));
  for (int i = 0; i < 2; ++i) {
    const qreal x = 232 + 110 * i;
    painter.drawImage(QPointF(x, 108), kurvana::ui::togglePicture(i == 0, dpr));
    painter.setPen(QColor(222, 224, 228));
    painter.drawText(QPointF(x + 31, 126), i == 0 ? "Grid" : "Auto scale");
  }
  painter.drawImage(QPointF(width - 14, height - 13), kurvana::ui::resizeGrip(dpr));
  painter.drawImage(QPointF(470, 74),
                    kurvana::ui::roundButton(Glyph::kOk, ButtonState::kNormal, QSize(50, 50), dpr));
  return panel;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : "/tmp/artwork_sheet.png";

  QImage sheet(kSheetWidth, 4200, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.fillRect(sheet.rect(), QColor(58, 60, 64));
  int y = kMargin;

  // Tiles: several copies side by side, so any seam would show.
  label(painter, kMargin, y + 14, "Background tile x6 (scale 1), x3 (scale 2); title tile", true);
  y += 26;
  for (int i = 0; i < 6; ++i)
    blit(painter, kMargin + 100 * (i % 3), y + 100 * (i / 3), kurvana::ui::backgroundTile(1));
  for (int i = 0; i < 3; ++i) blit(painter, 340 + 200 * i, y, kurvana::ui::backgroundTile(2));
  y += 210;
  for (int i = 0; i < 7; ++i) blit(painter, kMargin + 100 * i, y, kurvana::ui::titleTile(1));
  for (int i = 0; i < 3; ++i) blit(painter, 740 + 200 * i, y, kurvana::ui::titleTile(2));
  y += 74;

  label(painter, kMargin, y + 14, "Title bar mock-up (scale 1, scale 2)", true);
  y += 24;
  blit(painter, kMargin, y, titleBarMock(640, 1));
  y += 40;
  blit(painter, kMargin, y, titleBarMock(640, 2));
  y += 74;

  label(painter, kMargin, y + 14, "Panel mock-up (scale 1, scale 2)", true);
  y += 24;
  blit(painter, kMargin, y, panelMock(1));
  y += 180;
  blit(painter, kMargin, y, panelMock(2));
  y += 350;

  // Buttons: every glyph in every state, both sizes, both ratios.
  label(painter, kMargin, y + 14,
        "Buttons: normal, hover, pressed, disabled - 50x50 @1, @2; 32x24 @1, @2", true);
  y += 26;
  for (const auto& [glyph, name] : kGlyphs) {
    label(painter, kMargin, y + 30, name);
    int x = 120;
    for (const ButtonState state : kStates) {
      blit(painter, x, y + 25, kurvana::ui::roundButton(glyph, state, QSize(50, 50), 1));
      x += 58;
    }
    x += 10;
    for (const ButtonState state : kStates) {
      blit(painter, x, y, kurvana::ui::roundButton(glyph, state, QSize(50, 50), 2));
      x += 108;
    }
    x += 10;
    for (const ButtonState state : kStates) {
      blit(painter, x, y + 38, kurvana::ui::roundButton(glyph, state, QSize(32, 24), 1));
      x += 40;
    }
    x += 10;
    for (const ButtonState state : kStates) {
      blit(painter, x, y + 26, kurvana::ui::roundButton(glyph, state, QSize(32, 24), 2));
      x += 70;
    }
    y += 106;
  }
  y += 6;

  label(painter, kMargin, y + 14,
        "Toggles on/off; grip (and x8); warning; title icon normal/hover @1, @2", true);
  y += 26;
  int x = kMargin;
  for (const qreal dpr : {1.0, 2.0}) {
    for (const bool on : {true, false}) {
      blit(painter, x, y, kurvana::ui::togglePicture(on, dpr));
      x += qRound(25 * dpr) + 10;
    }
  }
  for (const qreal dpr : {1.0, 2.0}) {
    blit(painter, x, y, kurvana::ui::resizeGrip(dpr));
    x += qRound(14 * dpr) + 10;
  }
  blit(painter, x, y, kurvana::ui::resizeGrip(1).scaled(14 * 8, 13 * 8));
  x += 14 * 8 + 14;
  for (const qreal dpr : {1.0, 2.0}) {
    blit(painter, x, y, kurvana::ui::warningPicture(dpr));
    x += qRound(64 * dpr) + 12;
  }
  for (const qreal dpr : {1.0, 2.0}) {
    for (const bool hover : {false, true}) {
      blit(painter, x, y, kurvana::ui::titleIcon(hover, dpr));
      x += qRound(32 * dpr) + 10;
    }
  }
  y += 140;

  label(painter, kMargin, y + 14, "Application icon 16, 24, 32, 48, 64, 128, 256", true);
  y += 26;
  x = kMargin;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    blit(painter, x, y, kurvana::ui::applicationIcon(size));
    x += size + 14;
  }
  y += 270;

  label(painter, kMargin, y + 14, "Welcome picture @1 and @2, with the window's version text",
        true);
  y += 26;
  for (const qreal dpr : {1.0, 2.0}) {
    QImage splash = kurvana::ui::splashPicture(dpr);
    {
      QPainter version(&splash);
      version.setRenderHint(QPainter::TextAntialiasing);
      version.setFont(labelFont(15, true));
      version.setPen(QColor(200, 204, 212));
      version.drawText(QRectF(340, 78, 70, 22), Qt::AlignCenter, "V 1.0");
    }
    blit(painter, dpr == 1 ? kMargin : kMargin + 417 + 20, y, splash);
  }
  y += 520 + kMargin;
  painter.end();

  sheet = sheet.copy(0, 0, kSheetWidth, y);
  if (!sheet.save(output)) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(output));
    return 1;
  }
  std::printf("%s: %d x %d\n", qPrintable(output), sheet.width(), sheet.height());
  return 0;
}
