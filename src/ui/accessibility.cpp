#include "ui/accessibility.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace kurvana::ui {
namespace {

QString actionOf(QAccessible::Role role) {
  switch (role) {
    case QAccessible::CheckBox:
      return QAccessibleActionInterface::toggleAction();
    case QAccessible::Button:
    case QAccessible::Link:
      return QAccessibleActionInterface::pressAction();
    default:
      return QString();
  }
}

class ControlInterface : public QAccessibleWidget {
 public:
  ControlInterface(QWidget* widget, AccessibleControl* control)
      : QAccessibleWidget(widget, control->accessibleRole()), control_(control) {}

  QAccessible::Role role() const override { return control_->accessibleRole(); }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (const std::optional<bool> checked = control_->accessibleChecked()) {
      s.checkable = true;
      s.checked = *checked;
    }
    return s;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();  // setFocus where it can take it
    if (const QString own = actionOf(role()); !own.isEmpty()) names.prepend(own);
    return names;
  }

  void doAction(const QString& name) override {
    if (name.isEmpty() || name != actionOf(role())) {
      QAccessibleWidget::doAction(name);
      return;
    }
    if (widget()->isEnabled()) control_->doAccessibleAction();
  }

  QStringList keyBindingsForAction(const QString& name) const override {
    if (name == actionOf(role()) && widget()->focusPolicy() != Qt::NoFocus) {
      return {QStringLiteral("Space")};
    }
    return QAccessibleWidget::keyBindingsForAction(name);
  }

 private:
  AccessibleControl* control_;
};

// Asked for every class name up the chain, most derived first: the first
// call for one of our controls answers.
QAccessibleInterface* controlFactory(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  auto* control = dynamic_cast<AccessibleControl*>(object);
  if (control == nullptr) return nullptr;
  return new ControlInterface(widget, control);
}

}  // namespace

AccessibleControl::AccessibleControl() {
  // Installing twice keeps one entry.
  QAccessible::installFactory(&controlFactory);
}

void notifyCheckedChanged(QWidget* widget) {
  QAccessible::State changed;
  changed.checked = true;
  QAccessibleStateChangeEvent event(widget, changed);
  QAccessible::updateAccessibility(&event);
}

}  // namespace kurvana::ui
