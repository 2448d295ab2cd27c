// What screen readers (Qt accessibility, AT-SPI on Linux) learn about the
// windows' own picture widgets: the control each stands for, its checked
// state and the action that presses or toggles it.
#pragma once

#include <QAccessible>
#include <optional>

class QWidget;

namespace kurvana::ui {

// Mixed into a widget that paints a control of its own. Its name is the
// widget's accessibleName(), its description the tool tip.
class AccessibleControl {
 public:
  // Installs the interfaces before the widget's first accessibility event.
  AccessibleControl();
  virtual ~AccessibleControl() = default;

  virtual QAccessible::Role accessibleRole() const = 0;
  // Check boxes give their state; nothing for other controls.
  virtual std::optional<bool> accessibleChecked() const { return std::nullopt; }
  // The press of a button or link, the toggle of a check box; windows have none.
  virtual void doAccessibleAction() {}
};

// Tells a screen reader that a check box's state changed.
void notifyCheckedChanged(QWidget* widget);

}  // namespace kurvana::ui
