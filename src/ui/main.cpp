// Kurvana: the window program. Builds the application, the main window (which
// runs the start-up sequence) and the welcome splash, then runs the event loop
// until the main window ends it.
#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <optional>
#include <string>

#include "ui/chrome_art.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"

namespace {

QByteArray iconPng() {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  kurvana::ui::applicationIcon(256).save(&buffer, "PNG");
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Kurvana");
  QApplication::setDesktopFileName("kurvana");
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addPixmap(QPixmap::fromImage(kurvana::ui::applicationIcon(size)));
  }
  QApplication::setWindowIcon(icon);

  // One optional argument: a function file to open.
  const QStringList arguments = QApplication::arguments();
  std::optional<std::string> file;
  if (arguments.size() > 1) file = arguments.at(1).toStdString();

  kurvana::ControllerSetup setup;
  setup.executable = QApplication::applicationFilePath().toStdString();
  const QByteArray png = iconPng();
  setup.iconPng.assign(png.constData(), static_cast<std::size_t>(png.size()));

  kurvana::ui::MainWindow mainWindow(std::move(setup), file);
  if (!mainWindow.startedUp()) return 1;
  kurvana::ui::SplashWindow splash(mainWindow, file.has_value());
  return QApplication::exec();
}
