#include "ui/palette_dialog.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kurvana::ui {
namespace {

constexpr int kRows = 16;
constexpr int kColumns = 32;
constexpr int kCell = 16;
constexpr int kLeftMargin = 2;  // the cells start two pixels in
constexpr int kPaletteHeight = kRows * kCell;
const QColor kFrameColor(74, 73, 84);

constexpr Color rgb(int red, int green, int blue) {
  return static_cast<Color>(red) | (static_cast<Color>(green) << 8) |
         (static_cast<Color>(blue) << 16);
}

}  // namespace

Color paletteColor(int row, int i) {
  const int up = 64 + 6 * i;  // 64 .. 250
  const int low = 6 * i;      // 0 .. 186
  const int half = 32 + 3 * i;
  switch (row) {
    case 0:
      return rgb(up, 0, 0);
    case 1:
      return rgb(0, up, 0);
    case 2:
      return rgb(0, 0, 128 + 4 * i);
    case 3:
      return rgb(255, low, low);
    case 4:
      return rgb(low, 255, low);
    case 5:
      return rgb(low, low, 255);
    case 6:
      return rgb(0, up, up);
    case 7:
      return rgb(up, 0, up);
    case 8:
      return rgb(up, up, 0);
    case 9:
      return rgb(low, 255, 255);
    case 10:
      return rgb(255, low, 255);
    case 11:
      return rgb(255, 255, low);
    case 12:
      return rgb(0, up, half);
    case 13:
      return rgb(up, 0, half);
    case 14:
      return rgb(half, up, 0);
    default:
      return rgb(up, up, up);
  }
}

PaletteDialog::PaletteDialog(QWidget* mainWindow, Controller& controller)
    : DialogWindow(mainWindow, kSize, "Color palette"), controller_(controller) {
  setObjectName("paletteDialog");
  setMouseTracking(true);
  // Drawn at one pixel per logical pixel: a pick reads the very pixel shown.
  picture_ = QImage(kSize.width(), kSize.height() - kPaletteTop, QImage::Format_RGB32);
  {
    QPainter painter(&picture_);
    const QImage tile = backgroundTile(1.0);
    for (int y = 0; y < picture_.height(); y += tile.height()) {
      for (int x = 0; x < picture_.width(); x += tile.width()) painter.drawImage(x, y, tile);
    }
    for (int r = 0; r < kRows; ++r) {
      for (int i = 0; i < kColumns; ++i) {
        painter.fillRect(kLeftMargin + kCell * i, kCell * r, kCell, kCell,
                         colorFromBgr(paletteColor(r, i)));
      }
    }
    // The window's frame covers the two margins beside the cells: the
    // picture holds it too, so a press there picks the colour it shows.
    painter.fillRect(0, 0, kLeftMargin, picture_.height(), kFrameColor);
    painter.fillRect(picture_.width() - kLeftMargin, 0, kLeftMargin, picture_.height(),
                     kFrameColor);
  }
  red_ = addDialogLabel(this, QString(), QRect(68, 296, 93, 24));
  green_ = addDialogLabel(this, QString(), QRect(68, 316, 93, 24));
  blue_ = addDialogLabel(this, QString(), QRect(68, 336, 93, 24));
  red_->setObjectName("red");
  green_->setObjectName("green");
  blue_->setObjectName("blue");

  auto* ok = new RoundButton(Glyph::kOk, QSize(50, 50), RoundButton::Trigger::kClick, this);
  ok_ = ok;
  ok->setObjectName("okButton");
  ok->move(201, 304);
  ok->setFocusPolicy(Qt::TabFocus);
  connect(ok, &RoundButton::triggered, this, &QWidget::hide);
  auto* no = new RoundButton(Glyph::kCancel, QSize(50, 50), RoundButton::Trigger::kClick, this);
  cancel_ = no;
  no->setObjectName("cancelButton");
  no->move(265, 304);
  no->setFocusPolicy(Qt::TabFocus);
  connect(no, &RoundButton::triggered, this, [this] { cancel(); });
  retranslate();
}

void PaletteDialog::retranslate() {
  ok_->setToolTip(tr("OK"));
  cancel_->setToolTip(tr("Cancel"));
  ok_->retranslate();
  cancel_->retranslate();
  if (!red_->text().isEmpty()) showComponents(shown_);
}

void PaletteDialog::showTexts(const InterfaceTexts& texts) {
  const std::string& title = texts[TextId::kPaletteTitle];
  setTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

QString PaletteDialog::componentText(int i) const {
  return (i == 0 ? red_ : i == 1 ? green_ : blue_)->text();
}

void PaletteDialog::showEvent(QShowEvent* event) {
  DialogWindow::showEvent(event);
  opened_ = controller_.plot().curveColor;
  showComponents(opened_);
}

void PaletteDialog::paintEvent(QPaintEvent* event) {
  DialogWindow::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(QPoint(0, kPaletteTop), picture_);
}

std::optional<Color> PaletteDialog::colorAt(QPoint at) const {
  const int x = at.x();
  const int y = at.y() - kPaletteTop;
  if (y < 0 || y >= kPaletteHeight || x < 0 || x >= picture_.width()) return std::nullopt;
  const QRgb p = picture_.pixel(x, y);
  return static_cast<Color>(qRed(p)) | (static_cast<Color>(qGreen(p)) << 8) |
         (static_cast<Color>(qBlue(p)) << 16);
}

void PaletteDialog::showComponents(Color color) {
  shown_ = color;
  //: The red component of a colour, 0 to 255.
  red_->setText(tr("R = %1").arg(color & 0xFF));
  //: The green component of a colour, 0 to 255.
  green_->setText(tr("G = %1").arg((color >> 8) & 0xFF));
  //: The blue component of a colour, 0 to 255.
  blue_->setText(tr("B = %1").arg((color >> 16) & 0xFF));
}

void PaletteDialog::mouseMoveEvent(QMouseEvent* event) {
  if (const auto color = colorAt(event->position().toPoint())) showComponents(*color);
}

void PaletteDialog::mousePressEvent(QMouseEvent* event) {
  const auto color = colorAt(event->position().toPoint());
  if (!color) return;
  controller_.setCurveColor(*color);
  showComponents(*color);
}

void PaletteDialog::cancel() {
  hide();
  controller_.setCurveColor(opened_);
}

}  // namespace kurvana::ui
