// The maximise caption button on the offscreen platform's 1920 x 1080
// screen, which maximises and restores as a window manager does, and with
// played window systems that never answer or have a larger screen; and the
// small windows as the main window's transient children.
#include <QWindow>

#include "ui/about_window.h"
#include "ui/chrome_widgets.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

// Counts the resizes a window goes through.
class ResizeCounter : public QObject {
 public:
  explicit ResizeCounter(QWidget* window) { window->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) ++count;
    return false;
  }
};

class WindowMaximise : public WindowTest {
 protected:
  static constexpr QRect kMaximised{0, 0, 1920, 1080};
  static constexpr QRect kNormal{100, 50, 1001, 700};

  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_EQ(screenSize(), QSize(1920, 1080));
  }

  RoundButton* button() { return find<RoundButton>("maximiseButton"); }
  void click() { QTest::mouseClick(button(), Qt::LeftButton); }
  bool showsRestore() { return button()->glyph() == Glyph::kRestore; }

  // Waits until the window has the geometry and the button the glyph.
  ::testing::AssertionResult reaches(QRect geometry, bool restoreGlyph) {
    if (QTest::qWaitFor(
            [&] { return window->geometry() == geometry && showsRestore() == restoreGlyph; },
            kTimeoutMs)) {
      return ::testing::AssertionSuccess();
    }
    const QRect g = window->geometry();
    return ::testing::AssertionFailure()
           << "the window is " << g.width() << "x" << g.height() << "+" << g.x() << "+" << g.y()
           << " showing the " << (showsRestore() ? "restore" : "maximise") << " glyph";
  }

  void placeAt(QRect geometry) {
    window->setGeometry(geometry);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->geometry() == geometry; }, kTimeoutMs));
  }

  void dragGrip() {
    QWidget* grip = find("grip");
    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(7, 6));
    QTest::mouseMove(grip, QPoint(-200, -150));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(-200, -150));
  }

  // The plot laid out for the window's size and drawn at it.
  void expectLaidOut(QSize window) {
    const QSize image = window - QSize(200, 100);
    EXPECT_EQ(find("plot")->size(), image);
    EXPECT_EQ(text("plotSize"),
              QString("= %1, %2").arg(image.width() - 40).arg(image.height() - 40));
    EXPECT_TRUE(plotValid());
    EXPECT_EQ(picture().size(), image);
  }

  std::vector<bool> asked;  // by a played window system: true for the maximised state
};

TEST_F(WindowMaximise, MaximiseThenRestoreGivesBackThePlaceAndSize) {
  writeHistory({"F(x)=x"});
  startShown();
  placeAt(kNormal);
  click();
  ASSERT_TRUE(reaches(kMaximised, true));
  EXPECT_TRUE(window->isMaximized());
  expectLaidOut(kMaximised.size());

  click();
  ASSERT_TRUE(reaches(kNormal, false));
  EXPECT_FALSE(window->isMaximized());
  expectLaidOut(kNormal.size());
}

// Judged on the geometry the window had before, once the window system has
// restored it.
TEST_F(WindowMaximise, ANearlyScreenSizedWindowIsRestoredToTheSmallestSize) {
  struct Case {
    QRect normal;
    QRect restored;
  };
  const Case cases[] = {
      {{5, 5, 1910, 700}, {5, 5, 900, 633}},   // exactly the screen's width less 10
      {{5, 5, 1000, 1070}, {5, 5, 900, 633}},  // exactly its height less 10
      {{5, 5, 1909, 1069}, {5, 5, 1909, 1069}},
  };
  startShown();
  for (const Case& c : cases) {
    SCOPED_TRACE(QString("%1x%2").arg(c.normal.width()).arg(c.normal.height()).toStdString());
    placeAt(c.normal);
    click();
    ASSERT_TRUE(reaches(kMaximised, true));
    click();
    ASSERT_TRUE(reaches(c.restored, false));
  }
}

// The rule: as wide or as high as the screen counts as maximised.
TEST_F(WindowMaximise, AScreenWideWindowGoesToTheSmallestSize) {
  writeHistory({"F(x)=x"});
  startShown();
  placeAt(QRect(10, 0, 1200, 1080));
  click();
  ASSERT_TRUE(reaches(QRect(10, 0, 900, 633), false));
  EXPECT_FALSE(window->isMaximized());
  expectLaidOut(QSize(900, 633));
  placeAt(QRect(0, 20, 1920, 900));
  click();
  ASSERT_TRUE(reaches(QRect(0, 20, 900, 633), false));
}

// Without a window manager nothing answers: after the wait the window makes
// itself as large as the screen, and the next press restores it.
TEST_F(WindowMaximise, AWindowSystemThatIgnoresTheRequestStillRestores) {
  askWindowState = [this](bool maximised) { asked.push_back(maximised); };
  startShown();
  placeAt(kNormal);
  click();
  ASSERT_TRUE(reaches(kMaximised, true));
  EXPECT_EQ(asked, std::vector<bool>{true});
  EXPECT_FALSE(window->isMaximized());
  click();
  ASSERT_TRUE(reaches(kNormal, false));
  EXPECT_EQ(asked, std::vector<bool>{true});  // restored without asking
}

// Beyond the largest window (2240 x 1440) the window system is not asked:
// the window takes that size centred on the work area, the next press
// restores it though it is neither as wide nor as high as the screen.
TEST_F(WindowMaximise, AWorkAreaLargerThanTheLargestWindow) {
  writeHistory({"F(x)=x"});
  askWindowState = [this](bool maximised) { asked.push_back(maximised); };
  workArea = [] { return QRect(0, 0, 2560, 1600); };
  startShown();
  placeAt(kNormal);
  click();
  ASSERT_TRUE(reaches(QRect(160, 80, 2240, 1440), true));
  expectLaidOut(QSize(2240, 1440));
  click();
  ASSERT_TRUE(reaches(kNormal, false));
  EXPECT_TRUE(asked.empty());
  // The grip ends a maximise of our own: the next press maximises again.
  click();
  ASSERT_TRUE(reaches(QRect(160, 80, 2240, 1440), true));
  QWidget* grip = find("grip");
  QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(7, 6));
  EXPECT_FALSE(showsRestore());
  QTest::mouseMove(grip, QPoint(-93, -94));
  QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(-93, -94));
  ASSERT_EQ(window->size(), QSize(2140, 1340));
  click();
  EXPECT_TRUE(reaches(QRect(160, 80, 2240, 1440), true));
}

// While the request is out and while the window system holds the window
// maximised, nothing resizes it; a press meanwhile waits for the answer.
TEST_F(WindowMaximise, NothingResizesTheWindowWhileMaximisedOrAsked) {
  askWindowState = [this](bool maximised) { asked.push_back(maximised); };
  windowSystemAnswerMs = 3600 * 1000;  // answered by the test, however slow the machine
  startShown();
  placeAt(kNormal);
  ResizeCounter resizes(window.get());
  click();
  ASSERT_EQ(asked, std::vector<bool>{true});
  dragGrip();
  EXPECT_EQ(resizes.count, 0);
  click();  // waits for the answer
  EXPECT_EQ(asked, std::vector<bool>{true});

  window->showMaximized();  // the answer; the waiting press then asks to restore
  ASSERT_TRUE(QTest::qWaitFor([this] { return asked.size() == 2; }, kTimeoutMs));
  EXPECT_EQ(asked, (std::vector<bool>{true, false}));
  EXPECT_EQ(window->geometry(), kMaximised);
  resizes.count = 0;
  dragGrip();
  EXPECT_EQ(resizes.count, 0);
  EXPECT_EQ(window->geometry(), kMaximised);

  window->showNormal();  // restored by the window system, then placed as it was
  ASSERT_TRUE(reaches(kNormal, false));
}

TEST_F(WindowMaximise, TheSmallWindowsAreTransientChildrenOfTheMainWindow) {
  startShown();
  const auto expectChild = [this](QWidget* w, const char* what) {
    ASSERT_NE(w, nullptr) << what;
    ASSERT_TRUE(QTest::qWaitFor([w] { return w->isVisible(); }, kTimeoutMs)) << what;
    EXPECT_TRUE(w->isWindow()) << what;
    EXPECT_EQ(w->parentWidget(), window.get()) << what;
    ASSERT_NE(w->windowHandle(), nullptr) << what;
    EXPECT_EQ(w->windowHandle()->transientParent(), window->windowHandle()) << what;
  };
  press("settingsButton");
  expectChild(topLevel<SettingsDialog>("settingsDialog"), "settings");
  press("colorPickerCaption");
  expectChild(topLevel<PaletteDialog>("paletteDialog"), "palette");
  QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
  expectChild(topLevel<AboutWindow>("aboutWindow"), "about");
  drawFormula("F(x)=2pi*x");
  expectChild(&window->messageWindow(), "message");

  // The main window's unique_ptrs delete them once, before its children go.
  window.reset();
  for (QWidget* w : QApplication::topLevelWidgets()) {
    EXPECT_EQ(qobject_cast<DialogWindow*>(w), nullptr) << w->objectName().toStdString();
  }
}

}  // namespace
}  // namespace kurvana::ui
