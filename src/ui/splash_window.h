// The welcome splash: shown while the program starts, then it centres the
// main window on the screen and shows it.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

namespace kurvana::ui {

class MainWindow;

class SplashWindow : public QWidget {
  Q_OBJECT

 public:
  // 2.5 s, or 0.5 s when the program was started with a file to open.
  static constexpr int kWaitMilliseconds = 2500;
  static constexpr int kWaitWithFileMilliseconds = 500;

  // `handOver` runs when the wait is over, after the splash has hidden.
  SplashWindow(std::function<void()> handOver, bool fileArgument);
  // Hands over to `mainWindow`: centres and shows it.
  SplashWindow(MainWindow& mainWindow, bool fileArgument);

  int waitMilliseconds() const { return timer_.interval(); }
  // True once the splash has painted itself.
  bool painted() const { return painted_; }

 signals:
  void firstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void handOver();

  std::function<void()> handOver_;
  QTimer timer_;
  bool painted_ = false;
  QImage picture_;
};

}  // namespace kurvana::ui
