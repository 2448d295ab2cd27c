// The window chrome's pictures (tiles, buttons, toggles, frames, icons), painted in code.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace kurvana::ui {

// Every picture is painted at logical size × dpr physical pixels, in
// Format_ARGB32_Premultiplied, with that device pixel ratio set on the result.
// The same arguments always give the same pixels.

// Tiled window background, 100 x 100; tiles seamlessly in both directions.
QImage backgroundTile(qreal dpr);

// Title bar tile, 100 x 32; tiles seamlessly left to right.
QImage titleTile(qreal dpr);

// The program's icon in the title bar, 32 x 32; `hover` gives the brighter
// picture shown while the pointer is over it.
QImage titleIcon(bool hover, qreal dpr);

// The application icon, `size` x `size` physical pixels (16..256), dpr 1.
QImage applicationIcon(int size);

// The window's icon at 16, 24, 32, 48, 64, 128 and 256 pixels.
QIcon applicationIconSet();

// The 256-pixel icon as PNG, for the desktop registration.
QByteArray applicationIconPng();

enum class Glyph {
  kDraw,
  kClear,
  kSavePicture,
  kHistory,
  kZoomIn,
  kZoomOut,
  kWebPage,
  kSettings,
  kOk,
  kCancel,
  kMinimise,
  kMaximise,
  kRestore,
  kClose,
};

enum class ButtonState { kNormal, kHover, kPressed, kDisabled };

// A round button: a disc when square (command buttons, 50 x 50), a pill when
// wider (caption buttons, 32 x 24). Outside the shape is fully transparent.
QImage roundButton(Glyph glyph, ButtonState state, QSize logicalSize, qreal dpr);

// The toggle indicator, 25 x 25: lit in the accent blue when on, dark when off.
QImage togglePicture(bool on, qreal dpr);

// The colour swatch: the off toggle's socket with its lamp, the disc within
// the bezel, in `color` (opaque, so that the colour reads as it is drawn).
QImage swatchPicture(const QColor& color, qreal dpr);

// The bevelled frame behind a light input field (96 x 26 or 429 x 26): an
// opaque 2-pixel rim around a transparent inside where the field sits.
QImage fieldFrame(QSize logicalSize, qreal dpr);

// The resize grip for the lower right corner, 14 x 13.
QImage resizeGrip(qreal dpr);

// The welcome picture, 417 x 260. The window writes its version at about
// x 340..410, y 78..100, so that area is left quiet.
QImage splashPicture(qreal dpr);

// The pictures start-up shows are also painted by the build (write_icons
// --stored) and kept in the program as resources, which load in a fraction
// of the time painting takes. Where one is kept for the arguments asked, the
// functions above load it instead of painting: the same pixels
// (tests/ui/stored_art_test.cpp), painted only where nothing is kept (other
// ratios, other sizes, programs built without them).
struct StoredArt {
  QString file;                   // <name>.pixels (the pixels as painted) or <name>.png
  std::function<QImage()> paint;  // paints it, never looking for a stored one
};
std::vector<StoredArt> storedArt();

// The bytes the build keeps for a picture.
QByteArray storedArtBytes(const StoredArt& art);

// Where a stored picture is kept: ":/kurvana/art/<file>".
QString storedArtPath(const QString& file);

// The stored picture `file` as painting gives it: premultiplied, with `dpr`
// set; null when the program keeps none of that name or it holds none.
QImage storedPicture(const QString& file, qreal dpr);

// The message window's warning sign, 64 x 64.
QImage warningPicture(qreal dpr);

}  // namespace kurvana::ui
