// The plot picture on screen: the core's bitmap shown through a QImage over
// its memory, and the pointer over it turned into controller calls. With the
// focus, Left and Right (ten steps with Shift), Home and End trace the curve.
#pragma once

#include <QWidget>

#include "app/controller.h"

namespace kurvana::ui {

class PlotWidget : public QWidget {
  Q_OBJECT

 public:
  PlotWidget(Controller& controller, QWidget* parent);

  // The pointer in image pixels (device pixels of the picture), when it is
  // over the picture.
  std::optional<Point> pointerInImage() const;

  // The scale the picture is to be painted at: the screen's device pixel
  // ratio, within what the controller takes.
  double wantedScale() const;

 signals:
  // A right press: the context menu opens at `global` with "Save picture"
  // and the zoom items enabled as given.
  void menuRequested(QPoint global, bool plotItemsEnabled);
  // File problems of the Draw that ends a drag.
  void problems(const Status& status);
  // The screen's device pixel ratio no longer matches the picture's scale
  // (the window moved to another screen, or the screen changed): the owner
  // repaints the plot at wantedScale().
  void scaleOutdated();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A window position (logical pixels) as the device pixel of the picture
  // under it.
  Point devicePoint(QPointF at) const;
  // Tells the owner once per change, from the event loop.
  void checkScale();

  Controller& controller_;
  bool handCursor_ = false;
  bool scaleCheckQueued_ = false;
};

// The keyboard modifiers that commands look at.
Keys keysOf(Qt::KeyboardModifiers modifiers);

}  // namespace kurvana::ui
