// The about window opened from the title-bar icon, the update offer as the
// window makes it (against a local server on 127.0.0.1), and a dialog asked
// for while another of the program's windows is active.
#include "ui/about_window.h"
#include "ui/local_http_server.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/update_checker.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

using AboutWindowTest = WindowTest;

QColor linkColour(QLabel* link) {
  return link->palette().color(QPalette::WindowText);
}

TEST_F(AboutWindowTest, TheTitleIconOpensItAndTheLinkOpensTheProductPage) {
  startShown();
  window->setGeometry(100, 50, 1001, 700);
  QWidget* icon = find("titleIcon");
  // A press and a move on the icon do not drag the window; the click opens.
  QTest::mousePress(icon, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(icon, QPoint(25, 28));
  QTest::mouseRelease(icon, Qt::LeftButton, {}, QPoint(25, 28));
  EXPECT_EQ(window->pos(), QPoint(100, 50));
  auto* about = topLevel<AboutWindow>("aboutWindow");
  ASSERT_TRUE(QTest::qWaitFor([about] { return about->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(about->geometry(), QRect(100 + 290, 50 + 240, 420, 220));
  EXPECT_EQ(about->title(), "About this utility");

  QLabel* link = childOf<QLabel>(about, "productLink");
  EXPECT_EQ(link->text(), "Kurvana 1.0");
  EXPECT_EQ(linkColour(link), QColor(0, 36, 75));
  // The offscreen platform sends the pointer to the first window under it:
  // the main window goes out of the way.
  window->move(-3000, -3000);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(about, kTimeoutMs));
  QTest::mouseMove(link, QPoint(20, 10));
  EXPECT_EQ(linkColour(link), QColor(48, 84, 155));
  QTest::mouseMove(about, QPoint(30, 200));
  EXPECT_EQ(linkColour(link), QColor(0, 36, 75));

  QTest::mouseMove(link, QPoint(20, 10));
  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(20, 10));
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0], QUrl("https://www.talvoren.example/kurvana.htm"));
  EXPECT_FALSE(about->isVisible());

  // Activating the main window dismisses it.
  QTest::mouseClick(icon, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([about] { return about->isVisible(); }, kTimeoutMs));
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([about] { return !about->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(urls.size(), 1u);
}

class UpdateOfferTest : public WindowTest {
 protected:
  // Started with the draw and the version document; the settings record the
  // start-up wrote is removed, so that only the exit path can write it again.
  void startWith(const QByteArray& document, unsigned draw = 1) {
    server.answer("/kurvana/version.txt", httpResponse(200, document));
    versionDocument = server.url("/kurvana/version.txt");
    updateDrawValue = draw;
    start();
    fs::remove(folder / "Kurvana.ini");
    window->showCentred();
    ASSERT_TRUE(waitForFirstDraw());
  }
  // The checker is the window's child until it has finished.
  bool checkerGone() { return window->findChildren<UpdateChecker*>().isEmpty(); }
  void waitForTheCheck() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !server.requestLines().isEmpty(); }, kTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([this] { return checkerGone(); }, kTimeoutMs));
  }

  VersionServer server;
  const QString offer = "A new program version is available!\nDo you want to download it now?";
};

TEST_F(UpdateOfferTest, OkOpensTheDownloadAndRunsTheExitPath) {
  confirmAnswer = true;
  startWith("version1.1");
  waitForTheCheck();
  EXPECT_EQ(server.requestLines(), QList<QByteArray>({"GET /kurvana/version.txt HTTP/1.1"}));
  EXPECT_EQ(confirmations, QStringList({offer}));
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0], QUrl("https://files.talvoren.example/kvsetup.exe"));
  EXPECT_EQ(quits, 1);
  EXPECT_TRUE(fs::exists(folder / "Kurvana.ini"));
  EXPECT_EQ(updateDraws, 1);
}

TEST_F(UpdateOfferTest, CancelKeepsTheProgramRunning) {
  startWith("version1.1");
  waitForTheCheck();
  EXPECT_EQ(confirmations, QStringList({offer}));
  EXPECT_TRUE(urls.empty());
  EXPECT_EQ(quits, 0);
  EXPECT_FALSE(fs::exists(folder / "Kurvana.ini"));
  EXPECT_TRUE(window->isVisible());
  drawFormula("F(x)=x/3");
  EXPECT_TRUE(plotValid());
}

TEST_F(UpdateOfferTest, TheOwnVersionAsksNothing) {
  startWith("version1.0");
  waitForTheCheck();
  EXPECT_TRUE(confirmations.empty());
  EXPECT_TRUE(urls.empty());
  EXPECT_EQ(quits, 0);
}

// Only a draw of 1 (about one start in thirty) checks at all.
TEST_F(UpdateOfferTest, AnyOtherDrawSendsNoRequest) {
  for (const unsigned draw : {0u, 2u, 29u}) {
    SCOPED_TRACE(draw);
    updateDraws = 0;
    window.reset();
    startWith("version1.1", draw);
    EXPECT_EQ(updateDraws, 1);
    EXPECT_TRUE(checkerGone());
  }
  QTest::qWait(100);
  EXPECT_TRUE(server.requestLines().isEmpty());
  EXPECT_TRUE(confirmations.empty());
}

using PendingDialogTest = WindowTest;

// A press on the main window while the about window is active: the dialog
// comes whether or not the main window's activation follows.
TEST_F(PendingDialogTest, ADialogAskedForWhileAnotherWindowIsActiveAppears) {
  startShown();
  auto* about = topLevel<AboutWindow>("aboutWindow");
  const auto openAbout = [&] {
    QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
    return waitForFocus(about);
  };
  ASSERT_TRUE(openAbout());
  press("settingsButton");
  auto* settings = topLevel<SettingsDialog>("settingsDialog");
  EXPECT_TRUE(QTest::qWaitFor([settings] { return settings->isVisible(); }, kTimeoutMs));

  ASSERT_TRUE(openAbout());
  press("colorPickerCaption");
  window->activateWindow();  // what the press brings on a desktop
  auto* palette = topLevel<PaletteDialog>("paletteDialog");
  EXPECT_TRUE(QTest::qWaitFor([palette] { return palette->isVisible(); }, kTimeoutMs));
  EXPECT_FALSE(about->isVisible());
  QTest::qWait(400);  // past the wait for an activation that did come
  EXPECT_TRUE(palette->isVisible());
}

}  // namespace
}  // namespace kurvana::ui

namespace kurvana::ui {
namespace {

using LazyDialogTest = WindowTest;

// None of the small windows is made before it is wanted; the one the
// settings button opens is made then, with the languages start-up read and
// the texts in force.
TEST_F(LazyDialogTest, EachSmallWindowIsMadeWhenFirstOpened) {
  startShown();
  const auto made = [](const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name) return true;
    }
    return false;
  };
  for (const char* name : {"settingsDialog", "paletteDialog", "aboutWindow", "messageWindow"}) {
    EXPECT_FALSE(made(name)) << name;
  }
  press("settingsButton");
  ASSERT_TRUE(made("settingsDialog"));
  auto* settings = topLevel<SettingsDialog>("settingsDialog");
  EXPECT_TRUE(QTest::qWaitFor([settings] { return settings->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(settings->languageList()->count(),
            static_cast<int>(window->controller().languages().size()));
  EXPECT_EQ(settings->title(), "Settings");
  EXPECT_FALSE(made("paletteDialog"));
  EXPECT_FALSE(made("messageWindow"));
}

}  // namespace
}  // namespace kurvana::ui
