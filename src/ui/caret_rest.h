// The text caret stops blinking after a while without keyboard or mouse
// input, as GTK's does, so that an idle window wakes no more: the blink was
// the only timer left running in it. Any input starts the blinking again.
// Qt's line edits follow the application's cursor flash time as it changes:
// a time of 0 stops their blink timers and leaves the caret shown.
#pragma once

#include <QObject>
#include <QTimer>

namespace kurvana::ui {

class CaretRest : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIdleMs = 10000;

  // Watches the whole application's input from now on.
  explicit CaretRest(int idleMs = kIdleMs, QObject* parent = nullptr);
  // The desktop's flash time back.
  ~CaretRest() override;

  bool resting() const { return resting_; }

 signals:
  void rested();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void rest();

  QTimer idle_;
  int flashTime_;  // the desktop's, while not resting
  bool resting_ = false;
};

}  // namespace kurvana::ui
