// The idle window: after the idle period without input the focused field's
// caret stops blinking and no timer of the window is left running; a key or
// the pointer starts the blinking again, and the window rests again after
// the next idle period. The desktop's flash time comes back with the window
// gone. The period is made short here; each wait ends on the rest itself.
#include "ui/caret_rest.h"

#include <QAbstractEventDispatcher>

#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

class CaretRestTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    caretRestMs = 100;
    desktopFlashTime = QApplication::cursorFlashTime();
    ASSERT_GT(desktopFlashTime, 1) << "the platform's caret does not blink";
  }

  static QList<QAbstractEventDispatcher::TimerInfo> timersOf(const QObject* object) {
    return QAbstractEventDispatcher::instance()->registeredTimers(const_cast<QObject*>(object));
  }

  // The blink timer lives in the field's text control, a child of the field.
  static std::vector<int> blinkIntervals(const QLineEdit* field) {
    std::vector<int> out;
    for (const QObject* child : field->children()) {
      for (const auto& timer : timersOf(child)) out.push_back(timer.interval);
    }
    return out;
  }

  // Every timer running on the window or any object inside it, as
  // "class: interval".
  std::vector<std::string> windowTimers() const {
    std::vector<std::string> out;
    QList<QObject*> objects = window->findChildren<QObject*>();
    objects.push_back(window.get());
    for (const QObject* o : objects) {
      for (const auto& timer : timersOf(o)) {
        out.push_back(std::string(o->metaObject()->className()) + ": " +
                      std::to_string(timer.interval));
      }
    }
    return out;
  }

  bool waitForRest() {
    return QTest::qWaitFor([this] { return rest()->resting(); }, kTimeoutMs);
  }
  CaretRest* rest() { return window->findChild<CaretRest*>(); }

  QLineEdit* focusedField() { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

  int desktopFlashTime = 0;
};

TEST_F(CaretRestTest, AfterTheIdlePeriodTheCaretStopsAndNoTimerOfTheWindowRuns) {
  startShown();
  QLineEdit* field = focusedField();
  ASSERT_NE(field, nullptr);
  ASSERT_TRUE(waitForRest());
  EXPECT_EQ(QApplication::cursorFlashTime(), 0);
  EXPECT_TRUE(blinkIntervals(field).empty());
  EXPECT_EQ(windowTimers(), std::vector<std::string>{});
}

TEST_F(CaretRestTest, AKeyStartsTheBlinkingAgainAndTheWindowRestsAgainAfterThePeriod) {
  startShown();
  QLineEdit* field = focusedField();
  ASSERT_NE(field, nullptr);
  ASSERT_TRUE(waitForRest());

  QTest::keyClick(field, Qt::Key_End);
  EXPECT_FALSE(rest()->resting());
  EXPECT_EQ(QApplication::cursorFlashTime(), desktopFlashTime);
  EXPECT_EQ(blinkIntervals(field), std::vector<int>{desktopFlashTime / 2});

  ASSERT_TRUE(waitForRest());
  EXPECT_TRUE(blinkIntervals(field).empty());
}

TEST_F(CaretRestTest, ThePointerStartsTheBlinkingAgain) {
  startShown();
  QLineEdit* field = focusedField();
  ASSERT_NE(field, nullptr);
  ASSERT_TRUE(waitForRest());

  QTest::mouseMove(find("plot"), QPoint(40, 40));
  EXPECT_FALSE(rest()->resting());
  EXPECT_EQ(QApplication::cursorFlashTime(), desktopFlashTime);
  EXPECT_EQ(blinkIntervals(field), std::vector<int>{desktopFlashTime / 2});
}

TEST_F(CaretRestTest, TheDesktopsFlashTimeComesBackWithTheWindowGone) {
  startShown();
  ASSERT_TRUE(waitForRest());
  window.reset();
  EXPECT_EQ(QApplication::cursorFlashTime(), desktopFlashTime);
}

}  // namespace
}  // namespace kurvana::ui
