// The message window: the Draw command's three lines under a warning sign,
// with an OK button; borderless, on top, not modal.
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>
#include <string_view>

#include "ui/chrome_widgets.h"

namespace kurvana::ui {

class MessageWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kSize{586, 282};

  explicit MessageWindow(QWidget* mainWindow);

  // Replaces the lines (a line wider than its label is cut at the right
  // edge), centres the window on the main window and shows it.
  void showLines(std::string_view line1, std::string_view line2, std::string_view line3);
  void setTitle(const QString& title) { title_->setText(title); }

  QString line(int i) const { return lines_.at(static_cast<std::size_t>(i))->text(); }
  RoundButton* okButton() const { return ok_; }
  TitleBar* titleBar() const { return titleBar_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* mainWindow_;
  TitleBar* titleBar_;
  QLabel* title_;
  std::array<QLabel*, 3> lines_{};
  RoundButton* ok_;
  QImage tile_;
};

}  // namespace kurvana::ui
