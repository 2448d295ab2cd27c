// Kurvana: the window program. Builds the application, shows the welcome
// splash, builds the main window (which runs the start-up sequence) behind it,
// then runs the event loop until the main window ends it.
#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "ui/chrome_art.h"
#include "ui/main_window.h"
#include "ui/splash_window.h"

namespace {

// How long the start-up waits for the splash to reach the screen before it
// builds the main window regardless.
constexpr int kSplashShowLimitMs = 300;

// True when Qt has somewhere to show the window. Without it Qt aborts with a
// message about platform plugins, which tells a user nothing.
bool haveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // Read before Qt: --help and --version need no display, and Qt would take
  // a file named like one of its own options ("-style") for that option.
  const kurvana::CommandLine line =
      kurvana::parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (line.action) {
    case kurvana::CommandLine::Action::kHelp:
      std::cout << kurvana::kWindowUsage;
      return 0;
    case kurvana::CommandLine::Action::kVersion:
      std::cout << kurvana::versionLine() << "\n";
      return 0;
    case kurvana::CommandLine::Action::kUsageError:
      std::cerr << "kurvana: " << line.problem << "\n" << kurvana::kWindowUsage;
      return 2;
    case kurvana::CommandLine::Action::kRun:
      break;
  }
  if (!haveDisplay()) {
    std::cerr << "kurvana: no display to show the window on (neither DISPLAY nor "
                 "WAYLAND_DISPLAY is set); kurvana-cli draws pictures without one.\n";
    return 1;
  }
  int qtArgc = 1;  // the program's name only: the arguments are ours
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName("Kurvana");
  QApplication::setDesktopFileName("kurvana");
  QApplication::setWindowIcon(kurvana::ui::applicationIconSet());

  const std::optional<std::string>& file = line.file;

  // The splash goes up first and the main window is built while it shows:
  // the wait hides the start-up instead of adding to it.
  std::unique_ptr<kurvana::ui::MainWindow> mainWindow;
  bool handOverDue = false;
  kurvana::ui::SplashWindow splash(
      [&] {
        if (mainWindow) {
          mainWindow->showCentred();
        } else {
          handOverDue = true;
        }
      },
      file.has_value());
  {
    // Until its pixels are out, bounded for a screen that never shows it.
    QEventLoop shown;
    QObject::connect(&splash, &kurvana::ui::SplashWindow::firstPainted, &shown, &QEventLoop::quit);
    QTimer::singleShot(kSplashShowLimitMs, &shown, &QEventLoop::quit);
    if (!splash.painted()) shown.exec();
    QCoreApplication::processEvents();  // sends the painted splash to the server
  }

  kurvana::ControllerSetup setup;
  setup.executable = QApplication::applicationFilePath().toStdString();
  const QByteArray png = kurvana::ui::applicationIconPng();
  setup.iconPng.assign(png.constData(), static_cast<std::size_t>(png.size()));

  mainWindow = std::make_unique<kurvana::ui::MainWindow>(std::move(setup), file);
  if (!mainWindow->startedUp()) return 1;
  if (handOverDue) mainWindow->showCentred();
  return QApplication::exec();
}
