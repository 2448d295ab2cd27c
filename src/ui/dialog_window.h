// The common frame of Kurvana's small windows: borderless and modeless, a
// title strip with the program icon and a title that drags the window, the
// tiled background, a 2-pixel frame around it all, and centring on the main
// window whenever it is shown. Esc and Enter end them; screen readers see a
// dialog named by its title. Each is a window of its own with the main
// window as its parent, so that the window system keeps it over the main
// window (a Wayland compositor places it there: it cannot be put anywhere).
// The main window owns each through a unique_ptr, which deletes it before
// the main window's children go.
#pragma once

#include <QLabel>
#include <QWidget>

#include "ui/chrome_widgets.h"

namespace kurvana::ui {

class DialogWindow : public QWidget, public AccessibleControl {
  Q_OBJECT

 public:
  void setTitle(const QString& title) {
    title_->setText(title);
    setAccessibleName(title);
  }
  QString title() const { return title_->text(); }
  TitleBar* titleBar() const { return titleBar_; }

  QAccessible::Role accessibleRole() const override { return QAccessible::Dialog; }

 protected:
  // `flags` adds to the borderless tool window (e.g. staying on top).
  DialogWindow(QWidget* mainWindow, QSize size, const QString& title, Qt::WindowFlags flags = {});

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  // Esc cancels, Enter accepts, unless the focused control took the key.
  void keyPressEvent(QKeyEvent* event) override;
  virtual void cancel() { hide(); }
  virtual void accept() {}

  QWidget* mainWindow() const { return mainWindow_; }

 private:
  QWidget* mainWindow_;
  TitleBar* titleBar_;
  QLabel* title_;
  WindowFrame* frame_;
  QImage tile_;
};

// Light text for the dark background, in the interface face, cut at the
// label's right edge when it is longer.
void styleDialogLabel(QLabel* label, QRect geometry, int pixels = 15);
QLabel* addDialogLabel(QWidget* parent, const QString& text, QRect geometry, int pixels = 15);

}  // namespace kurvana::ui
