#include "ui/message_window.h"

#include <QAccessible>
#include <QStringList>
#include <utility>

namespace kurvana::ui {

MessageWindow::MessageWindow(QWidget* mainWindow)
    : DialogWindow(mainWindow, kSize, "Error message",
                   Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus) {
  // Shown over the main window without taking the keyboard from the field the
  // failure left the cursor in (X11 honours both; elsewhere changeEvent hands
  // an activation back).
  setAttribute(Qt::WA_ShowWithoutActivating);
  setObjectName("messageWindow");
  auto* sign = new QLabel(this);
  sign->setGeometry(64, 96, 64, 64);
  sign->setPixmap(QPixmap::fromImage(warningPicture(devicePixelRatioF())));

  for (std::size_t i = 0; i < lines_.size(); ++i) {
    lines_[i] = addDialogLabel(this, QString(), QRect(168, 88 + 32 * static_cast<int>(i), 401, 26));
  }

  ok_ = new RoundButton(Glyph::kOk, QSize(50, 50), RoundButton::Trigger::kClick, this);
  ok_->setObjectName("okButton");
  ok_->move(268, 206);
  ok_->setFocusPolicy(Qt::TabFocus);
  connect(ok_, &RoundButton::triggered, this, &QWidget::hide);
  retranslate();
}

void MessageWindow::retranslate() {
  ok_->setToolTip(tr("OK"));
  ok_->retranslate();
}

void MessageWindow::setLines(std::string_view line1, std::string_view line2,
                             std::string_view line3) {
  const std::array<std::string_view, 3> texts = {line1, line2, line3};
  QStringList all;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    lines_[i]->setText(QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
    all << lines_[i]->text();
  }
  // A screen reader reads the alert by its name: the three lines.
  setAccessibleName(all.join('\n'));
  if (isVisible()) announce();
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
}

bool MessageWindow::takeHandBack() {
  return std::exchange(handingBack_, false);
}

void MessageWindow::showEvent(QShowEvent* event) {
  DialogWindow::showEvent(event);
  announce();
}

void MessageWindow::hideEvent(QHideEvent* event) {
  handingBack_ = false;
  DialogWindow::hideEvent(event);
}

void MessageWindow::changeEvent(QEvent* event) {
  DialogWindow::changeEvent(event);
  // A platform that activates whatever is shown (Wayland compositors, the
  // offscreen platform) gets the activation back to the main window at once.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && mainWindow() != nullptr &&
      mainWindow()->isVisible()) {
    handingBack_ = true;
    mainWindow()->activateWindow();
  }
}

void MessageWindow::announce() {
  QAccessibleEvent alert(this, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

}  // namespace kurvana::ui
