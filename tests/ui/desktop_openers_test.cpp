// The desktop's opener from the window: when it has no program for the
// report or for the product page, one message says so and names the file or
// the address; the report is still written.
#include <gtest/gtest.h>

#include <QTest>

#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

class DesktopOpenersTest : public WindowTest {
 protected:
  // The window with `opener` as the desktop's opener, for reports and (with
  // `addresses`) for addresses too.
  MainWindow& startWith(std::vector<std::string> opener, bool addresses) {
    ControllerSetup s = setup();
    s.reportCommand = std::move(opener);
    MainWindow::Services desktop = services();
    if (addresses) desktop.openUrl = nullptr;
    window = std::make_unique<MainWindow>(std::move(s), std::nullopt, desktop);
    window->showCentred();
    EXPECT_TRUE(waitForFirstDraw());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), kTimeoutMs));
    return *window;
  }
};

// As xdg-open ends when the desktop has nothing for the file or address.
const std::vector<std::string> kNoProgram = {"/bin/sh", "-c", "exit 3", "xdg-open"};

TEST_F(DesktopOpenersTest, AReportTheDesktopCannotShowIsToldOnce) {
  MainWindow& w = startWith(kNoProgram, false);
  w.controller().toggleOption(Option::kReport);
  drawFormula("F(x)=x");
  ASSERT_TRUE(QTest::qWaitFor([this] { return !problems.empty(); }, kTimeoutMs));
  const fs::path report = folder / "kvreport.txt";
  EXPECT_EQ(problems.front(), QString::fromStdString(
                                  "Cannot open the report \"" + report.string() +
                                  "\": the desktop has no program for it (sh ended with status "
                                  "3). It is still written there after each Draw."));
  drawFormula("F(x)=x^2");
  drawFormula("F(x)=x^3");
  QTest::qWait(300);  // a second message would come from the watch by now
  EXPECT_EQ(problems.size(), 1);
  EXPECT_NE(slurp(report).find("F(x)=x^3"), std::string::npos);
}

TEST_F(DesktopOpenersTest, AnAddressTheDesktopCannotOpenIsTold) {
  startWith(kNoProgram, true);
  press("webPageButton");
  ASSERT_TRUE(QTest::qWaitFor([this] { return !problems.empty(); }, kTimeoutMs));
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].startsWith("Cannot open \"http")) << problems[0].toStdString();
  EXPECT_TRUE(problems[0].endsWith("\": the desktop has no program for it (sh ended with status 3)."))
      << problems[0].toStdString();
  // Each press asks again, and says so again.
  press("webPageButton");
  ASSERT_TRUE(QTest::qWaitFor([this] { return problems.size() == 2; }, kTimeoutMs));
}

TEST_F(DesktopOpenersTest, AnOpenerThatCannotStartIsToldAtOnce) {
  startWith({"kurvana-no-such-opener"}, true);
  press("webPageButton");
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].endsWith("\": kurvana-no-such-opener could not be started."))
      << problems[0].toStdString();
}

TEST_F(DesktopOpenersTest, AnOpenerThatWorksSaysNothing) {
  startWith({"/bin/true"}, true);
  window->controller().toggleOption(Option::kReport);
  drawFormula("F(x)=x");
  press("webPageButton");
  QTest::qWait(500);
  EXPECT_TRUE(problems.empty()) << problems.join("\n").toStdString();
}

}  // namespace
}  // namespace kurvana::ui
