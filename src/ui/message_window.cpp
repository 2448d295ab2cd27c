#include "ui/message_window.h"

#include <QPaintEvent>

#include "app/window_geometry.h"

namespace kurvana::ui {
namespace {

const QColor kFrameColor(74, 73, 84);
const QColor kTitleColor(232, 233, 236);
const QColor kLineColor(232, 233, 236);

}  // namespace

MessageWindow::MessageWindow(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow) {
  setFixedSize(kSize);
  setWindowTitle("Kurvana");

  titleBar_ = new TitleBar(this);
  titleBar_->setGeometry(0, 0, kSize.width(), 32);
  auto* icon = new QLabel(titleBar_);
  icon->setGeometry(8, 0, 32, 32);
  icon->setPixmap(QPixmap::fromImage(titleIcon(false, devicePixelRatioF())));
  titleBar_->addPassThrough(icon);
  title_ = new QLabel("Error message", titleBar_);
  title_->setGeometry(46, 7, 311, 22);
  setInterfaceFont(title_, 15);
  QPalette titlePalette = title_->palette();
  titlePalette.setColor(QPalette::WindowText, kTitleColor);
  title_->setPalette(titlePalette);

  auto* sign = new QLabel(this);
  sign->setGeometry(64, 96, 64, 64);
  sign->setPixmap(QPixmap::fromImage(warningPicture(devicePixelRatioF())));

  for (std::size_t i = 0; i < lines_.size(); ++i) {
    QLabel* label = new QLabel(this);
    label->setGeometry(168, 88 + 32 * static_cast<int>(i), 401, 26);
    setInterfaceFont(label, 15);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kLineColor);
    label->setPalette(palette);
    // A fixed-size label cuts a long line at its right edge.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(false);
    lines_[i] = label;
  }

  ok_ = new RoundButton(Glyph::kOk, QSize(50, 50), RoundButton::Trigger::kClick, this);
  ok_->move(268, 206);
  ok_->setToolTip("OK");
  connect(ok_, &RoundButton::triggered, this, &QWidget::hide);
  new WindowFrame(kFrameColor, 2, this);
}

void MessageWindow::showLines(std::string_view line1, std::string_view line2,
                              std::string_view line3) {
  const std::array<std::string_view, 3> texts = {line1, line2, line3};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    lines_[i]->setText(QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
  }
  const QRect main = mainWindow_->geometry();
  const Point at = centredOn(Point{main.x(), main.y()}, Size{main.width(), main.height()},
                             Size{kSize.width(), kSize.height()});
  move(at.x, at.y);
  show();
  raise();
  activateWindow();
}

void MessageWindow::paintEvent(QPaintEvent* event) {
  if (tile_.isNull() || tile_.devicePixelRatio() != devicePixelRatioF()) {
    tile_ = backgroundTile(devicePixelRatioF());
  }
  paintTiled(this, event, tile_);
}

}  // namespace kurvana::ui
