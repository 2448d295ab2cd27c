// The main window's input fields: a formula field that Tab enters behind its
// label, and a range field that shows the start of a number too long for it.
#pragma once

#include <QLineEdit>

namespace kurvana::ui {

// Holds "F(x)=" or "G(x)=" and the formula after it. Tab into it selects the
// formula only, the cursor right after the label, so that typing replaces the
// formula and keeps the label; a click places the cursor as usual.
class FormulaField : public QLineEdit {
  Q_OBJECT

 public:
  FormulaField(const QString& label, QWidget* parent);

  // The length of the label at the start of the text, or 0 when the user
  // edited it away.
  int labelLength() const;

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  QString label_;
};

// A number wider than the field shows its sign and leading digits (the
// cursor at the start once set or left) and the whole of it as tool tip.
class RangeField : public QLineEdit {
  Q_OBJECT

 public:
  explicit RangeField(QWidget* parent);

  // The text set, the cursor at its start.
  void showText(const QString& text);
  // Whether the text is wider than the room for it.
  bool textOverflows() const;

 protected:
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void updateToolTip();
};

}  // namespace kurvana::ui
