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

  // The pointer in image pixels, when it is over the picture.
  std::optional<Point> pointerInImage() const;

 signals:
  // A right press: the context menu opens at `global` with "Save picture"
  // and the zoom items enabled as given.
  void menuRequested(QPoint global, bool plotItemsEnabled);
  // File problems of the Draw that ends a drag.
  void problems(const Status& status);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Controller& controller_;
  bool handCursor_ = false;
};

// The keyboard modifiers that commands look at.
Keys keysOf(Qt::KeyboardModifiers modifiers);

}  // namespace kurvana::ui
