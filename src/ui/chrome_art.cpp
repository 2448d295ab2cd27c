#include "ui/chrome_art.h"

#include <QBuffer>
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QRadialGradient>
#include <QResource>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kurvana::ui {
namespace {

// The plot's default curve colour; the chrome's accents follow it.
constexpr QColor kAccent(96, 96, 255);
constexpr QColor kAccentLight(150, 150, 255);
constexpr QColor kGlyph(228, 231, 236);
constexpr QColor kSlate(40, 44, 50);

constexpr QSize kBackgroundSize(100, 100);
constexpr QSize kTitleSize(100, 32);
constexpr QSize kTitleIconSize(32, 32);
// The lamp of a toggle, inside its socket's bezel.
constexpr QRectF kToggleLamp(4, 4, 17, 17);
constexpr QSize kToggleSize(25, 25);
constexpr QSize kGripSize(14, 13);
constexpr QSize kSplashSize(417, 260);
constexpr QSize kWarningSize(64, 64);
constexpr int kFieldRim = 2;

qreal validRatio(qreal dpr) {
  return dpr > 0 ? dpr : 1.0;
}

QImage blankImage(QSize logical, qreal dpr) {
  QImage image(qRound(logical.width() * dpr), qRound(logical.height() * dpr),
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(dpr);
  return image;
}

// A painter in logical coordinates: QPainter applies the image's ratio itself.
void prepare(QPainter& painter) {
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                         QPainter::TextAntialiasing);
}

QFont pictureFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({"DejaVu Sans", "Liberation Sans", "Noto Sans", "Sans Serif"});
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  // Unhinted outlines scale with the ratio, so scale 2 is scale 1 made finer.
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QColor mix(const QColor& a, const QColor& b, qreal t) {
  return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                          float(a.greenF() + (b.greenF() - a.greenF()) * t),
                          float(a.blueF() + (b.blueF() - a.blueF()) * t),
                          float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor withAlpha(QColor colour, int alpha) {
  colour.setAlpha(alpha);
  return colour;
}

QPen roundPen(const QColor& colour, qreal width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// --- Texture: hashed lattice values, wrapped so the tiles repeat seamlessly.

double latticeValue(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u ^
                    static_cast<std::uint32_t>(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 15;
  h *= 0x2c1b3c6du;
  h ^= h >> 12;
  h *= 0x297a2d39u;
  h ^= h >> 15;
  return (h & 0xFFFFFFu) / double(0xFFFFFF) * 2.0 - 1.0;  // -1..1
}

double smooth(double t) {
  return t * t * (3.0 - 2.0 * t);
}

// Value noise over a torus of `cellsX` x `cellsY` cells; u, v in cells.
double periodicNoise(double u, double v, int cellsX, int cellsY, std::uint32_t seed) {
  const int x0 = static_cast<int>(std::floor(u));
  const int y0 = static_cast<int>(std::floor(v));
  const double fx = smooth(u - x0);
  const double fy = smooth(v - y0);
  auto at = [&](int x, int y) {
    return latticeValue(((x % cellsX) + cellsX) % cellsX, ((y % cellsY) + cellsY) % cellsY, seed);
  };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * fx;
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * fx;
  return top + (bottom - top) * fy;
}

int clampChannel(double value) {
  return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

// --- The plot motif shared by the title icon and the application icon.

// A dark plotting tile with axes and a blue curve, in a 32-unit design space
// mapped onto `target`. `pixelsPerUnit` thickens lines at small sizes so the
// curve still reads at 16 pixels.
void paintPlotMotif(QPainter& painter, const QRectF& target, qreal pixelsPerUnit, bool bright) {
  painter.save();
  painter.translate(target.topLeft());
  painter.scale(target.width() / 32.0, target.height() / 32.0);
  // Line widths grow slower than the icon, so 16 pixels stay legible and
  // 256 pixels do not turn into a poster.
  const auto unitsFor = [pixelsPerUnit](qreal pixels) { return pixels / pixelsPerUnit; };
  const qreal growth = std::pow(pixelsPerUnit, 0.75);
  const qreal minLine = unitsFor(1.0);

  const QRectF tile(0.5, 0.5, 31, 31);
  QLinearGradient face(0, 0, 0, 32);
  face.setColorAt(0, bright ? QColor(84, 94, 114) : QColor(48, 54, 64));
  face.setColorAt(0.55, bright ? QColor(36, 40, 52) : QColor(18, 20, 25));
  face.setColorAt(1, QColor(6, 7, 9));
  painter.setPen(Qt::NoPen);
  painter.setBrush(bright ? QColor(176, 178, 255) : QColor(150, 160, 176));
  painter.drawRoundedRect(tile, 6.5, 6.5);
  painter.setBrush(face);
  const qreal rim = unitsFor(std::max(1.0, std::pow(pixelsPerUnit, 0.6)));
  painter.drawRoundedRect(tile.adjusted(rim, rim, -rim, -rim), 6.5 - rim, 6.5 - rim);

  if (pixelsPerUnit >= 1.5) {
    // Large sizes have room for the plot's faint grid.
    painter.setPen(QPen(QColor(80, 84, 92, 150), minLine));
    for (int i = 1; i < 4; ++i) {
      painter.drawLine(QPointF(4 + 6 * i + 3, 4), QPointF(4 + 6 * i + 3, 28));
      painter.drawLine(QPointF(4, 20 - 6 * i + 6), QPointF(28, 20 - 6 * i + 6));
    }
  }

  const qreal axisWidth = unitsFor(std::max(1.0, 1.2 * std::pow(pixelsPerUnit, 0.7)));
  painter.setPen(QPen(bright ? QColor(226, 229, 234) : QColor(186, 190, 198), axisWidth,
                      Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(5, 21), QPointF(27.5, 21));
  painter.drawLine(QPointF(9, 27), QPointF(9, 4.5));

  QPainterPath curve;
  curve.moveTo(4.5, 24.5);
  curve.cubicTo(8.5, 24.5, 10, 7, 14.5, 7);
  curve.cubicTo(19, 7, 19.5, 24, 23.5, 24);
  curve.cubicTo(25.5, 24, 26.5, 17, 27.2, 14);
  const qreal curveWidth = unitsFor(std::max(1.7, 2.4 * growth));
  painter.setBrush(Qt::NoBrush);
  if (pixelsPerUnit >= 1.0) {
    // The glow would swallow the axes of the smallest icons.
    painter.setPen(roundPen(withAlpha(kAccent, bright ? 110 : 70), curveWidth * 2.2));
    painter.drawPath(curve);
  }
  painter.setPen(roundPen(bright ? kAccentLight : QColor(110, 110, 255), curveWidth));
  painter.drawPath(curve);
  painter.setPen(roundPen(bright ? QColor(220, 220, 255, 200) : QColor(190, 190, 255, 120),
                          curveWidth * 0.35));
  painter.drawPath(curve);
  painter.restore();
}

// --- Buttons.

// A vertical gradient's two ends.
struct Ramp {
  QColor top;
  QColor bottom;
};

struct ButtonLook {
  Ramp rim;
  Ramp face;
  QColor glyph;
  QColor accent;
  int shine;  // alpha of the reflection across the upper half
};

ButtonLook buttonLook(ButtonState state, bool danger) {
  const Ramp dangerRim = {QColor(246, 160, 150), QColor(96, 20, 18)};
  // Hover lights the rim in the accent blue, or the whole face red for closing.
  switch (state) {
    case ButtonState::kHover:
      if (danger) {
        return {dangerRim, {QColor(226, 72, 64), QColor(150, 30, 28)}, Qt::white, Qt::white, 70};
      }
      return {{QColor(150, 154, 255), QColor(40, 44, 96)},
              {QColor(92, 100, 116), QColor(38, 42, 50)},
              Qt::white,
              kAccentLight,
              60};
    case ButtonState::kPressed:
      // Sunk in: the rim catches light at the bottom instead of the top.
      if (danger) {
        return {{QColor(70, 14, 12), QColor(200, 110, 100)},
                {QColor(110, 20, 18), QColor(176, 48, 44)},
                QColor(236, 220, 220),
                QColor(236, 220, 220),
                0};
      }
      return {{QColor(16, 18, 21), QColor(120, 128, 142)},
              {QColor(18, 20, 24), QColor(50, 55, 64)},
              QColor(200, 204, 212),
              kAccent,
              0};
    case ButtonState::kDisabled:
      return {{QColor(92, 93, 95), QColor(36, 37, 38)},
              {QColor(58, 59, 61), QColor(36, 37, 39)},
              QColor(170, 171, 173),
              QColor(150, 151, 153),
              18};
    case ButtonState::kNormal:
      break;
  }
  return {{QColor(156, 164, 178), QColor(30, 33, 38)},
          {QColor(72, 79, 91), QColor(24, 27, 32)},
          kGlyph,
          QColor(128, 128, 255),
          45};
}

// The glyph painters draw in a 24-unit box from the painter's origin and start
// with the pen at `line` and no brush. `pen` is the stroke width in units;
// `accent` is used where a glyph carries the curve colour.
struct GlyphInk {
  qreal pen;
  QColor ink;
  QColor accent;
  QPen line;  // the glyph's stroke
  QPen fine;  // thinner detail
};

// A wave with a pencil at its end, in the curve colour.
void paintDrawGlyph(QPainter& painter, const GlyphInk& g) {
  QPainterPath wave;
  wave.moveTo(2.5, 14.5);
  wave.cubicTo(4.5, 7.0, 7.8, 7.0, 9.0, 13.5);
  wave.cubicTo(10.0, 19.0, 12.5, 19.5, 14.0, 16.0);
  painter.setPen(roundPen(g.accent, g.pen * 1.1));
  painter.drawPath(wave);
  // A pencil resting at the wave's end, pointing down-left.
  painter.save();
  painter.translate(14.2, 15.8);
  painter.rotate(-45);
  QPainterPath pencil;
  pencil.moveTo(0, 0);
  pencil.lineTo(4.2, -2.6);
  pencil.lineTo(13.5, -2.6);
  pencil.lineTo(13.5, 2.6);
  pencil.lineTo(4.2, 2.6);
  pencil.closeSubpath();
  painter.setPen(g.fine);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(pencil);
  painter.setPen(Qt::NoPen);
  painter.setBrush(g.ink);
  painter.drawRect(QRectF(4.2, -2.6, 6.8, 5.2));
  painter.drawPolygon(QPolygonF({QPointF(0, 0), QPointF(1.8, -1.1), QPointF(1.8, 1.1)}));
  painter.restore();
}

// An eraser tilted over the line it has swept clean.
void paintClearGlyph(QPainter& painter, const GlyphInk& g) {
  painter.save();
  painter.translate(4.5, 15.5);
  painter.rotate(-40);
  const QRectF body(0, -3.6, 15, 7.2);
  painter.setPen(g.fine);
  painter.drawRoundedRect(body, 1.6, 1.6);
  painter.setPen(Qt::NoPen);
  painter.setBrush(g.ink);
  QPainterPath tip;
  tip.addRoundedRect(body, 1.6, 1.6);
  QPainterPath left;
  left.addRect(QRectF(-1, -4, 6.5, 8));
  painter.drawPath(tip.intersected(left));
  painter.restore();
  painter.setPen(g.line);
  painter.drawLine(QPointF(10.5, 20.5), QPointF(21, 20.5));
  painter.setPen(g.fine);
  painter.drawLine(QPointF(2.5, 20.5), QPointF(4.0, 20.5));
  painter.drawLine(QPointF(6.5, 20.5), QPointF(7.5, 20.5));
}

// An arrow in the curve colour down into a tray.
void paintSavePictureGlyph(QPainter& painter, const GlyphInk& g) {
  QPainterPath tray;
  tray.moveTo(3.5, 14);
  tray.lineTo(3.5, 20);
  tray.lineTo(20.5, 20);
  tray.lineTo(20.5, 14);
  painter.drawPath(tray);
  painter.setPen(roundPen(g.accent, g.pen));
  painter.drawLine(QPointF(12, 3), QPointF(12, 15));
  painter.drawPolyline(QPolygonF({QPointF(7.5, 10.5), QPointF(12, 15), QPointF(16.5, 10.5)}));
}

// A clock face whose rim turns back into an arrow head.
void paintHistoryGlyph(QPainter& painter, const GlyphInk& g) {
  const QPointF centre(12.5, 12);
  const qreal radius = 8.5;
  const QRectF face(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  // Counter-clockwise from the lower left round to the upper left.
  const qreal start = 215;
  const qreal end = 150;
  QPainterPath arc;
  arc.arcMoveTo(face, start);
  arc.arcTo(face, start, 360 - (start - end));
  painter.drawPath(arc);
  const qreal a = qDegreesToRadians(end);
  const QPointF tip = centre + QPointF(radius * std::cos(a), -radius * std::sin(a));
  const QPointF along(-std::sin(a), -std::cos(a));  // the arc's direction at its end
  const QPointF across(along.y(), -along.x());
  painter.setPen(Qt::NoPen);
  painter.setBrush(g.ink);
  painter.drawPolygon(QPolygonF(
      {tip + along * 3.4, tip - along * 0.8 + across * 3.0, tip - along * 0.8 - across * 3.0}));
  painter.setPen(g.line);
  painter.drawLine(centre, centre + QPointF(0, -5));
  painter.drawLine(centre, centre + QPointF(3.2, 2.2));
}

// A magnifier with a minus, or a plus when `plus`.
void paintZoomGlyph(QPainter& painter, const GlyphInk& g, bool plus) {
  const QPointF lens(10.5, 10.5);
  painter.drawEllipse(lens, 7, 7);
  painter.setPen(roundPen(g.ink, g.pen * 1.6));
  painter.drawLine(QPointF(15.8, 15.8), QPointF(20.5, 20.5));
  painter.setPen(g.line);
  painter.drawLine(lens + QPointF(-3.5, 0), lens + QPointF(3.5, 0));
  if (plus) {
    painter.drawLine(lens + QPointF(0, -3.5), lens + QPointF(0, 3.5));
  }
}

// A globe: meridians and parallels in a ring.
void paintWebPageGlyph(QPainter& painter, const GlyphInk& g) {
  const QPointF centre(12, 12);
  const qreal radius = 9;
  painter.setPen(g.fine);
  painter.drawEllipse(centre, 4.2, radius);
  painter.drawLine(centre + QPointF(0, -radius), centre + QPointF(0, radius));
  painter.drawLine(centre + QPointF(-radius, 0), centre + QPointF(radius, 0));
  for (const qreal dy : {-4.6, 4.6}) {
    const qreal half = std::sqrt(radius * radius - dy * dy);
    painter.drawLine(centre + QPointF(-half, dy), centre + QPointF(half, dy));
  }
  painter.setPen(g.line);
  painter.drawEllipse(centre, radius, radius);
}

// A filled gear wheel with a hole.
void paintSettingsGlyph(QPainter& painter, const GlyphInk& g) {
  const QPointF centre(12, 12);
  constexpr int kTeeth = 8;
  const qreal outer = 9.6;
  const qreal root = 7.0;
  QPainterPath gear;
  for (int i = 0; i < kTeeth; ++i) {
    const qreal mid = 360.0 / kTeeth * i;
    const qreal angles[] = {mid - 14, mid - 8, mid + 8, mid + 14};
    const qreal radii[] = {root, outer, outer, root};
    for (int k = 0; k < 4; ++k) {
      const qreal a = qDegreesToRadians(angles[k]);
      const QPointF p = centre + QPointF(radii[k] * std::cos(a), radii[k] * std::sin(a));
      if (i == 0 && k == 0) {
        gear.moveTo(p);
      } else {
        gear.lineTo(p);
      }
    }
  }
  gear.closeSubpath();
  gear.addEllipse(centre, 3.2, 3.2);
  gear.setFillRule(Qt::OddEvenFill);
  painter.setPen(roundPen(g.ink, g.pen * 0.4));
  painter.setBrush(g.ink);
  painter.drawPath(gear);
}

// A tick.
void paintOkGlyph(QPainter& painter, const GlyphInk& g) {
  painter.setPen(roundPen(g.ink, g.pen * 1.25));
  painter.drawPolyline(QPolygonF({QPointF(5, 12.5), QPointF(10, 17.5), QPointF(19.5, 7)}));
}

// A cross (Cancel and Close).
void paintCrossGlyph(QPainter& painter, const GlyphInk& g) {
  painter.setPen(roundPen(g.ink, g.pen * 1.1));
  painter.drawLine(QPointF(6.5, 6.5), QPointF(17.5, 17.5));
  painter.drawLine(QPointF(17.5, 6.5), QPointF(6.5, 17.5));
}

// A bar at the bottom.
void paintMinimiseGlyph(QPainter& painter, const GlyphInk&) {
  painter.drawLine(QPointF(6.5, 17.5), QPointF(17.5, 17.5));
}

// A square.
void paintMaximiseGlyph(QPainter& painter, const GlyphInk&) {
  painter.drawRect(QRectF(6.5, 6.5, 11, 11));
}

// Two overlapping squares.
void paintRestoreGlyph(QPainter& painter, const GlyphInk&) {
  painter.drawRect(QRectF(5, 9, 10, 10));
  painter.drawPolyline(
      QPolygonF({QPointF(9, 9), QPointF(9, 5), QPointF(19, 5), QPointF(19, 15), QPointF(15, 15)}));
}

// One painter per glyph; every glyph starts from the same painter state.
void paintGlyphShape(QPainter& painter, Glyph glyph, const GlyphInk& ink) {
  switch (glyph) {
    case Glyph::kDraw:
      return paintDrawGlyph(painter, ink);
    case Glyph::kClear:
      return paintClearGlyph(painter, ink);
    case Glyph::kSavePicture:
      return paintSavePictureGlyph(painter, ink);
    case Glyph::kHistory:
      return paintHistoryGlyph(painter, ink);
    case Glyph::kZoomIn:
      return paintZoomGlyph(painter, ink, true);
    case Glyph::kZoomOut:
      return paintZoomGlyph(painter, ink, false);
    case Glyph::kWebPage:
      return paintWebPageGlyph(painter, ink);
    case Glyph::kSettings:
      return paintSettingsGlyph(painter, ink);
    case Glyph::kOk:
      return paintOkGlyph(painter, ink);
    case Glyph::kCancel:
    case Glyph::kClose:
      return paintCrossGlyph(painter, ink);
    case Glyph::kMinimise:
      return paintMinimiseGlyph(painter, ink);
    case Glyph::kMaximise:
      return paintMaximiseGlyph(painter, ink);
    case Glyph::kRestore:
      return paintRestoreGlyph(painter, ink);
  }
}

// A glyph centred on the painter's origin; the painter is left as it was.
void paintGlyph(QPainter& painter, Glyph glyph, qreal pen, const QColor& ink,
                const QColor& accent) {
  painter.save();
  painter.translate(-12, -12);
  const GlyphInk glyphInk{pen, ink, accent, roundPen(ink, pen), roundPen(ink, pen * 0.7)};
  painter.setPen(glyphInk.line);
  painter.setBrush(Qt::NoBrush);
  paintGlyphShape(painter, glyph, glyphInk);
  painter.restore();
}

// The shape of a button: a disc when square, otherwise a pill.
QPainterPath buttonShape(const QRectF& rect) {
  QPainterPath shape;
  const qreal radius = std::min(rect.width(), rect.height()) / 2;
  shape.addRoundedRect(rect, radius, radius);
  return shape;
}

// --- Field frame: per pixel, so the rim is exactly opaque and the inside
// exactly clear at any ratio.

QColor bevelColour(bool lit, double depth) {
  // depth 0 is the outer edge, 1 the edge against the field.
  return lit ? mix(QColor(92, 99, 110), QColor(178, 184, 194), depth)
             : mix(QColor(22, 24, 28), QColor(58, 63, 72), depth);
}

QPainterPath roundedTriangle(const QPointF (&corners)[3], qreal radius) {
  QPainterPath path;
  for (int i = 0; i < 3; ++i) {
    const QPointF prev = corners[(i + 2) % 3];
    const QPointF here = corners[i];
    const QPointF next = corners[(i + 1) % 3];
    const QPointF toPrev = prev - here;
    const QPointF toNext = next - here;
    const qreal lenPrev = std::hypot(toPrev.x(), toPrev.y());
    const qreal lenNext = std::hypot(toNext.x(), toNext.y());
    const QPointF in = here + toPrev * (radius / lenPrev);
    const QPointF out = here + toNext * (radius / lenNext);
    if (i == 0) {
      path.moveTo(in);
    } else {
      path.lineTo(in);
    }
    path.quadTo(here, out);
  }
  path.closeSubpath();
  return path;
}

}  // namespace

namespace {

QImage paintBackgroundTile(qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kBackgroundSize, dpr);
  const int width = image.width();
  const int height = image.height();
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double v = (y + 0.5) / height;  // 0..1 over the tile
    for (int x = 0; x < width; ++x) {
      const double u = (x + 0.5) / width;
      // Broad mottling, a finer cloud, and slanted strata like split slate.
      const double broad = periodicNoise(u * 4, v * 4, 4, 4, 11);
      const double cloud = periodicNoise(u * 10, v * 10, 10, 10, 23);
      const double strata = periodicNoise(6 * u + 24 * v, 3 * u, 6, 3, 37);
      // Grain per logical pixel so both ratios show the same texture.
      const int gx = static_cast<int>(x / dpr) % kBackgroundSize.width();
      const int gy = static_cast<int>(y / dpr) % kBackgroundSize.height();
      const double grain = latticeValue(gx, gy, 51);
      const double shade = 3.2 * broad + 1.6 * cloud + 1.3 * strata + 1.1 * grain;
      row[x] = qRgb(clampChannel(kSlate.red() + shade * 0.95), clampChannel(kSlate.green() + shade),
                    clampChannel(kSlate.blue() + shade * 1.1));
    }
  }
  return image;
}

}  // namespace

namespace {

QImage paintTitleTile(qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kTitleSize, dpr);
  const int width = image.width();
  const int height = image.height();
  // Dark enough under the text rows for the light title text at 4.5 : 1.
  const QColor top(86, 95, 108);
  const QColor middle(72, 80, 92);
  const QColor bottom(58, 65, 75);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double t = (y + 0.5) / height;
    const QColor base = t < 0.5 ? mix(top, middle, t * 2) : mix(middle, bottom, (t - 0.5) * 2);
    for (int x = 0; x < width; ++x) {
      // Fine brushed streaks running along the bar, wrapped at the tile's width.
      const double u = (x + 0.5) / width;
      const double streak = 1.4 * periodicNoise(u * 25, (y / dpr) * 0.9, 25, 1000, 71) +
                            0.6 * periodicNoise(u * 50, (y / dpr) * 2.0, 50, 1000, 73);
      row[x] = qRgb(clampChannel(base.red() + streak), clampChannel(base.green() + streak),
                    clampChannel(base.blue() + streak * 1.1));
    }
  }
  QPainter painter(&image);
  prepare(painter);
  const qreal w = kTitleSize.width();
  const qreal h = kTitleSize.height();
  painter.fillRect(QRectF(0, 0, w, 1), QColor(196, 204, 216));
  painter.fillRect(QRectF(0, 1, w, 1), QColor(255, 255, 255, 36));
  painter.fillRect(QRectF(0, h - 2, w, 1), QColor(0, 0, 0, 40));
  painter.fillRect(QRectF(0, h - 1, w, 1), QColor(30, 34, 40));
  return image;
}

}  // namespace

namespace {

QImage paintTitleIcon(bool hover, qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kTitleIconSize, dpr);
  QPainter painter(&image);
  prepare(painter);
  const QRectF target(3, 3, 26, 26);
  if (hover) {
    // A soft blue halo lifts the icon off the bar.
    QRadialGradient halo(QPointF(16, 16), 16);
    halo.setColorAt(0.6, withAlpha(kAccentLight, 110));
    halo.setColorAt(1.0, withAlpha(kAccentLight, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(QRectF(0, 0, 32, 32));
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));
    painter.drawRoundedRect(target.translated(0, 1), 5.5, 5.5);
  }
  paintPlotMotif(painter, target, dpr * target.width() / 32.0, hover);
  return image;
}

}  // namespace

namespace {

QImage paintApplicationIcon(int size) {
  size = std::max(size, 1);
  QImage image = blankImage(QSize(size, size), 1.0);
  QPainter painter(&image);
  prepare(painter);
  paintPlotMotif(painter, QRectF(0, 0, size, size), size / 32.0, false);
  return image;
}

}  // namespace

namespace {

QImage paintRoundButton(Glyph glyph, ButtonState state, QSize logicalSize, qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(logicalSize, dpr);
  if (logicalSize.isEmpty()) return image;
  QPainter painter(&image);
  prepare(painter);

  const bool danger = glyph == Glyph::kClose;
  const ButtonLook look = buttonLook(state, danger);
  const QRectF outer(0, 0, logicalSize.width(), logicalSize.height());
  const qreal side = std::min(outer.width(), outer.height());
  const qreal rimWidth = std::clamp(side * 0.045, 1.0, 2.5);
  const bool pressed = state == ButtonState::kPressed;

  // Rim: a polished bevel, lit from above (from below when sunk in).
  QLinearGradient rim(outer.topLeft(), outer.bottomLeft());
  rim.setColorAt(0, look.rim.top);
  rim.setColorAt(1, look.rim.bottom);
  painter.setPen(Qt::NoPen);
  painter.setBrush(rim);
  painter.drawPath(buttonShape(outer));

  // Pressed, the glyph sinks a pixel down and right under the face's shadow.
  const QPointF shift = pressed ? QPointF(1, 1) : QPointF(0, 0);
  const QRectF faceRect = outer.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth);
  QLinearGradient face(faceRect.topLeft(), faceRect.bottomLeft());
  face.setColorAt(0, look.face.top);
  face.setColorAt(1, look.face.bottom);
  painter.setBrush(face);
  painter.drawPath(buttonShape(faceRect));
  painter.setClipPath(buttonShape(faceRect));
  if (pressed) {
    // Sunken: a shadow falling from the upper left edge inward.
    QRadialGradient shade(faceRect.center() + QPointF(side * 0.12, side * 0.14), side * 0.62);
    shade.setColorAt(0.70, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 150));
    painter.setBrush(shade);
    painter.drawRect(outer);
  } else if (look.shine > 0) {
    // A soft reflection of a broad light above: no edge of its own.
    painter.save();
    painter.translate(faceRect.center().x(), faceRect.top() + faceRect.height() * 0.12);
    painter.scale(faceRect.width() * 0.5, faceRect.height() * 0.42);
    QRadialGradient sheen(QPointF(0, 0), 1.0);
    sheen.setColorAt(0, QColor(255, 255, 255, look.shine));
    sheen.setColorAt(0.55, QColor(255, 255, 255, look.shine / 3));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(sheen);
    painter.drawEllipse(QPointF(0, 0), 1.0, 1.0);
    painter.restore();
  }
  painter.setClipping(false);

  // Glyph: a 24-unit design box, half a disc's diameter; caption pills are
  // small, so their glyphs take a larger share.
  const bool pill = outer.width() > outer.height();
  const qreal scale = side * (pill ? 0.62 : 0.5) / 24.0;
  const qreal penPixels = std::max(1.3, 2.0 * scale);
  const qreal pen = penPixels / scale;
  painter.translate(outer.center() + shift);
  painter.scale(scale, scale);
  if (state == ButtonState::kDisabled) painter.setOpacity(0.4);
  if (!pressed) {
    // An engraved shadow under the glyph gives it depth on the polished face.
    painter.save();
    painter.translate(0, 1.0 / scale);
    const QColor shadow(0, 0, 0, 120);
    paintGlyph(painter, glyph, pen, shadow, shadow);
    painter.restore();
  }
  paintGlyph(painter, glyph, pen, look.glyph, look.accent);
  return image;
}

}  // namespace

QImage swatchPicture(const QColor& color, qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = togglePicture(false, dpr);
  QPainter painter(&image);
  prepare(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(color.red(), color.green(), color.blue()));
  painter.drawEllipse(kToggleLamp);
  return image;
}

namespace {

QImage paintTogglePicture(bool on, qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kToggleSize, dpr);
  QPainter painter(&image);
  prepare(painter);
  const QRectF outer(0.5, 0.5, 24, 24);
  painter.setPen(Qt::NoPen);

  // A socket: dark at the top, caught by light at the bottom.
  QLinearGradient socket(outer.topLeft(), outer.bottomLeft());
  socket.setColorAt(0, QColor(18, 20, 24));
  socket.setColorAt(1, QColor(128, 136, 150));
  painter.setBrush(socket);
  painter.drawEllipse(outer);
  painter.setBrush(QColor(14, 16, 19));
  painter.drawEllipse(outer.adjusted(1.5, 1.5, -1.5, -1.5));

  const QRectF lamp = kToggleLamp;
  QRadialGradient glass(lamp.center() + QPointF(-1.5, -2), lamp.width() * 0.62,
                        lamp.center() + QPointF(-1.5, -2.5));
  if (on) {
    glass.setColorAt(0.0, QColor(214, 218, 255));
    glass.setColorAt(0.35, QColor(130, 130, 255));
    glass.setColorAt(0.75, kAccent);
    glass.setColorAt(1.0, QColor(44, 44, 170));
  } else {
    glass.setColorAt(0.0, QColor(78, 84, 96));
    glass.setColorAt(0.6, QColor(40, 44, 52));
    glass.setColorAt(1.0, QColor(22, 24, 29));
  }
  painter.setBrush(glass);
  painter.drawEllipse(lamp);
  if (on) {
    // Light spilling onto the socket's inner edge.
    QRadialGradient spill(lamp.center(), outer.width() / 2);
    spill.setColorAt(0.6, withAlpha(kAccent, 150));
    spill.setColorAt(1.0, withAlpha(kAccent, 0));
    painter.setBrush(spill);
    QPainterPath ring;
    ring.addEllipse(outer.adjusted(1.5, 1.5, -1.5, -1.5));
    ring.addEllipse(lamp);
    painter.drawPath(ring);
  }
  const QRectF glint(lamp.left() + lamp.width() * 0.22, lamp.top() + lamp.height() * 0.1,
                     lamp.width() * 0.42, lamp.height() * 0.3);
  QLinearGradient gloss(glint.topLeft(), glint.bottomLeft());
  gloss.setColorAt(0, QColor(255, 255, 255, on ? 170 : 70));
  gloss.setColorAt(1, QColor(255, 255, 255, 0));
  painter.setBrush(gloss);
  painter.drawEllipse(glint);
  return image;
}

}  // namespace

namespace {

QImage paintFieldFrame(QSize logicalSize, qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(logicalSize, dpr);
  const int width = image.width();
  const int height = image.height();
  const int rim = qRound(kFieldRim * dpr);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int fromLeft = x;
      const int fromTop = y;
      const int fromRight = width - 1 - x;
      const int fromBottom = height - 1 - y;
      const int shadowDepth = std::min(fromLeft, fromTop);
      const int litDepth = std::min(fromRight, fromBottom);
      const int depth = std::min(shadowDepth, litDepth);
      if (depth >= rim) continue;
      const double t = rim > 1 ? double(depth) / (rim - 1) : 1.0;
      // Sunk into the panel: upper and left walls in shade, lower and right lit;
      // where they meet at a corner the two blend along the diagonal.
      QColor colour;
      if (shadowDepth < litDepth) {
        colour = bevelColour(false, t);
      } else if (litDepth < shadowDepth) {
        colour = bevelColour(true, t);
      } else {
        colour = mix(bevelColour(false, t), bevelColour(true, t), 0.5);
      }
      row[x] = colour.rgba();
    }
  }
  return image;
}

}  // namespace

namespace {

QImage paintResizeGrip(qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kGripSize, dpr);
  const int width = image.width();
  const int height = image.height();
  const QRgb lit = qRgb(150, 158, 172);
  const QRgb shade = qRgb(12, 13, 16);
  // Pixel staircases along the diagonal stay crisp where antialiased lines
  // would smear into a checkerboard. Counted from the corner: a shaded step,
  // then the lit step above and left of it, three ridges in all.
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const int step = static_cast<int>(((width - 1 - x) + (height - 1 - y)) / dpr);
      if (step > 11) continue;
      if (step % 4 == 1) row[x] = shade;
      if (step % 4 == 2) row[x] = lit;
    }
  }
  return image;
}

}  // namespace

namespace {

QImage paintSplash(qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kSplashSize, dpr);
  QPainter painter(&image);
  prepare(painter);
  const qreal w = kSplashSize.width();
  const qreal h = kSplashSize.height();

  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0.0, QColor(40, 45, 53));
  sky.setColorAt(0.45, QColor(16, 18, 22));
  sky.setColorAt(1.0, QColor(0, 0, 0));
  painter.fillRect(QRectF(0, 0, w, h), sky);

  // The plot area: the program's own dotted grid, fading in below the title.
  const QRectF plot(16, 132, w - 32, h - 148);
  const qreal axisY = 194;
  const qreal axisX = 40;
  QLinearGradient fade(0, plot.top() - 20, 0, plot.top() + 30);
  fade.setColorAt(0, QColor(72, 72, 72, 0));
  fade.setColorAt(1, QColor(72, 72, 72, 255));
  QPen grid(QBrush(fade), 1, Qt::DotLine, Qt::FlatCap);
  painter.setPen(grid);
  for (qreal x = axisX + 24; x < plot.right(); x += 24) {
    painter.drawLine(QPointF(x + 0.5, plot.top() - 20), QPointF(x + 0.5, plot.bottom()));
  }
  for (qreal y = axisY - 48; y <= plot.bottom(); y += 24) {
    if (y == axisY) continue;
    painter.drawLine(QPointF(plot.left(), y + 0.5), QPointF(plot.right(), y + 0.5));
  }

  const QColor axis(176, 178, 182);
  painter.setPen(QPen(axis, 1, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(plot.left(), axisY + 0.5), QPointF(plot.right() - 4, axisY + 0.5));
  painter.drawLine(QPointF(axisX + 0.5, plot.bottom()), QPointF(axisX + 0.5, plot.top() + 4));
  painter.setPen(Qt::NoPen);
  painter.setBrush(axis);
  painter.drawPolygon(
      QPolygonF({QPointF(plot.right() + 2, axisY + 0.5), QPointF(plot.right() - 7, axisY - 3.5),
                 QPointF(plot.right() - 7, axisY + 4.5)}));
  painter.drawPolygon(
      QPolygonF({QPointF(axisX + 0.5, plot.top() - 2), QPointF(axisX - 3.5, plot.top() + 7),
                 QPointF(axisX + 4.5, plot.top() + 7)}));

  // A damped sine, glowing a little as on a screen.
  QPainterPath curve;
  for (qreal x = plot.left() + 6; x <= plot.right() - 12; x += 0.5) {
    const qreal t = x - axisX;
    const qreal y = axisY - 50 * std::exp(-0.0075 * std::max(t, 0.0) + 0.002 * std::min(t, 0.0)) *
                                std::sin(0.062 * t + 0.9);
    if (curve.elementCount() == 0) {
      curve.moveTo(x, y);
    } else {
      curve.lineTo(x, y);
    }
  }
  painter.setBrush(Qt::NoBrush);
  painter.setPen(roundPen(withAlpha(kAccent, 34), 9));
  painter.drawPath(curve);
  painter.setPen(roundPen(withAlpha(kAccent, 70), 4.5));
  painter.drawPath(curve);
  painter.setPen(roundPen(kAccent, 2.2));
  painter.drawPath(curve);
  painter.setPen(roundPen(QColor(176, 176, 255, 150), 0.8));
  painter.drawPath(curve);

  // The name, with a soft shadow, then the subtitle and an accent rule.
  const QFont title = pictureFont(60, true);
  const QPointF titleAt(26, 90);
  QPainterPath name;
  name.addText(titleAt, title, QStringLiteral("Kurvana"));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 90));
  painter.drawPath(name.translated(0, 3));
  painter.setBrush(QColor(0, 0, 0, 120));
  painter.drawPath(name.translated(0, 1.5));
  QLinearGradient ink(0, titleAt.y() - 46, 0, titleAt.y());
  ink.setColorAt(0, QColor(250, 251, 253));
  ink.setColorAt(1, QColor(196, 202, 214));
  painter.setBrush(ink);
  painter.drawPath(name);

  QFont subtitle = pictureFont(17, false);
  subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 1.6);
  painter.setFont(subtitle);
  painter.setPen(QColor(156, 164, 180));
  painter.drawText(QPointF(titleAt.x() + 56, 119), QStringLiteral("function plotter"));
  painter.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(titleAt.x() + 3, 113), QPointF(titleAt.x() + 44, 113));

  // A fine frame so the picture sits on any window colour.
  painter.setPen(QPen(QColor(120, 130, 146, 150), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(0.5, 0.5, w - 1, h - 1));
  return image;
}

}  // namespace

QImage warningPicture(qreal dpr) {
  dpr = validRatio(dpr);
  QImage image = blankImage(kWarningSize, dpr);
  QPainter painter(&image);
  prepare(painter);
  const QPointF corners[3] = {QPointF(32, 5), QPointF(61, 56), QPointF(3, 56)};
  const QPainterPath sign = roundedTriangle(corners, 7);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0, 60));
  painter.drawPath(sign.translated(0, 3));
  painter.setBrush(QColor(0, 0, 0, 70));
  painter.drawPath(sign.translated(0, 1.5));

  QLinearGradient amber(0, 5, 0, 56);
  amber.setColorAt(0, QColor(255, 208, 96));
  amber.setColorAt(1, QColor(232, 146, 26));
  painter.setBrush(amber);
  painter.setPen(QPen(QColor(150, 88, 12), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(sign);

  // A glint along the upper edges.
  const QPointF inner[3] = {QPointF(32, 8.5), QPointF(57.5, 54), QPointF(6.5, 54)};
  QLinearGradient glint(0, 8, 0, 40);
  glint.setColorAt(0, QColor(255, 244, 200, 190));
  glint.setColorAt(1, QColor(255, 244, 200, 0));
  painter.setPen(QPen(QBrush(glint), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(roundedTriangle(inner, 5));

  const QColor mark(44, 32, 18);
  painter.setPen(roundPen(mark, 6));
  painter.drawLine(QPointF(32, 22), QPointF(32, 39));
  painter.setPen(Qt::NoPen);
  painter.setBrush(mark);
  painter.drawEllipse(QPointF(32, 48), 3.4, 3.4);
  return image;
}

// --- Pictures stored by the build ---

namespace {

constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// The pixels format: "KVPX", 0x01020304 in the writer's byte order, the
// width and the height, then the premultiplied pixels row by row as they
// lie in memory. A reader of another byte order finds no picture in it.
constexpr char kPixelsMagic[4] = {'K', 'V', 'P', 'X'};
constexpr std::uint32_t kByteOrder = 0x01020304;
constexpr std::size_t kPixelsHeader = 16;
constexpr std::uint32_t kMaxStoredSide = 4096;

// The command buttons as enabled and disabled, the caption buttons.
struct StoredButton {
  Glyph glyph;
  ButtonState state;
  QSize size;
};
constexpr QSize kCommandButton(50, 50);
constexpr QSize kCaptionButton(32, 24);
constexpr StoredButton kStoredButtons[] = {
    {Glyph::kDraw, ButtonState::kNormal, kCommandButton},
    {Glyph::kClear, ButtonState::kNormal, kCommandButton},
    {Glyph::kSavePicture, ButtonState::kNormal, kCommandButton},
    {Glyph::kHistory, ButtonState::kNormal, kCommandButton},
    {Glyph::kZoomIn, ButtonState::kNormal, kCommandButton},
    {Glyph::kZoomOut, ButtonState::kNormal, kCommandButton},
    {Glyph::kWebPage, ButtonState::kNormal, kCommandButton},
    {Glyph::kSettings, ButtonState::kNormal, kCommandButton},
    {Glyph::kDraw, ButtonState::kDisabled, kCommandButton},
    {Glyph::kClear, ButtonState::kDisabled, kCommandButton},
    {Glyph::kSavePicture, ButtonState::kDisabled, kCommandButton},
    {Glyph::kHistory, ButtonState::kDisabled, kCommandButton},
    {Glyph::kZoomIn, ButtonState::kDisabled, kCommandButton},
    {Glyph::kZoomOut, ButtonState::kDisabled, kCommandButton},
    {Glyph::kWebPage, ButtonState::kDisabled, kCommandButton},
    {Glyph::kSettings, ButtonState::kDisabled, kCommandButton},
    {Glyph::kMinimise, ButtonState::kNormal, kCaptionButton},
    {Glyph::kMaximise, ButtonState::kNormal, kCaptionButton},
    {Glyph::kRestore, ButtonState::kNormal, kCaptionButton},
    {Glyph::kClose, ButtonState::kNormal, kCaptionButton},
};
// The two field frames.
constexpr QSize kStoredFrames[] = {{96, 26}, {429, 26}};

QString titleIconFile(bool hover) {
  return hover ? QStringLiteral("title-icon-hover.pixels") : QStringLiteral("title-icon.pixels");
}

QString toggleFile(bool on) {
  return on ? QStringLiteral("toggle-on.pixels") : QStringLiteral("toggle-off.pixels");
}

QString frameFile(QSize size) {
  return QStringLiteral("frame-%1x%2.pixels").arg(size.width()).arg(size.height());
}

// A name for each kept button; empty for the others, which are painted.
QString buttonFile(Glyph glyph, ButtonState state, QSize size) {
  for (const StoredButton& b : kStoredButtons) {
    if (b.glyph == glyph && b.state == state && b.size == size) {
      return QStringLiteral("button-%1-%2-%3x%4.pixels")
          .arg(static_cast<int>(glyph))
          .arg(static_cast<int>(state))
          .arg(size.width())
          .arg(size.height());
    }
  }
  return {};
}

// The picture kept as `file` when asked for ratio 1, else `paint`'s.
template <typename Paint>
QImage storedAtRatioOne(const QString& file, qreal dpr, Paint paint) {
  if (dpr == 1.0 && !file.isEmpty()) {
    QImage stored = storedPicture(file, 1.0);
    if (!stored.isNull()) return stored;
  }
  return paint();
}

QString iconFile(int size, const char* suffix) {
  return QStringLiteral("icon-%1.%2").arg(size).arg(QLatin1String(suffix));
}

QByteArray pixelsOf(const QImage& painted) {
  const QImage image = painted.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
  QByteArray bytes(kPixelsMagic, 4);
  for (const std::uint32_t word : {kByteOrder, static_cast<std::uint32_t>(image.width()),
                                   static_cast<std::uint32_t>(image.height())}) {
    bytes.append(reinterpret_cast<const char*>(&word), sizeof word);
  }
  for (int y = 0; y < image.height(); ++y) {
    bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)),
                 static_cast<qsizetype>(rowBytes));
  }
  return bytes;
}

QImage fromPixels(const QByteArray& bytes) {
  if (static_cast<std::size_t>(bytes.size()) < kPixelsHeader ||
      std::memcmp(bytes.constData(), kPixelsMagic, 4) != 0) {
    return {};
  }
  std::uint32_t words[3];
  std::memcpy(words, bytes.constData() + 4, sizeof words);
  const std::uint32_t width = words[1];
  const std::uint32_t height = words[2];
  if (words[0] != kByteOrder || width == 0 || height == 0 || width > kMaxStoredSide ||
      height > kMaxStoredSide ||
      static_cast<std::size_t>(bytes.size()) != kPixelsHeader + std::size_t{width} * height * 4) {
    return {};
  }
  QImage image(static_cast<int>(width), static_cast<int>(height),
               QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  const std::size_t rowBytes = std::size_t{width} * 4;
  for (std::uint32_t y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(static_cast<int>(y)),
                bytes.constData() + kPixelsHeader + y * rowBytes, rowBytes);
  }
  return image;
}

}  // namespace

QString storedArtPath(const QString& file) {
  return QStringLiteral(":/kurvana/art/") + file;
}

std::vector<StoredArt> storedArt() {
  std::vector<StoredArt> art;
  for (const int size : kIconSizes) {
    art.push_back({iconFile(size, "pixels"), [size] { return paintApplicationIcon(size); }});
  }
  // The desktop registration installs the PNG.
  art.push_back({iconFile(256, "png"), [] { return paintApplicationIcon(256); }});
  // The main window's chrome as it first shows, at ratio 1.
  art.push_back({QStringLiteral("background.pixels"), [] { return paintBackgroundTile(1); }});
  art.push_back({QStringLiteral("title.pixels"), [] { return paintTitleTile(1); }});
  for (const bool hover : {false, true}) {
    art.push_back({titleIconFile(hover), [hover] { return paintTitleIcon(hover, 1); }});
  }
  for (const bool on : {false, true}) {
    art.push_back({toggleFile(on), [on] { return paintTogglePicture(on, 1); }});
  }
  for (const QSize size : kStoredFrames) {
    art.push_back({frameFile(size), [size] { return paintFieldFrame(size, 1); }});
  }
  art.push_back({QStringLiteral("grip.pixels"), [] { return paintResizeGrip(1); }});
  for (const StoredButton& b : kStoredButtons) {
    art.push_back({buttonFile(b.glyph, b.state, b.size),
                   [b] { return paintRoundButton(b.glyph, b.state, b.size, 1); }});
  }
  // Pixels for the usual screen; a PNG at four times the size is a fifth of
  // the bytes and still decodes far faster than it paints.
  art.push_back({QStringLiteral("splash-dpr1.pixels"), [] { return paintSplash(1); }});
  art.push_back({QStringLiteral("splash-dpr2.png"), [] { return paintSplash(2); }});
  return art;
}

QByteArray storedArtBytes(const StoredArt& art) {
  if (!art.file.endsWith(QStringLiteral(".png"))) return pixelsOf(art.paint());
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  art.paint().save(&buffer, "PNG");
  return bytes;
}

QImage storedPicture(const QString& file, qreal dpr) {
  const QResource resource(storedArtPath(file));
  if (!resource.isValid()) return {};
  // Kept uncompressed: this wraps the program's own bytes without copying.
  const QByteArray bytes = resource.uncompressedData();
  QImage image;
  if (file.endsWith(QStringLiteral(".png"))) {
    if (image.loadFromData(bytes, "PNG")) {
      image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
  } else {
    image = fromPixels(bytes);
  }
  if (!image.isNull()) image.setDevicePixelRatio(dpr);
  return image;
}

QImage backgroundTile(qreal dpr) {
  return storedAtRatioOne(QStringLiteral("background.pixels"), dpr,
                          [dpr] { return paintBackgroundTile(dpr); });
}

QImage titleTile(qreal dpr) {
  return storedAtRatioOne(QStringLiteral("title.pixels"), dpr,
                          [dpr] { return paintTitleTile(dpr); });
}

QImage titleIcon(bool hover, qreal dpr) {
  return storedAtRatioOne(titleIconFile(hover), dpr, [=] { return paintTitleIcon(hover, dpr); });
}

QImage togglePicture(bool on, qreal dpr) {
  return storedAtRatioOne(toggleFile(on), dpr, [=] { return paintTogglePicture(on, dpr); });
}

QImage fieldFrame(QSize logicalSize, qreal dpr) {
  const bool kept = std::find(std::begin(kStoredFrames), std::end(kStoredFrames), logicalSize) !=
                    std::end(kStoredFrames);
  return storedAtRatioOne(kept ? frameFile(logicalSize) : QString(), dpr,
                          [=] { return paintFieldFrame(logicalSize, dpr); });
}

QImage resizeGrip(qreal dpr) {
  return storedAtRatioOne(QStringLiteral("grip.pixels"), dpr,
                          [dpr] { return paintResizeGrip(dpr); });
}

QImage roundButton(Glyph glyph, ButtonState state, QSize logicalSize, qreal dpr) {
  return storedAtRatioOne(buttonFile(glyph, state, logicalSize), dpr,
                          [=] { return paintRoundButton(glyph, state, logicalSize, dpr); });
}

QImage applicationIcon(int size) {
  if (std::find(std::begin(kIconSizes), std::end(kIconSizes), size) != std::end(kIconSizes)) {
    QImage stored = storedPicture(iconFile(size, "pixels"), 1.0);
    if (!stored.isNull()) return stored;
  }
  return paintApplicationIcon(size);
}

QIcon applicationIconSet() {
  QIcon icon;
  for (const int size : kIconSizes) icon.addPixmap(QPixmap::fromImage(applicationIcon(size)));
  return icon;
}

QByteArray applicationIconPng() {
  const QResource resource(storedArtPath(iconFile(256, "png")));
  if (resource.isValid()) return resource.uncompressedData();
  return storedArtBytes({iconFile(256, "png"), [] { return paintApplicationIcon(256); }});
}

QImage splashPicture(qreal dpr) {
  const char* const file = dpr == 1.0 ? "splash-dpr1.pixels" : dpr == 2.0 ? "splash-dpr2.png" : "";
  if (*file != '\0') {
    QImage stored = storedPicture(QLatin1String(file), dpr);
    if (!stored.isNull()) return stored;
  }
  return paintSplash(dpr);
}

}  // namespace kurvana::ui
