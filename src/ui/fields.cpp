#include "ui/fields.h"

#include <QFocusEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace kurvana::ui {
namespace {

// QLineEdit keeps this many pixels free on either side of its text.
constexpr int kTextMargin = 2;

}  // namespace

FormulaField::FormulaField(const QString& label, QWidget* parent)
    : QLineEdit(label, parent), label_(label) {}

int FormulaField::labelLength() const {
  // The formula language ignores case, so "f(x)=" is the label as well.
  return text().startsWith(label_, Qt::CaseInsensitive) ? static_cast<int>(label_.size()) : 0;
}

void FormulaField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);  // Tab selects the whole text here
  const bool tabbed =
      event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
  const int label = labelLength();
  if (!tabbed || label == 0) return;
  // Selected from the end back to the label: the cursor sits after "F(x)=".
  const int length = static_cast<int>(text().size());
  setSelection(length, label - length);
}

RangeField::RangeField(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this] { updateToolTip(); });
}

void RangeField::showText(const QString& text) {
  setText(text);
  setCursorPosition(0);
}

bool RangeField::textOverflows() const {
  QStyleOptionFrame option;
  initStyleOption(&option);
  const QRect contents = style()
                             ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                             .marginsRemoved(textMargins());
  const int room = contents.width() - 2 * kTextMargin;
  return fontMetrics().horizontalAdvance(text()) > room;
}

void RangeField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  // The field keeps its place in the window when a menu opens or another
  // window becomes active: only leaving it for good moves the cursor home.
  const Qt::FocusReason reason = event->reason();
  if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
    setCursorPosition(0);
  }
}

void RangeField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  updateToolTip();
}

void RangeField::changeEvent(QEvent* event) {
  QLineEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) updateToolTip();
}

void RangeField::updateToolTip() {
  setToolTip(textOverflows() ? text() : QString());
}

}  // namespace kurvana::ui
