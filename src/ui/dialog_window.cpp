#include "ui/dialog_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QWindow>

#include "app/window_geometry.h"

namespace kurvana::ui {
namespace {

const QColor kFrameColor(74, 73, 84);
const QColor kTitleColor(232, 233, 236);
const QColor kTextColor(218, 221, 228);

}  // namespace

DialogWindow::DialogWindow(QWidget* mainWindow, QSize size, const QString& title,
                           Qt::WindowFlags flags)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint | flags), mainWindow_(mainWindow) {
  setFixedSize(size);
  setWindowTitle("Kurvana");
  titleBar_ = new TitleBar(this);
  titleBar_->setObjectName("titleBar");
  titleBar_->setGeometry(0, 0, size.width(), 32);
  auto* icon = new QLabel(titleBar_);
  icon->setGeometry(8, 0, 32, 32);
  icon->setPixmap(QPixmap::fromImage(titleIcon(false, devicePixelRatioF())));
  titleBar_->addPassThrough(icon);
  title_ = new QLabel(title, titleBar_);
  title_->setObjectName("title");
  title_->setGeometry(46, 7, 311, 22);
  setInterfaceFont(title_, 15);
  QPalette palette = title_->palette();
  palette.setColor(QPalette::WindowText, kTitleColor);
  title_->setPalette(palette);
  frame_ = new WindowFrame(kFrameColor, 2, this);
}

void DialogWindow::showEvent(QShowEvent* event) {
  const QRect main = mainWindow_->geometry();
  const Point at = centredOn(Point{main.x(), main.y()}, Size{main.width(), main.height()},
                             Size{width(), height()});
  move(at.x, at.y);
  frame_->raise();  // over whatever the window added after it was made
  // The window itself holds the keyboard, with no focus mark on any control,
  // until Tab moves to one (activation would give it the first control).
  setFocusPolicy(Qt::ClickFocus);
  setFocus();
  QWidget::showEvent(event);
}

void DialogWindow::hideEvent(QHideEvent* event) {
  // Ended while it held the keyboard (Esc, Enter, OK): the keyboard goes back
  // to the main window rather than to whatever the desktop picks. Qt has
  // already let go of the active window here; the window system has not.
  const bool hadKeyboard =
      windowHandle() != nullptr && QGuiApplication::focusWindow() == windowHandle();
  if (hadKeyboard && mainWindow_->isVisible()) mainWindow_->activateWindow();
  QWidget::hideEvent(event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      cancel();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      accept();
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void DialogWindow::paintEvent(QPaintEvent* event) {
  if (tile_.isNull() || tile_.devicePixelRatio() != devicePixelRatioF()) {
    tile_ = backgroundTile(devicePixelRatioF());
  }
  paintTiled(this, event, tile_);
}

QLabel* addDialogLabel(QWidget* parent, const QString& text, QRect geometry, int pixels) {
  auto* label = new QLabel(text, parent);
  styleDialogLabel(label, geometry, pixels);
  return label;
}

void styleDialogLabel(QLabel* label, QRect geometry, int pixels) {
  label->setGeometry(geometry);
  setInterfaceFont(label, pixels);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kTextColor);
  label->setPalette(palette);
  // A fixed-size label cuts a longer text at its right edge instead of
  // running into its neighbour.
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(false);
}

}  // namespace kurvana::ui
