// Small widgets of the borderless windows: round four-state image buttons,
// toggle pictures with their captions, a title strip that drags its window,
// tiled pictures and the resize grip.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPoint>
#include <QWidget>
#include <array>

#include "ui/accessibility.h"
#include "ui/chrome_art.h"

namespace kurvana::ui {

// A round image button showing one picture per state. Command buttons react
// when any mouse button is pressed on them; caption and dialog buttons on a
// click (press and release over the button). Given the Tab focus, Space or
// Enter presses it and a light ring shows the focus. Its accessible name is
// what the glyph does ("Zoom in") in the interface language, unless the
// window names it.
class RoundButton : public QWidget, public AccessibleControl {
  Q_OBJECT

 public:
  enum class Trigger { kPress, kClick };
  RoundButton(Glyph glyph, QSize size, Trigger trigger, QWidget* parent);

  // The accessible name follows the glyph (Maximise, Restore).
  void setGlyph(Glyph glyph);
  // The glyph's name again, in the language now installed (the window may
  // name the button otherwise afterwards).
  void retranslate();
  // What a press does, for the keyboard and screen readers; nothing while
  // disabled.
  void press(Qt::KeyboardModifiers modifiers = {});

  QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
  void doAccessibleAction() override { press(); }
  Glyph glyph() const { return glyph_; }

 signals:
  // The keyboard modifiers held at the press (Shift, Alt, Ctrl choose the y
  // axis of the zoom buttons).
  void triggered(Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  ButtonState state() const;
  const QImage& picture(ButtonState state);

  Glyph glyph_;
  Trigger trigger_;
  bool hover_ = false;
  bool down_ = false;
  qreal dpr_ = 0;  // of the cached pictures
  std::array<QImage, 4> pictures_;
};

// A picture or caption that reacts to a press of any mouse button.
class PressLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// The 25 x 25 picture of an option toggle, on or off; or, as the colour
// swatch, a button showing a picture. Given the Tab focus, Space or Enter
// presses it and a light outline shows the focus.
class TogglePicture : public PressLabel, public AccessibleControl {
  Q_OBJECT

 public:
  enum class Kind { kToggle, kButton };
  explicit TogglePicture(QWidget* parent, Kind kind = Kind::kToggle);
  void showState(bool on);
  bool isShownOn() const { return on_; }

  QAccessible::Role accessibleRole() const override;
  std::optional<bool> accessibleChecked() const override;
  void doAccessibleAction() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Kind kind_;
  bool on_ = false;
};

// The focus mark of the round buttons and the toggles, over their picture:
// a thin light ring inside a disc or pill, a light outline around a square.
void paintFocusRing(QWidget* widget, bool round);

// The title strip of a borderless window: tiled with the title tile, it
// moves its window while a mouse button is held on it. The window system
// moves the window where it can (Wayland, most X11 window managers);
// otherwise the window follows the pointer step by step.
class TitleBar : public QWidget {
  Q_OBJECT

 public:
  explicit TitleBar(QWidget* parent);

  // Labels on the strip let the press through to it.
  void addPassThrough(QWidget* child);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  bool dragging_ = false;
  QPoint pressOffset_;  // pointer position relative to the window's top-left at the press
  QImage tile_;
};

// A frame of the given colour and width around the whole of its parent,
// drawn over the children (the title strip included) and letting every
// pointer event through.
class WindowFrame : public QWidget {
 public:
  WindowFrame(QColor color, int width, QWidget* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
  int width_;
};

// Paints a picture tiled from the widget's top-left corner, in whole tiles.
void paintTiled(QWidget* widget, QPaintEvent* event, const QImage& tile);

// Makes the interface face available once per process: Tahoma where the
// desktop has it, else the free Tahoma of Debian's fonts-wine, loaded from its
// folder (outside fontconfig's search path, so other programs never see it).
// False when neither is there; DejaVu Sans then stands in, wider.
bool installInterfaceFont();

// Sets the pixel font of a label or field: the interface face at `pixels`
// height (DejaVu Sans stands in where Tahoma is not installed).
void setInterfaceFont(QWidget* widget, int pixels);

// 0x00BBGGRR as a Qt colour.
QColor colorFromBgr(unsigned bgr);

}  // namespace kurvana::ui
