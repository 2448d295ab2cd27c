#include "ui/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <utility>

#include "app/window_geometry.h"
#include "ui/chrome_art.h"
#include "ui/chrome_widgets.h"
#include "ui/main_window.h"

namespace kurvana::ui {

SplashWindow::SplashWindow(MainWindow& mainWindow, bool fileArgument)
    : SplashWindow([&mainWindow] { mainWindow.showCentred(); }, fileArgument) {}

SplashWindow::SplashWindow(std::function<void()> handOver, bool fileArgument)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      handOver_(std::move(handOver)) {
  setFixedSize(kSplashSize.width, kSplashSize.height);
  setWindowTitle("Kurvana");
  auto* version = new QLabel("V 1.0", this);
  version->move(348, 82);
  setInterfaceFont(version, 13);
  QPalette palette = version->palette();
  palette.setColor(QPalette::WindowText, colorFromBgr(0x746765));
  version->setPalette(palette);
  version->adjustSize();

  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const Point at = splashPosition(Size{screen.width(), screen.height()});
  move(at.x, at.y);
  show();

  timer_.setSingleShot(true);
  timer_.setInterval(fileArgument ? kWaitWithFileMilliseconds : kWaitMilliseconds);
  connect(&timer_, &QTimer::timeout, this, &SplashWindow::handOver);
  timer_.start();
}

void SplashWindow::paintEvent(QPaintEvent*) {
  if (picture_.isNull() || picture_.devicePixelRatio() != devicePixelRatioF()) {
    picture_ = splashPicture(devicePixelRatioF());
  }
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.drawImage(QPoint(0, 0), picture_);
  if (!painted_) {
    painted_ = true;
    emit firstPainted();
  }
}

void SplashWindow::handOver() {
  hide();
  handOver_();
}

}  // namespace kurvana::ui
