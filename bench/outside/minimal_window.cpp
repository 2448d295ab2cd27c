// The least a Qt window like the main one costs: a frameless window of the
// same size and place with a title, a formula field, a right-hand panel of
// captions, range fields and readouts, and a plot image the size of the main
// window's, showing sin(x)*x/3 in the curve colour so that start_probe can
// tell when it is on the screen.
//
//   minimal_window [WIDTH HEIGHT]
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Black, a grey grid, and the curve: one pixel per column, joined vertically.
QImage plotImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGBX8888);
  image.fill(Qt::black);
  const QRgb grid = qRgb(0x40, 0x40, 0x40);
  for (int x = 0; x < width; x += width / 10) {
    for (int y = 0; y < height; ++y) image.setPixel(x, y, grid);
  }
  for (int y = 0; y < height; y += height / 10) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, grid);
  }
  const QRgb curve = qRgb(0x60, 0x60, 0xFF);
  int previous = -1;
  for (int column = 0; column < width; ++column) {
    const double x = 10.0 * column / width;
    const double y = std::sin(x) * x / 3;
    const int row = std::clamp(static_cast<int>((5 - y) / 10 * height), 0, height - 1);
    const int from = previous < 0 ? row : std::min(previous, row);
    const int to = previous < 0 ? row : std::max(previous, row);
    for (int r = from; r <= to; ++r) image.setPixel(column, r, curve);
    previous = row;
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  const int width = argc == 3 ? std::atoi(argv[1]) : 1024;
  const int height = argc == 3 ? std::atoi(argv[2]) : 768;
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setWindowTitle("Minimal");
  window.resize(width, height);

  auto* title = new QLabel("Minimal window", &window);
  title->setGeometry(46, 8, 311, 22);
  auto* plot = new QLabel(&window);
  plot->setGeometry(8, 40, width - 200, height - 100);
  plot->setPixmap(QPixmap::fromImage(plotImage(width - 200, height - 100)));
  auto* formula = new QLineEdit("F(x)=sin(x)*x/3", &window);
  formula->setGeometry(10, height - 55, width - 400, 24);

  // The panel: six range fields with captions, three readouts.
  const char* captions[] = {"x min", "x max", "y min", "y max", "z min", "z max"};
  int top = 40;
  for (const char* caption : captions) {
    (new QLabel(caption, &window))->setGeometry(width - 190, top, 80, 22);
    (new QLineEdit("0", &window))->setGeometry(width - 100, top, 90, 22);
    top += 30;
  }
  for (const char* readout : {"x", "F(x)", "F'(x)"}) {
    (new QLabel(readout, &window))->setGeometry(width - 190, top, 80, 22);
    (new QLabel("-", &window))->setGeometry(width - 100, top, 90, 22);
    top += 30;
  }

  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  window.move(screen.x() + (screen.width() - width) / 2,
              screen.y() + (screen.height() - height) / 2);
  window.show();
  return QApplication::exec();
}
