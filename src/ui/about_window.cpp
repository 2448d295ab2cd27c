#include "ui/about_window.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "app/web_address.h"
#include "base/product.h"

namespace kurvana::ui {
namespace {

const QColor kLinkColor(0, 36, 75);
const QColor kLinkHoverColor(48, 84, 155);
const QColor kCardColor(232, 233, 236);
const QRect kCard(24, 52, 372, 144);

}  // namespace

// The product's name as a link for screen readers, followed with the keyboard.
class AboutWindow::Link : public QLabel, public AccessibleControl {
 public:
  explicit Link(AboutWindow* window) : QLabel(window), window_(window) {
    setFocusPolicy(Qt::TabFocus);
  }
  QAccessible::Role accessibleRole() const override { return QAccessible::Link; }
  void doAccessibleAction() override { window_->followLink(); }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (!event->isAutoRepeat()) window_->followLink();
      event->accept();
      return;
    }
    QLabel::keyPressEvent(event);
  }

 private:
  AboutWindow* window_;
};

AboutWindow::AboutWindow(QWidget* mainWindow, std::function<void(const QUrl&)> openUrl)
    : DialogWindow(mainWindow, kSize, "About this utility"), openUrl_(std::move(openUrl)) {
  setObjectName("aboutWindow");
  auto* icon = new QLabel(this);
  icon->setGeometry(kCard.left() + 20, kCard.top() + 40, 64, 64);
  QImage picture = applicationIcon(static_cast<int>(64 * devicePixelRatioF()));
  picture.setDevicePixelRatio(devicePixelRatioF());
  icon->setPixmap(QPixmap::fromImage(picture));

  link_ = new Link(this);
  link_->setText(QString(kProductName) + " 1.0");
  link_->setAccessibleName(link_->text());
  link_->setObjectName("productLink");
  link_->setGeometry(kCard.left() + 104, kCard.top() + 57, 240, 30);
  setInterfaceFont(link_, 22);
  QFont font = link_->font();
  font.setUnderline(true);
  link_->setFont(font);
  link_->setCursor(Qt::PointingHandCursor);
  link_->setToolTip(QString::fromStdString(productPageAddress()));
  link_->setMouseTracking(true);
  link_->setAttribute(Qt::WA_Hover);
  link_->installEventFilter(this);
  showLinkColor(false);
}

void AboutWindow::setTitleText(const std::string& title) {
  setTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void AboutWindow::followLink() {
  openUrl_(QUrl(QString::fromStdString(productPageAddress())));
  hide();
}

void AboutWindow::showLinkColor(bool hover) {
  QPalette palette = link_->palette();
  palette.setColor(QPalette::WindowText, hover ? kLinkHoverColor : kLinkColor);
  link_->setPalette(palette);
}

void AboutWindow::paintEvent(QPaintEvent* event) {
  DialogWindow::paintEvent(event);
  // A light card carries the dark link colours.
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath card;
  card.addRoundedRect(QRectF(kCard), 8, 8);
  painter.fillPath(card, kCardColor);
}

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == link_) {
    switch (event->type()) {
      // The focus shows as the hover colour.
      case QEvent::Enter:
      case QEvent::FocusIn:
        showLinkColor(true);
        break;
      case QEvent::Leave:
        showLinkColor(link_->hasFocus());
        break;
      case QEvent::FocusOut:
        showLinkColor(link_->underMouse());
        break;
      case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
          followLink();
          return true;
        }
        break;
      default:
        break;
    }
  }
  return DialogWindow::eventFilter(watched, event);
}

}  // namespace kurvana::ui
