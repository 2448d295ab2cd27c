// The about window: the program's name and version as a link to its web
// page. Following the link (a click, or Space or Enter once Tab reached it)
// opens the page and hides the window; Esc or Enter elsewhere hides it.
#pragma once

#include <QUrl>
#include <functional>

#include "ui/dialog_window.h"

namespace kurvana::ui {

class AboutWindow : public DialogWindow {
  Q_OBJECT

 public:
  static constexpr QSize kSize{420, 220};

  // `openUrl` opens an address with the desktop's browser.
  AboutWindow(QWidget* mainWindow, std::function<void(const QUrl&)> openUrl);

  void setTitleText(const std::string& title);
  QLabel* link() const { return link_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void accept() override { hide(); }

 private:
  class Link;

  void followLink();
  void showLinkColor(bool hover);

  std::function<void(const QUrl&)> openUrl_;
  QLabel* link_;
};

}  // namespace kurvana::ui
