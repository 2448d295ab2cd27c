#include "ui/chrome_widgets.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

namespace kurvana::ui {
namespace {

// The focus mark: light like the glyphs, a little see-through so the rim
// under it still shows.
const QColor kFocusColor(228, 231, 236, 220);

QString nameOf(Glyph glyph) {
  switch (glyph) {
    case Glyph::kDraw:
      return QCoreApplication::translate("RoundButton", "Draw");
    case Glyph::kClear:
      return QCoreApplication::translate("RoundButton", "Clear picture");
    case Glyph::kSavePicture:
      return QCoreApplication::translate("RoundButton", "Save picture");
    case Glyph::kHistory:
      return QCoreApplication::translate("RoundButton", "Previous formula");
    case Glyph::kZoomIn:
      return QCoreApplication::translate("RoundButton", "Zoom in");
    case Glyph::kZoomOut:
      return QCoreApplication::translate("RoundButton", "Zoom out");
    case Glyph::kWebPage:
      return QCoreApplication::translate("RoundButton", "Web page");
    case Glyph::kSettings:
      return QCoreApplication::translate("RoundButton", "Settings");
    case Glyph::kOk:
      return QCoreApplication::translate("RoundButton", "OK");
    case Glyph::kCancel:
      return QCoreApplication::translate("RoundButton", "Cancel");
    case Glyph::kMinimise:
      return QCoreApplication::translate("RoundButton", "Minimise");
    case Glyph::kMaximise:
      return QCoreApplication::translate("RoundButton", "Maximise");
    case Glyph::kRestore:
      return QCoreApplication::translate("RoundButton", "Restore");
    case Glyph::kClose:
      return QCoreApplication::translate("RoundButton", "Close");
  }
  return QString();
}

bool isPressKey(const QKeyEvent* event) {
  const int key = event->key();
  return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

RoundButton::RoundButton(Glyph glyph, QSize size, Trigger trigger, QWidget* parent)
    : QWidget(parent), glyph_(glyph), trigger_(trigger) {
  setFixedSize(size);
  setAttribute(Qt::WA_Hover);
  // Windows that want it in their Tab order give it Qt::TabFocus; a click
  // never takes the focus from the field being edited.
  setFocusPolicy(Qt::NoFocus);
  setAccessibleName(nameOf(glyph));
}

void RoundButton::setGlyph(Glyph glyph) {
  if (glyph == glyph_) return;
  glyph_ = glyph;
  dpr_ = 0;
  setAccessibleName(nameOf(glyph));
  update();
}

void RoundButton::retranslate() {
  setAccessibleName(nameOf(glyph_));
}

void RoundButton::press(Qt::KeyboardModifiers modifiers) {
  if (isEnabled()) emit triggered(modifiers);
}

ButtonState RoundButton::state() const {
  if (!isEnabled()) return ButtonState::kDisabled;
  if (down_) return ButtonState::kPressed;
  return hover_ ? ButtonState::kHover : ButtonState::kNormal;
}

const QImage& RoundButton::picture(ButtonState state) {
  const qreal dpr = devicePixelRatioF();
  if (dpr != dpr_) {
    for (QImage& p : pictures_) p = QImage();
    dpr_ = dpr;
  }
  QImage& p = pictures_[static_cast<std::size_t>(state)];
  if (p.isNull()) p = roundButton(glyph_, state, size(), dpr);
  return p;
}

void RoundButton::paintEvent(QPaintEvent*) {
  {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture(state()));
  }
  if (hasFocus()) paintFocusRing(this, true);
}

void RoundButton::enterEvent(QEnterEvent*) {
  hover_ = true;
  update();
}

void RoundButton::leaveEvent(QEvent*) {
  hover_ = false;
  if (trigger_ == Trigger::kPress) down_ = false;
  update();
}

void RoundButton::mousePressEvent(QMouseEvent* event) {
  down_ = true;
  update();
  if (trigger_ == Trigger::kPress) emit triggered(event->modifiers());
  event->accept();
}

void RoundButton::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasDown = down_;
  down_ = false;
  update();
  if (trigger_ == Trigger::kClick && wasDown && rect().contains(event->position().toPoint())) {
    emit triggered(event->modifiers());
  }
}

void RoundButton::keyPressEvent(QKeyEvent* event) {
  if (!isPressKey(event)) {
    QWidget::keyPressEvent(event);
    return;
  }
  // Held down, the key repeats: one press is one command, as with the mouse.
  if (!event->isAutoRepeat()) press(event->modifiers() & ~Qt::KeypadModifier);
  event->accept();
}

void RoundButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    down_ = false;
    update();
  }
  QWidget::changeEvent(event);
}

void PressLabel::mousePressEvent(QMouseEvent* event) {
  emit pressed();
  event->accept();
}

TogglePicture::TogglePicture(QWidget* parent, Kind kind) : PressLabel(parent), kind_(kind) {
  setFixedSize(25, 25);
  showState(false);
}

void TogglePicture::showState(bool on) {
  const bool changed = on != on_;
  on_ = on;
  setPixmap(QPixmap::fromImage(togglePicture(on, devicePixelRatioF())));
  if (changed && kind_ == Kind::kToggle) notifyCheckedChanged(this);
}

QAccessible::Role TogglePicture::accessibleRole() const {
  return kind_ == Kind::kToggle ? QAccessible::CheckBox : QAccessible::Button;
}

std::optional<bool> TogglePicture::accessibleChecked() const {
  if (kind_ == Kind::kButton) return std::nullopt;
  return on_;
}

void TogglePicture::doAccessibleAction() {
  emit pressed();
}

void TogglePicture::paintEvent(QPaintEvent* event) {
  PressLabel::paintEvent(event);
  if (hasFocus()) paintFocusRing(this, false);
}

void TogglePicture::keyPressEvent(QKeyEvent* event) {
  if (!isPressKey(event)) {
    PressLabel::keyPressEvent(event);
    return;
  }
  if (!event->isAutoRepeat()) emit pressed();
  event->accept();
}

void paintFocusRing(QWidget* widget, bool round) {
  QPainter painter(widget);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  if (round) {
    // Inside the rim, so that it reads against the dark face.
    const QRectF ring = QRectF(widget->rect()).adjusted(3.5, 3.5, -3.5, -3.5);
    const qreal radius = ring.height() / 2;
    painter.setPen(QPen(kFocusColor, 1.5));
    painter.drawRoundedRect(ring, radius, radius);
  } else {
    painter.setPen(QPen(kFocusColor, 1.0));
    painter.drawRoundedRect(QRectF(widget->rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  }
}

TitleBar::TitleBar(QWidget* parent) : QWidget(parent) {}

void TitleBar::addPassThrough(QWidget* child) {
  child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TitleBar::paintEvent(QPaintEvent* event) {
  if (tile_.isNull() || tile_.devicePixelRatio() != devicePixelRatioF()) {
    tile_ = titleTile(devicePixelRatioF());
  }
  paintTiled(this, event, tile_);
}

void TitleBar::mousePressEvent(QMouseEvent* event) {
  QWidget* top = window();
  if (QWindow* handle = top->windowHandle(); handle != nullptr && handle->startSystemMove()) {
    return;  // the window system moves it and owns the pointer until the release
  }
  dragging_ = true;
  pressOffset_ = event->globalPosition().toPoint() - top->pos();
}

void TitleBar::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  window()->move(event->globalPosition().toPoint() - pressOffset_);
}

void TitleBar::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
}

WindowFrame::WindowFrame(QColor color, int width, QWidget* parent)
    : QWidget(parent), color_(color), width_(width) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setGeometry(parent->rect());
  parent->installEventFilter(this);
  raise();
}

bool WindowFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) {
    setGeometry(parentWidget()->rect());
    raise();
  }
  return false;
}

void WindowFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const qreal half = width_ / 2.0;
  painter.setPen(QPen(color_, width_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.drawRect(QRectF(half, half, width() - width_, height() - width_));
}

void paintTiled(QWidget* widget, QPaintEvent* event, const QImage& tile) {
  QPainter painter(widget);
  const QSize step = tile.deviceIndependentSize().toSize();
  if (step.isEmpty()) return;
  // One rectangle of the region at a time: clipped to a single rectangle Qt
  // copies a tile row by row, while under the region's many rectangles (a
  // window less its opaque children) it blends every span, on its thread pool.
  for (const QRect& area : event->region()) {
    painter.setClipRect(area);
    for (int y = area.top() / step.height() * step.height(); y <= area.bottom();
         y += step.height()) {
      for (int x = area.left() / step.width() * step.width(); x <= area.right();
           x += step.width()) {
        painter.drawImage(QPoint(x, y), tile);
      }
    }
  }
}

bool installInterfaceFont() {
  static const bool installed = [] {
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) return true;
    bool loaded = false;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
      const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
      // A font that is not a regular file (or cannot be parsed) is passed over.
      if (!QFileInfo(path).isFile()) continue;
      if (QFontDatabase::addApplicationFont(path) >= 0) loaded = true;
    }
    return loaded && QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
  }();
  return installed;
}

void setInterfaceFont(QWidget* widget, int pixels) {
  installInterfaceFont();
  QFont font = widget->font();
  font.setFamilies({"Tahoma", "DejaVu Sans"});
  font.setPixelSize(pixels);
  widget->setFont(font);
}

QColor colorFromBgr(unsigned bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

}  // namespace kurvana::ui
