// The message window: the Draw command's three lines under a warning sign,
// with an OK button; borderless, on top, not modal. It never takes the
// keyboard from the main window, where the user goes on mending the formula.
#pragma once

#include <array>
#include <string_view>

#include "ui/dialog_window.h"

namespace kurvana::ui {

class MessageWindow : public DialogWindow {
  Q_OBJECT

 public:
  static constexpr QSize kSize{586, 282};

  explicit MessageWindow(QWidget* mainWindow);

  // Replaces the lines; a line wider than its label is cut at the right edge.
  void setLines(std::string_view line1, std::string_view line2, std::string_view line3);
  // The lines replaced, then shown (centred on the main window when it was
  // hidden) over the main window, which keeps the activation.
  void showLines(std::string_view line1, std::string_view line2, std::string_view line3);

  // Whether the main window's activation that is coming is the one this
  // window handed back; asking clears it.
  bool takeHandBack();
  // The texts the translation catalogue gives (the OK button's).
  void retranslate();

  QString line(int i) const { return lines_.at(static_cast<std::size_t>(i))->text(); }
  RoundButton* okButton() const { return ok_; }

  QAccessible::Role accessibleRole() const override { return QAccessible::AlertMessage; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void accept() override { hide(); }

 private:
  void announce();

  std::array<QLabel*, 3> lines_{};
  RoundButton* ok_;
  bool handingBack_ = false;
};

}  // namespace kurvana::ui
