#include "ui/plot_widget.h"

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

std::optional<Point> PlotWidget::pointerInImage() const {
  const QPoint p = mapFromGlobal(QCursor::pos());
  if (!rect().contains(p)) return std::nullopt;
  return Point{p.x(), p.y()};
}

void PlotWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const Bitmap& bitmap = controller_.picture();
  if (bitmap.empty()) {
    painter.fillRect(event->rect(), Qt::black);
    return;
  }
  // The pixels are 0xFFRRGGBB words, Qt's RGB32 and the X screen's own
  // format: the picture is shown without a copy and drawn without converting.
  const QImage image(reinterpret_cast<const uchar*>(bitmap.data()), bitmap.width(), bitmap.height(),
                     bitmap.width() * 4, QImage::Format_RGB32);
  const QRect area = event->rect() & image.rect();
  painter.drawImage(area.topLeft(), image, area);
  // The widget is resized with the picture; this covers the moment between.
  const QRegion outside = QRegion(event->rect()) - QRegion(image.rect());
  for (const QRect& r : outside) painter.fillRect(r, Qt::black);
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const MouseButton button = event->button() == Qt::RightButton    ? MouseButton::kRight
                             : event->button() == Qt::MiddleButton ? MouseButton::kMiddle
                                                                   : MouseButton::kLeft;
  switch (controller_.pointerPressed(button, Point{at.x(), at.y()})) {
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
  const QPoint at = event->position().toPoint();
  const Rect changed = controller_.pointerMoved(keysOf(event->modifiers()), Point{at.x(), at.y()});
  if (changed.right > changed.left && changed.bottom > changed.top) {
    update(QRect(changed.left, changed.top, changed.right - changed.left,
                 changed.bottom - changed.top));
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
