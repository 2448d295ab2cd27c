// The real main window on a Wayland compositor (weston, started by
// under_weston.sh), its controls pressed through QTest since the headless
// compositor has no input devices: maximise and restore, each small window
// and its dismissal, and the exit path. A protocol error ends the process
// before the summary.
#include <QWindow>

#include "app/maximise_toggle.h"
#include "ui/about_window.h"
#include "ui/chrome_widgets.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

class WaylandWindow : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QGuiApplication::platformName().startsWith("wayland"))
        << "run by under_weston.sh, not on " << QGuiApplication::platformName().toStdString();
    WindowTest::SetUp();
  }

  // Shown as the splash shows it. Without a seat the compositor activates
  // nothing, so the wait is for the window on the screen and its first plot.
  void show() {
    start();
    window->showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get(), kTimeoutMs));
    ASSERT_TRUE(waitForFirstDraw());
  }

  RoundButton* button() { return find<RoundButton>("maximiseButton"); }
  void click() { QTest::mouseClick(button(), Qt::LeftButton); }
  bool showsRestore() { return button()->glyph() == Glyph::kRestore; }

  ::testing::AssertionResult reaches(const std::function<bool()>& done, const char* what) {
    if (QTest::qWaitFor([&] { return done(); }, kTimeoutMs)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << what << ": the window is " << window->width() << "x" << window->height()
           << (window->isMaximized() ? " maximised" : "") << " showing the "
           << (showsRestore() ? "restore" : "maximise") << " glyph";
  }

  void expectLaidOut() {
    const QSize image = window->size() - QSize(200, 100);
    EXPECT_EQ(find("plot")->size(), image);
    EXPECT_EQ(picture().size(), image);
    EXPECT_TRUE(plotValid());
  }

  // Opened as the user opens it; over the main window, by the compositor.
  void expectShownOverTheWindow(QWidget* w, const char* what) {
    ASSERT_NE(w, nullptr) << what;
    // Shown once the main window's activation was awaited in vain.
    ASSERT_TRUE(QTest::qWaitFor([w] { return w->isVisible(); }, kTimeoutMs)) << what;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w, kTimeoutMs)) << what;
    ASSERT_NE(w->windowHandle(), nullptr) << what;
    EXPECT_EQ(w->windowHandle()->transientParent(), window->windowHandle()) << what;
  }
};

TEST_F(WaylandWindow, MaximiseRestoreEachWindowAndExit) {
  writeHistory({"F(x)=x"});
  show();
  const QSize normal = window->size();
  ASSERT_EQ(normal, QSize(1024, 768));
  const QSize screen = screenSize();
  // Up to a screen as large as the largest window the compositor maximises
  // (less its panel); beyond, the window takes the largest size itself: a
  // compositor's maximised window larger than that is a protocol error.
  const bool byCompositor = screen.width() <= 2240 && screen.height() <= 1440;
  ASSERT_TRUE(byCompositor || (screen.width() >= 2240 && screen.height() >= 1440))
      << "a screen partly larger than the largest window: " << screen.width() << "x"
      << screen.height();

  click();
  if (byCompositor) {
    ASSERT_TRUE(reaches(
        [&] {
          return window->isMaximized() && window->width() == screen.width() && showsRestore();
        },
        "maximised by the compositor"));
    EXPECT_LE(window->height(), screen.height());
  } else {
    ASSERT_TRUE(reaches([&] { return window->size() == QSize(2240, 1440) && showsRestore(); },
                        "the largest size"));
    EXPECT_FALSE(window->isMaximized());
  }
  expectLaidOut();

  click();
  ASSERT_TRUE(
      reaches([&] { return !window->isMaximized() && window->size() == normal && !showsRestore(); },
              "restored"));
  expectLaidOut();
  // Once more: the record is sound after a round trip.
  click();
  ASSERT_TRUE(reaches([&] { return showsRestore(); }, "maximised again"));
  click();
  ASSERT_TRUE(
      reaches([&] { return !window->isMaximized() && window->size() == normal && !showsRestore(); },
              "restored again"));

  press("settingsButton");
  expectShownOverTheWindow(topLevel<SettingsDialog>("settingsDialog"), "settings");
  press("colorPickerCaption");
  expectShownOverTheWindow(topLevel<PaletteDialog>("paletteDialog"), "palette");
  QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
  expectShownOverTheWindow(topLevel<AboutWindow>("aboutWindow"), "about");
  drawFormula("F(x)=2pi*x");
  expectShownOverTheWindow(&window->messageWindow(), "message");
  ASSERT_EQ(messageLines().size(), 3u);
  // A press in the main window dismisses them all, activated or not.
  QTest::mouseClick(find("readoutX"), Qt::LeftButton);
  for (QWidget* w : {static_cast<QWidget*>(topLevel<SettingsDialog>("settingsDialog")),
                     static_cast<QWidget*>(topLevel<PaletteDialog>("paletteDialog")),
                     static_cast<QWidget*>(topLevel<AboutWindow>("aboutWindow")),
                     static_cast<QWidget*>(&window->messageWindow())}) {
    // The message goes once the press has been handled: a Draw it started
    // may have brought a new one.
    EXPECT_TRUE(QTest::qWaitFor([w] { return !w->isVisible(); }, kTimeoutMs))
        << w->objectName().toStdString();
  }

  // The close button runs the exit path: the settings record is written
  // with the window's size.
  fs::remove(folder / "Kurvana.ini");
  QTest::mouseClick(find("closeButton"), Qt::LeftButton);
  EXPECT_EQ(quits, 1);
  PlotState stored;
  WindowExtent size;
  ASSERT_EQ(readSettings(folder / "Kurvana.ini", stored, size).message(), "");
  EXPECT_EQ(size.width, 1024);
  EXPECT_EQ(size.height, 768);
}

}  // namespace
}  // namespace kurvana::ui
