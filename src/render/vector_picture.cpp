#include "render/vector_picture.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "base/product.h"
#include "render/artwork.h"
#include "render/curves.h"
#include "render/plot_frame.h"
#include "render/plot_painter.h"

namespace kurvana {
namespace {

// The largest page side PDF readers accept, in points (200 inches); plot
// images are far smaller.
constexpr int kMaxPageSide = 14400;

struct Point {
  double x;
  double y;
};

void setColor(cairo_t* cr, Color c) {
  cairo_set_source_rgb(cr, static_cast<double>(c & 0xFFu) / 255,
                       static_cast<double>((c >> 8) & 0xFFu) / 255,
                       static_cast<double>((c >> 16) & 0xFFu) / 255);
}

// The ends of the centre line over the pixels a line `width` pixels wide
// from (x1, y1) to (x2, y2) paints, reaching nothing up and left, end point
// excluded. Pixel (x, y) covers the square from (x, y) to (x + 1, y + 1) on
// the page.
std::pair<Point, Point> lineOverPixels(int x1, int y1, int x2, int y2, int width) {
  const auto d = [](int v) { return static_cast<double>(v); };
  const double across = width / 2.0;
  if (y1 == y2) {
    const double shift = x2 < x1 ? 1 : 0;  // leftwards the pixels run x2 + 1 .. x1
    return {{d(x1) + shift, d(y1) + across}, {d(x2) + shift, d(y1) + across}};
  }
  if (x1 == x2) {
    const double shift = y2 < y1 ? 1 : 0;
    return {{d(x1) + across, d(y1) + shift}, {d(x1) + across, d(y2) + shift}};
  }
  return {{d(x1) + across, d(y1) + across}, {d(x2) + across, d(y2) + across}};
}

// A face of the label font's file: the PDF embeds a subset of it and keeps
// the labels as text; the SVG takes its metrics and family name.
cairo_font_face_t* labelFace(const FontFile& file) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return nullptr;
  FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(file.path.c_str()));
  FcPatternAddInteger(pattern, FC_INDEX, file.index);
  cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(pattern);
  FcPatternDestroy(pattern);
  // cairo opens the file only when a size of the face is made: a file that
  // cannot be loaded would spoil the whole drawing then.
  cairo_matrix_t identity;
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_scaled_font_t* probe = cairo_scaled_font_create(face, &identity, &identity, options);
  const bool loaded = cairo_scaled_font_status(probe) == CAIRO_STATUS_SUCCESS;
  cairo_scaled_font_destroy(probe);
  cairo_font_options_destroy(options);
  if (!loaded || cairo_font_face_status(face) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face);
    return nullptr;
  }
  return face;
}

// Turns the primitives into cairo drawing. Consecutive curve segments that
// meet become one path and neighbouring fill spans one polygon; fills go
// under the lines and dots, as the raster curve paints its lines over them.
// An SVG label: cairo's SVG surface draws glyphs as outlines, so the
// labels are written as text elements of the face's family instead.
struct TextElement {
  int x;
  int baseline;
  std::string text;
  Color color;
};

class CairoPainter final : public PlotPainter {
 public:
  // `textElements` gathers the labels for the SVG's text elements rather
  // than drawing their glyphs.
  // `scale`: device pixels per window pixel, as the raster picture's.
  CairoPainter(cairo_t* cr, cairo_font_face_t* face, int labelPixels, bool textElements,
               double scale)
      : cr_(cr), textElements_(textElements), scale_(scale) {
    if (face != nullptr && labelPixels > 0) {
      cairo_set_font_face(cr_, face);
      cairo_set_font_size(cr_, labelPixels);
      cairo_font_extents_t extents;
      cairo_font_extents(cr_, &extents);
      // The raster cell's top lies the face's ascent, in whole pixels, above the baseline.
      ascent_ = static_cast<int>(std::ceil(extents.ascent));
      hasFont_ = true;
      if (FT_Face ft = cairo_ft_scaled_font_lock_face(cairo_get_scaled_font(cr_))) {
        if (ft->family_name != nullptr) family_ = ft->family_name;
        cairo_ft_scaled_font_unlock_face(cairo_get_scaled_font(cr_));
      }
    }
  }

  const std::vector<TextElement>& texts() const { return texts_; }
  const std::string& family() const { return family_; }

  void frame(const PixelBox& a, int ring, Color color) override {
    if (a.right <= a.left || a.bottom <= a.top) return;
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    // The pen runs along the middle of the ring.
    const double half = ring / 2.0;
    cairo_rectangle(cr_, a.left - half, a.top - half, a.right - a.left + ring,
                    a.bottom - a.top + ring);
    cairo_set_line_width(cr_, ring);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    setColor(cr_, color);
    cairo_stroke(cr_);
  }

  void gridLine(int x1, int y1, int x2, int y2, Color color) override {
    const double dot = px(1);
    const double dots[] = {dot, dot};
    cairo_set_dash(cr_, dots, 2, 0);
    straightLine(x1, y1, x2, y2, color);
    cairo_set_dash(cr_, nullptr, 0, 0);
  }

  void axisLine(int x1, int y1, int x2, int y2, Color color, const PixelBox& /*plotArea*/) override {
    straightLine(x1, y1, x2, y2, color);
  }

  void label(int x, int y, const std::string& text, Color color) override {
    if (!hasFont_) return;
    if (textElements_) {
      texts_.push_back(TextElement{x, y + ascent_, text, color});
      return;
    }
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
    setColor(cr_, color);
    cairo_move_to(cr_, x, y + ascent_);
    cairo_show_text(cr_, text.c_str());
    cairo_new_path(cr_);
  }

  void arrow(ArrowKind kind, int left, int top, int side, bool whiteScheme) override {
    const Artwork& art = artwork();
    const Bitmap& picture = whiteScheme ? art.arrowRightOnWhite : art.arrowRightOnBlack;
    // The triangle's colour, from a pixel well inside it.
    const Color color = picture.pixel(3, 5);
    const double l = left;
    const double t = top;
    const double c = side / 11.0;  // one cell of the 11 x 11 picture
    // Base on the second column (row), tip on the tenth, centred on the sixth.
    if (kind == ArrowKind::kRight) {
      cairo_move_to(cr_, l + c, t + c);
      cairo_line_to(cr_, l + 10 * c, t + 5.5 * c);
      cairo_line_to(cr_, l + c, t + 10 * c);
    } else {
      cairo_move_to(cr_, l + c, t + 10 * c);
      cairo_line_to(cr_, l + 5.5 * c, t + c);
      cairo_line_to(cr_, l + 10 * c, t + 10 * c);
    }
    cairo_close_path(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
    setColor(cr_, color);
    cairo_fill(cr_);
  }

  void dot(int x, int y, int size, Color color) override {
    dots_.push_back(Dot{x, y, size, color});
  }

  void fillSpan(int x, int first, int last, Color color) override {
    if (!fills_.empty()) {
      const Fill& run = fills_.back();
      const Span& before = run.spans.back();
      if (run.color == color && x == before.x + 1 && first <= before.last + 1 &&
          last + 1 >= before.first) {
        fills_.back().spans.push_back(Span{x, first, last});
        return;
      }
    }
    fills_.push_back(Fill{color, {Span{x, first, last}}});
  }

  void segment(int x1, int y1, int x2, int y2, int width, Color color) override {
    // A 2-pixel pen reaches one pixel up and left (at scale 1): it is centred
    // on the pixel's corner.
    const int pen = px(width);
    const double at = pen / 2.0 - px(width / 2);
    addLine(Point{x1 + at, y1 + at}, Point{x2 + at, y2 + at}, pen, false, color);
  }

  void smoothSegment(long double x1, long double y1, long double x2, long double y2, Color color,
                     bool /*dense*/, bool thick) override {
    // The thick line adds a blend half a pixel right and down: the pair is
    // about one and a half pixels wide, a quarter pixel further on.
    const double at = 0.5 + (thick ? 0.25 * scale_ : 0);
    const double width = px(1) + (thick ? 0.5 * scale_ : 0);
    const auto d = [](long double v) { return static_cast<double>(v); };
    addLine(Point{d(x1) + at, d(y1) + at}, Point{d(x2) + at, d(y2) + at}, width, true, color);
  }

  // Paints what is still gathered of a curve: the fills, then the lines and
  // dots; smoothed when the curve was antialiased.
  void finish(bool antialias) {
    cairo_set_antialias(cr_, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    for (const Fill& fill : fills_) {
      const Span& first = fill.spans.front();
      const Span& last = fill.spans.back();
      // Along the tops through the columns' centres, back along the bottoms.
      cairo_move_to(cr_, first.x, first.first);
      for (const Span& s : fill.spans) cairo_line_to(cr_, s.x + 0.5, s.first);
      cairo_line_to(cr_, last.x + 1, last.first);
      cairo_line_to(cr_, last.x + 1, last.last + 1);
      for (auto s = fill.spans.rbegin(); s != fill.spans.rend(); ++s) {
        cairo_line_to(cr_, s->x + 0.5, s->last + 1);
      }
      cairo_line_to(cr_, first.x, first.last + 1);
      cairo_close_path(cr_);
      setColor(cr_, fill.color);
      cairo_fill(cr_);
    }
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    for (const Line& line : lines_) {
      cairo_move_to(cr_, line.points.front().x, line.points.front().y);
      for (std::size_t k = 1; k < line.points.size(); ++k) {
        cairo_line_to(cr_, line.points[k].x, line.points[k].y);
      }
      cairo_set_line_width(cr_, line.width);
      setColor(cr_, line.color);
      cairo_stroke(cr_);
    }
    // One path for each run of dots in one colour.
    for (std::size_t k = 0; k < dots_.size(); ++k) {
      const Dot& dot = dots_[k];
      cairo_rectangle(cr_, dot.x, dot.y, dot.size, dot.size);
      if (k + 1 == dots_.size() || dots_[k + 1].color != dot.color) {
        setColor(cr_, dot.color);
        cairo_fill(cr_);
      }
    }
    fills_.clear();
    lines_.clear();
    dots_.clear();
  }

 private:
  struct Span {
    int x;
    int first;
    int last;
  };
  struct Fill {
    Color color;
    std::vector<Span> spans;
  };
  struct Line {
    Color color;
    double width;
    bool smooth;
    std::vector<Point> points;
  };
  struct Dot {
    int x;
    int y;
    int size;
    Color color;
  };

  void straightLine(int x1, int y1, int x2, int y2, Color color) {
    if (x1 == x2 && y1 == y2) return;
    const int width = px(1);
    const auto [from, to] = lineOverPixels(x1, y1, x2, y2, width);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr_, width);
    cairo_move_to(cr_, from.x, from.y);
    cairo_line_to(cr_, to.x, to.y);
    setColor(cr_, color);
    cairo_stroke(cr_);
  }

  // Extends the last line when this one starts where it ended, in its style.
  void addLine(Point from, Point to, double width, bool smooth, Color color) {
    if (!lines_.empty()) {
      Line& last = lines_.back();
      const Point end = last.points.back();
      if (last.color == color && last.width == width && last.smooth == smooth && end.x == from.x &&
          end.y == from.y) {
        last.points.push_back(to);
        return;
      }
    }
    lines_.push_back(Line{color, width, smooth, {from, to}});
  }

  int px(int n) const { return scaledPixels(n, scale_); }

  cairo_t* cr_;
  bool textElements_;
  double scale_;
  bool hasFont_ = false;
  int ascent_ = 0;
  std::string family_;
  std::vector<TextElement> texts_;
  std::vector<Fill> fills_;
  std::vector<Line> lines_;
  std::vector<Dot> dots_;
};

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::string*>(closure);
  try {
    out->append(reinterpret_cast<const char*>(data), length);
  } catch (...) {
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

// Text as XML character data or attribute value.
std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// The labels as SVG text elements, the face's family first and the generic
// family behind it, at the face's size, in the label colour.
std::string textElements(const std::vector<TextElement>& texts, const std::string& family,
                         int pixels) {
  if (texts.empty()) return {};
  std::string out = "<g font-family=\"";
  if (!family.empty()) out += escaped(family) + ", ";
  out += "sans-serif\" font-size=\"" + std::to_string(pixels) + "\">\n";
  for (const TextElement& t : texts) {
    char fill[8];
    std::snprintf(fill, sizeof fill, "#%02x%02x%02x", t.color & 0xFFu, (t.color >> 8) & 0xFFu,
                  (t.color >> 16) & 0xFFu);
    out += "<text x=\"" + std::to_string(t.x) + "\" y=\"" + std::to_string(t.baseline) +
           "\" fill=\"" + fill + "\">" + escaped(t.text) + "</text>\n";
  }
  return out + "</g>\n";
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FaceDeleter {
  void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};

}  // namespace

std::optional<std::string> vectorPicture(const VectorPictureInput& input, VectorFormat format) {
  const PlotState& s = input.frame;
  const int width = input.imageSize.width;
  const int height = input.imageSize.height;
  if (width <= 2 * kMargin + 1 || height <= 2 * kMargin + 1 || width > kMaxPageSide ||
      height > kMaxPageSide) {
    return std::nullopt;
  }
  std::string bytes;
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      format == VectorFormat::kSvg
          ? cairo_svg_surface_create_for_stream(appendBytes, &bytes, width, height)
          : cairo_pdf_surface_create_for_stream(appendBytes, &bytes, width, height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  if (format == VectorFormat::kPdf) {
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, kProductName);
  }
  std::unique_ptr<cairo_font_face_t, FaceDeleter> face(
      input.font != nullptr ? labelFace(*input.font) : nullptr);
  std::string labels;
  {
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    cairo_rectangle(cr.get(), 0, 0, width, height);
    setColor(cr.get(), s.backColor);
    cairo_fill(cr.get());

    const bool svg = format == VectorFormat::kSvg;
    CairoPainter painter(cr.get(), face.get(), input.labelPixels, svg, input.frame.scale);
    tracePlotFrame(s, input.imageSize, input.decimalSeparator, painter);
    painter.finish(false);
    for (const PlotState& curve : input.curves) {
      if (isOn(curve.optTwoFunctions) || isOn(curve.optPolar)) {
        tracePointCurve(curve, curve.samplesA, curve.samplesB, CurvePass::kDraw, painter);
      } else {
        traceCartesianCurve(curve, curve.samplesA, CurvePass::kDraw, painter);
      }
      painter.finish(isOn(curve.optAntialias));
    }
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    labels = textElements(painter.texts(), painter.family(), input.labelPixels);
  }
  cairo_surface_finish(surface.get());
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  if (!labels.empty()) {
    // The labels lie in the margins, clear of the curves: drawn last, they
    // cover nothing the picture shows above them.
    const std::size_t end = bytes.rfind("</svg>");
    if (end == std::string::npos) return std::nullopt;
    bytes.insert(end, labels);
  }
  return bytes;
}

}  // namespace kurvana
