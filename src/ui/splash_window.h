// The welcome splash: shown while the program starts, then it centres the
// main window on the screen and shows it.
#pragma once

#include <QTimer>
#include <QWidget>

namespace kurvana::ui {

class MainWindow;

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  // 2.5 s, or 0.5 s when the program was started with a file to open.
  static constexpr int kWaitMilliseconds = 2500;
  static constexpr int kWaitWithFileMilliseconds = 500;

  SplashWindow(MainWindow& mainWindow, bool fileArgument);

  int waitMilliseconds() const { return timer_.interval(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void handOver();

  MainWindow& mainWindow_;
  QTimer timer_;
  QImage picture_;
};

}  // namespace kurvana::ui
