#include "ui/message_window.h"

namespace kurvana::ui {

MessageWindow::MessageWindow(QWidget* mainWindow)
    : DialogWindow(mainWindow, kSize, "Error message", Qt::WindowStaysOnTopHint) {
  auto* sign = new QLabel(this);
  sign->setGeometry(64, 96, 64, 64);
  sign->setPixmap(QPixmap::fromImage(warningPicture(devicePixelRatioF())));

  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i] = addDialogLabel(this, QString(), QRect(168, 88 + 32 * static_cast<int>(i), 401, 26));
  }

  ok_ = new RoundButton(Glyph::kOk, QSize(50, 50), RoundButton::Trigger::kClick, this);
  ok_->move(268, 206);
  ok_->setToolTip("OK");
  connect(ok_, &RoundButton::triggered, this, &QWidget::hide);
}

void MessageWindow::setLines(std::string_view line1, std::string_view line2,
                             std::string_view line3) {
  const std::array<std::string_view, 3> texts = {line1, line2, line3};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    lines_[i]->setText(QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
  }
}

void MessageWindow::showLines(std::string_view line1, std::string_view line2,
                              std::string_view line3) {
  setLines(line1, line2, line3);
  if (isVisible()) {
    // Shown again: it stays where the user may have dragged it.
    raise();
  } else {
    show();
  }
  activateWindow();
}

}  // namespace kurvana::ui
