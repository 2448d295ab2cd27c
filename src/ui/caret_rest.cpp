#include "ui/caret_rest.h"

#include <QApplication>
#include <QEvent>

namespace kurvana::ui {
namespace {

bool isInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
      return true;
    default:
      return false;
  }
}

}  // namespace

CaretRest::CaretRest(int idleMs, QObject* parent)
    : QObject(parent), flashTime_(QApplication::cursorFlashTime()) {
  idle_.setSingleShot(true);
  idle_.setInterval(idleMs);
  connect(&idle_, &QTimer::timeout, this, &CaretRest::rest);
  QCoreApplication::instance()->installEventFilter(this);
  idle_.start();
}

CaretRest::~CaretRest() {
  if (resting_) QApplication::setCursorFlashTime(flashTime_);
}

bool CaretRest::eventFilter(QObject* watched, QEvent* event) {
  if (isInput(event->type())) {
    if (resting_) {
      resting_ = false;
      // Before the event reaches a field, which restarts its blink with the
      // flash time it finds.
      QApplication::setCursorFlashTime(flashTime_);
    }
    idle_.start();
  }
  return QObject::eventFilter(watched, event);
}

void CaretRest::rest() {
  if (QApplication::cursorFlashTime() == 0) return;  // a desktop without blinking
  flashTime_ = QApplication::cursorFlashTime();
  resting_ = true;
  QApplication::setCursorFlashTime(0);
  emit rested();
}

}  // namespace kurvana::ui
