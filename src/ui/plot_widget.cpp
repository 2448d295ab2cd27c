#include "ui/plot_widget.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace kurvana::ui {

Keys keysOf(Qt::KeyboardModifiers modifiers) {
  return Keys{.shift = modifiers.testFlag(Qt::ShiftModifier),
              .alt = modifiers.testFlag(Qt::AltModifier),
              .ctrl = modifiers.testFlag(Qt::ControlModifier)};
}

PlotWidget::PlotWidget(Controller& controller, QWidget* parent)
    : QWidget(parent), controller_(controller) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
}

Point PlotWidget::devicePoint(QPointF at) const {
  // Positions may fall between window pixels on a scaled screen; the device
  // pixel is the one the position lies in. Qt divides the screen's device
  // positions by the ratio, so a product a hair below a whole pixel is that
  // pixel.
  const double scale = controller_.scale();
  const auto device = [&](double v) { return static_cast<int>(std::floor(v * scale + 1e-6)); };
  return Point{device(at.x()), device(at.y())};
}

std::optional<Point> PlotWidget::pointerInImage() const {
  const QPointF p = mapFromGlobal(QPointF(QCursor::pos()));
  if (!QRectF(rect()).contains(p)) return std::nullopt;
  return devicePoint(p);
}

double PlotWidget::wantedScale() const {
  return std::clamp(devicePixelRatioF(), 1.0, kMaxScale);
}

void PlotWidget::checkScale() {
  if (scaleCheckQueued_ || wantedScale() == controller_.scale()) return;
  scaleCheckQueued_ = true;
  // Not from inside a paint: the owner lays out and repaints.
  QMetaObject::invokeMethod(
      this,
      [this] {
        scaleCheckQueued_ = false;
        if (wantedScale() != controller_.scale()) emit scaleOutdated();
      },
      Qt::QueuedConnection);
}

bool PlotWidget::event(QEvent* event) {
  if (event->type() == QEvent::ScreenChangeInternal) checkScale();
  return QWidget::event(event);
}

void PlotWidget::paintEvent(QPaintEvent* event) {
  checkScale();
  QPainter painter(this);
  const Bitmap& bitmap = controller_.picture();
  if (bitmap.empty()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  // The pixels are 0xFFRRGGBB words, Qt's RGB32 and the X screen's own
  // format: the picture is shown without a copy and drawn without converting.
  // Its pixels are the screen's: the image's ratio is the picture's scale.
  QImage image(reinterpret_cast<const uchar*>(bitmap.data()), bitmap.width(), bitmap.height(),
               bitmap.width() * 4, QImage::Format_RGB32);
  const double scale = controller_.scale();
  image.setDevicePixelRatio(scale);
  // Whole device pixels around the area to repaint, so that none is resampled.
  const QRect dirty = event->rect();
  const QRect source =
      QRect(QPoint(static_cast<int>(std::floor(dirty.left() * scale)),
                   static_cast<int>(std::floor(dirty.top() * scale))),
            QPoint(static_cast<int>(std::ceil((dirty.right() + 1) * scale)) - 1,
                   static_cast<int>(std::ceil((dirty.bottom() + 1) * scale)) - 1)) &
      QRect(0, 0, bitmap.width(), bitmap.height());
  if (!source.isEmpty()) {
    const QRectF target(source.left() / scale, source.top() / scale, source.width() / scale,
                        source.height() / scale);
    painter.drawImage(target, image, QRectF(source));
  }
  // The widget is resized with the picture; this covers the moment between.
  const QRect shown(0, 0, static_cast<int>(std::floor(bitmap.width() / scale)),
                    static_cast<int>(std::floor(bitmap.height() / scale)));
  const QRegion outside = QRegion(dirty) - QRegion(shown);
  for (const QRect& r : outside) painter.fillRect(r, Qt::black);
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  const Point at = devicePoint(event->position());
  const MouseButton button = event->button() == Qt::RightButton    ? MouseButton::kRight
                             : event->button() == Qt::MiddleButton ? MouseButton::kMiddle
                                                                   : MouseButton::kLeft;
  switch (controller_.pointerPressed(button, at)) {
    case PlotPress::kPanStarted:
      // The ring came off the picture; the hand shows for the whole drag.
      update();
      QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
      handCursor_ = true;
      break;
    case PlotPress::kMenuEnabled:
      emit menuRequested(event->globalPosition().toPoint(), true);
      break;
    case PlotPress::kMenuDisabled:
      emit menuRequested(event->globalPosition().toPoint(), false);
      break;
    case PlotPress::kNothing:
      break;
  }
}

void PlotWidget::mouseMoveEvent(QMouseEvent* event) {
  const Rect changed =
      controller_.pointerMoved(keysOf(event->modifiers()), devicePoint(event->position()));
  if (changed.right > changed.left && changed.bottom > changed.top) {
    // Device pixels of the picture, as the window pixels that hold them.
    const double scale = controller_.scale();
    const QPoint from(static_cast<int>(std::floor(changed.left / scale)),
                      static_cast<int>(std::floor(changed.top / scale)));
    const QPoint to(static_cast<int>(std::ceil(changed.right / scale)),
                    static_cast<int>(std::ceil(changed.bottom / scale)));
    update(QRect(from, to - QPoint(1, 1)));
  }
}

void PlotWidget::mouseReleaseEvent(QMouseEvent*) {
  if (handCursor_) {
    QGuiApplication::restoreOverrideCursor();
    handCursor_ = false;
  }
  const Status status = controller_.pointerReleased();
  update();
  if (!status.ok()) emit problems(status);
}

}  // namespace kurvana::ui

namespace kurvana::ui {

void PlotWidget::keyPressEvent(QKeyEvent* event) {
  constexpr int kFastSteps = 10;
  const Qt::KeyboardModifiers keys = event->modifiers() & ~Qt::KeypadModifier;
  const bool shift = keys == Qt::ShiftModifier;
  std::optional<TraceMove> move;
  if (keys == Qt::NoModifier || shift) {
    switch (event->key()) {
      case Qt::Key_Left:
        move = TraceMove::kBackward;
        break;
      case Qt::Key_Right:
        move = TraceMove::kForward;
        break;
      case Qt::Key_Home:
        move = TraceMove::kFirst;
        break;
      case Qt::Key_End:
        move = TraceMove::kLast;
        break;
      default:
        break;
    }
  }
  if (!move) {
    QWidget::keyPressEvent(event);  // the window's own keys
    return;
  }
  const Rect changed = controller_.traceKey(*move, shift ? kFastSteps : 1);
  if (changed.right > changed.left && changed.bottom > changed.top) {
    update(QRect(changed.left, changed.top, changed.right - changed.left,
                 changed.bottom - changed.top));
  }
  event->accept();
}

}  // namespace kurvana::ui
