// The controller against a fake window and a temporary home folder: start-up
// in order, the Draw's history and report, the commands that redraw, drops,
// saving and the exit path.
#include "app/controller.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/as_other_user.h"
#include "files/language_file.h"
#include "files/settings_record.h"
#include "app/fake_view.h"
#include "plot/number_format.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class ControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "home");
    view.window = {1024, 768};  // W = 784, H = 628
  }

  ControllerSetup setup() {
    ControllerSetup s;
    s.environment = testing::environmentOf(vars);
    s.executable = "/opt/kurvana/bin/kurvana";
    s.reportCommand = reportCommand;
    s.runCommand = [this](const std::vector<std::string>& argv) { commands.push_back(argv); };
    return s;
  }

  Controller& start(std::optional<std::string> argument = std::nullopt,
                    Size screen = {1920, 1080}) {
    controller = std::make_unique<Controller>(view, setup());
    controller->app().decimalSeparator = ".";
    controller->app().labelFont.reset();
    startStatus = controller->startUp(screen, argument);
    return *controller;
  }

  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }
  static void writeFile(const fs::path& path, const std::string& text) {
    testing::writeWhole(path, text);
  }
  // The whole picture is the same as `before`, pixel for pixel.
  bool pictureIs(const Bitmap& before) const {
    const Bitmap& now = controller->picture();
    return now.width() == before.width() && now.height() == before.height() &&
           std::memcmp(before.data(), now.data(),
                       4u * static_cast<unsigned>(now.width() * now.height())) == 0;
  }
  std::string field(Field f) { return view.texts[f]; }
  // Newest formulas of two-function mode.
  void writeHistory2() {
    writeFile(folder / "Kurvana2.lst", "F(x)=cos(x)\r\n");
    writeFile(folder / "Kurvana3.lst", "G(x)=sin(x)\r\n");
  }

  testing::TemporaryFolder temp{"ctl"};
  const fs::path root = temp.path();
  const fs::path folder = root / "home/Documents/Talvoren/Kurvana";
  std::map<std::string, std::string> vars = {{"HOME", (root / "home").string()},
                                             {"XDG_CONFIG_HOME", (root / "config").string()},
                                             {"XDG_DATA_HOME", (root / "data").string()}};
  std::vector<std::vector<std::string>> commands;
  // The "editor" leaves a copy of what it was given to open.
  std::vector<std::string> reportCommand = {"/bin/sh", "-c", "cp \"$1\" \"$1.opened\"", "editor"};
  testing::FakeView view;
  std::unique_ptr<Controller> controller;
  Status startStatus;
};

TEST_F(ControllerTest, FirstStartMakesTheFolderAndTheRecordAndShowsTheBareLabel) {
  Controller& c = start();
  ASSERT_TRUE(startStatus.ok()) << startStatus.messages().front();
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(fs::file_size(folder / "Kurvana.ini"), 89u);
  EXPECT_FALSE(fs::exists(folder / "Kurvana.lst"));
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=");
  for (const auto& [f, text] :
       {std::pair{Field::kXMin, "0"}, std::pair{Field::kXMax, "10"}, std::pair{Field::kYMin, "-5"},
        std::pair{Field::kYMax, "5"}, std::pair{Field::kZMin, "0"}, std::pair{Field::kZMax, "10"},
        std::pair{Field::kZCount, "1000"}}) {
    EXPECT_EQ(field(f), text) << static_cast<int>(f);
  }
  for (const Toggle t : {Toggle::kAutoScale, Toggle::kFilled, Toggle::kLines, Toggle::kCircle}) {
    ASSERT_EQ(view.toggles.count(t), 1u) << static_cast<int>(t);
    EXPECT_FALSE(view.toggles[t]) << static_cast<int>(t);
  }
  EXPECT_EQ(view.fileName, std::optional<std::string>(""));
  ASSERT_EQ(view.formulaAreas.size(), 1u);
  EXPECT_EQ(view.formulaAreas[0], FormulaArea::kOneFunction);
  EXPECT_EQ(view.swatch, std::optional<std::uint32_t>(kDefaultCurveColor));
  EXPECT_EQ(c.windowSize().width, 1024);
  // The file types were registered and the databases refreshed, not waited for.
  EXPECT_TRUE(fs::exists(root / "data/applications/kurvana.desktop"));
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0][0], "update-mime-database");
}

TEST_F(ControllerTest, ARecordLargerThanTheScreenIsFittedAndWrittenBack) {
  PlotState stored;
  stored.xMin = 0.1L;  // shown with up to 15 digits at start-up
  stored.optAutoScale = flagOn;
  stored.optTwoFunctions = flagOn;
  fs::create_directories(folder);
  ASSERT_EQ(writeSettings(folder / "Kurvana.ini", stored, WindowExtent{3000, 2000}).message(), "");
  writeFile(folder / "Kurvana2.lst", "F(x)=cos(x)\r\n");
  writeFile(folder / "Kurvana3.lst", "G(x)=sin(x)\r\n");
  Controller& c = start();
  EXPECT_EQ(c.windowSize().width, 1920);
  EXPECT_EQ(c.windowSize().height, 1050);
  PlotState reread;
  WindowExtent window;
  ASSERT_EQ(readSettings(folder / "Kurvana.ini", reread, window).message(), "");
  EXPECT_EQ(window.width, 1920);
  EXPECT_EQ(window.height, 1050);
  EXPECT_EQ(field(Field::kXMin), "0.1");
  EXPECT_EQ(view.toggles[Toggle::kAutoScale], true);
  EXPECT_FALSE(view.isEnabled(Field::kXMin));  // automatic scale in two-function mode
  EXPECT_FALSE(view.isEnabled(Field::kYMax));
  EXPECT_EQ(view.formulaAreas.back(), FormulaArea::kTwoFunctions);
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=cos(x)");
  EXPECT_EQ(field(Field::kFormulaG), "G(x)=sin(x)");
}

TEST_F(ControllerTest, ADataFolderThatCannotBeMadeEndsStartUpWithoutWriting) {
  writeFile(root / "home/Documents", "a file where the folder should be");
  start();
  EXPECT_TRUE(startStatus.isFatal());
  ASSERT_EQ(startStatus.messages().size(), 1u);
  EXPECT_NE(startStatus.messages()[0].find((root / "home/Documents/Talvoren/Kurvana").string()),
            std::string::npos)
      << startStatus.messages()[0];
  EXPECT_TRUE(commands.empty());
  EXPECT_FALSE(fs::exists(root / "data"));
  EXPECT_TRUE(controller->exit().ok());  // nothing to write without the folder
}

TEST_F(ControllerTest, ACapitalKv2OnTheCommandLineSwitchesToTwoFunctions) {
  const fs::path file = root / "pair.KV2";
  writeFile(file, "F(x)=cos(x)\r\nG(x)=sin(2*x)\r\npolar = false\r\n");
  Controller& c = start(file.string());
  ASSERT_TRUE(startStatus.ok());
  EXPECT_TRUE(isOn(c.plot().optTwoFunctions));
  EXPECT_EQ(view.formulaAreas.back(), FormulaArea::kTwoFunctions);
  EXPECT_EQ(field(Field::kFormulaG), "G(x)=sin(2*x)");
  EXPECT_EQ(view.fileName, std::optional<std::string>("pair.KV2"));
  const DrawResult first = c.firstDraw();
  EXPECT_EQ(first.outcome, DrawOutcome::kDrawn);
}

TEST_F(ControllerTest, AnUnreadableCommandLineFileIsReportedAndStartUpCompletes) {
  writeFile(folder / "Kurvana.lst", "F(x)=x^2\r\n");
  Controller& c = start((root / "missing.kv2").string());
  ASSERT_EQ(startStatus.messages().size(), 1u);
  EXPECT_FALSE(startStatus.isFatal());
  EXPECT_NE(startStatus.messages()[0].find("missing.kv2"), std::string::npos);
  EXPECT_FALSE(isOn(c.plot().optTwoFunctions));  // nothing read: the mode stays
  EXPECT_EQ(view.formulaAreas.back(), FormulaArea::kOneFunction);
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=x^2");
  EXPECT_EQ(view.fileName, std::optional<std::string>(""));
}

TEST_F(ControllerTest, HistoryFollowsSuccessfulDrawsAndAFailedWriteIsReported) {
  Controller& c = start();
  view.texts[Field::kFormulaF] = "F(x)=sin(x)";
  DrawResult drawn = c.redraw();
  EXPECT_EQ(drawn.outcome, DrawOutcome::kDrawn);
  EXPECT_TRUE(drawn.status.ok());
  view.texts[Field::kFormulaF] = "F(x)=1/(x-x)";
  drawn = c.draw();
  EXPECT_EQ(drawn.outcome, DrawOutcome::kEvaluationError);
  std::string tenLines = "F(x)=sin(x)\r\n";
  for (int i = 0; i < 9; ++i) tenLines += "\r\n";
  EXPECT_EQ(slurp(folder / "Kurvana.lst"), tenLines);

  fs::remove_all(folder);  // the folder went away under the program
  view.texts[Field::kFormulaF] = "F(x)=x";
  drawn = c.draw();
  EXPECT_EQ(drawn.outcome, DrawOutcome::kDrawn);  // still drawn
  ASSERT_EQ(drawn.status.messages().size(), 1u);
  EXPECT_NE(drawn.status.messages()[0].find("Kurvana.lst"), std::string::npos);
}

TEST_F(ControllerTest, TheReportIsWrittenAndOpenedAfterTheRingIsTakenAway) {
  Controller& c = start();
  PlotState& s = c.app().plot;
  s.optReport = flagOn;
  s.optCircle = flagOn;
  view.texts[Field::kFormulaF] = "F(x)=x-5";
  DrawResult drawn = c.redraw();
  ASSERT_EQ(drawn.outcome, DrawOutcome::kDrawn);
  EXPECT_TRUE(drawn.reportWritten);
  const fs::path report = folder / "kvreport.txt";
  const fs::path opened = report.string() + ".opened";
  const auto editorRan = [&] {
    for (int i = 0; i < 200 && !fs::exists(opened); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(opened);
  };
  ASSERT_TRUE(editorRan());
  fs::remove(opened);
  const Bitmap before = c.picture();
  const Rect ring = c.pointerMoved(Keys{}, Point{300, 100});
  ASSERT_TRUE(s.circleShown);
  EXPECT_EQ(ring.right - ring.left, 15);
  EXPECT_EQ(ring.bottom - ring.top, 15);

  drawn = c.draw();
  EXPECT_FALSE(s.circleShown);
  EXPECT_TRUE(pictureIs(before));  // the ring was put back before the curve was painted again
  ASSERT_TRUE(fs::exists(report));
  EXPECT_TRUE(editorRan());  // the next report opened again

  fs::remove_all(folder);
  drawn = c.draw();
  EXPECT_EQ(drawn.outcome, DrawOutcome::kDrawn);
  EXPECT_FALSE(drawn.reportWritten);
  EXPECT_TRUE(s.plotValid);
  bool named = false;
  for (const auto& m : drawn.status.messages())
    named = named || m.find("kvreport.txt") != std::string::npos;
  EXPECT_TRUE(named);
}

TEST_F(ControllerTest, ADesktopWithoutAProgramForTheReportIsToldOnce) {
  // As xdg-open ends when the desktop has nothing for text files; it leaves
  // a mark for each time it ran.
  reportCommand = {"/bin/sh", "-c", "echo x >> \"$1.runs\"; exit 3", "xdg-open"};
  Controller& c = start();
  c.app().plot.optReport = flagOn;
  view.texts[Field::kFormulaF] = "F(x)=x";
  const fs::path report = folder / "kvreport.txt";
  const fs::path runs = report.string() + ".runs";
  ASSERT_TRUE(c.redraw().status.ok());
  EXPECT_TRUE(c.reportOpeningPending());
  Status told;
  for (int i = 0; i < 3000 && told.ok() && c.reportOpeningPending(); ++i) {
    told = c.reportOpening();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (told.ok()) told = c.reportOpening();
  ASSERT_EQ(told.messages().size(), 1u);
  EXPECT_EQ(told.messages()[0],
            "Cannot open the report \"" + report.string() +
                "\": the desktop has no program for it (sh ended with status 3). It is still "
                "written there after each Draw.");
  EXPECT_TRUE(c.reportOpening().ok());  // once
  // Later Draws write the report and try no more.
  view.texts[Field::kFormulaF] = "F(x)=x^2";
  const DrawResult later = c.draw();
  EXPECT_TRUE(later.reportWritten);
  EXPECT_TRUE(later.status.ok());
  EXPECT_FALSE(c.reportOpeningPending());
  EXPECT_EQ(slurp(runs), "x\n");
  // Switched off and on again, the next Draw tries again.
  c.toggleOption(Option::kReport);
  c.toggleOption(Option::kReport);
  EXPECT_TRUE(c.draw().status.ok());
  EXPECT_TRUE(c.reportOpeningPending());

  // No opener at all: said at once.
  reportCommand = {"kurvana-no-such-opener"};
  Controller& again = start();
  again.app().plot.optReport = flagOn;
  view.texts[Field::kFormulaF] = "F(x)=x";
  const DrawResult drawn = again.redraw();
  ASSERT_EQ(drawn.status.messages().size(), 1u);
  EXPECT_EQ(drawn.status.messages()[0],
            "Cannot open the report \"" + report.string() +
                "\": kurvana-no-such-opener could not be started. It is still written there "
                "after each Draw.");
  EXPECT_TRUE(again.draw().status.ok());
}

TEST_F(ControllerTest, TogglesRedrawByTheirOwnRules) {
  Controller& c = start();
  const PlotState& s = c.plot();
  EXPECT_TRUE(c.toggleLines().ok());
  EXPECT_EQ(view.compiledDraws(), 0);  // no plot yet: nothing drawn
  view.texts[Field::kFormulaF] = "F(x)=x";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  EXPECT_TRUE(c.toggleLines().ok());
  EXPECT_EQ(view.compiledDraws(), 2);
  EXPECT_FALSE(isOn(s.optLines));
  EXPECT_EQ(view.toggles[Toggle::kLines], false);
  EXPECT_TRUE(c.toggleFilled().ok());
  EXPECT_EQ(view.compiledDraws(), 3);
  c.toggleAutoScale();
  EXPECT_EQ(view.compiledDraws(), 3);
  EXPECT_FALSE(view.isEnabled(Field::kYMin));
  EXPECT_TRUE(view.isEnabled(Field::kXMin));

  c.app().plot.optTwoFunctions = flagOn;
  EXPECT_TRUE(c.toggleFilled().ok());  // two functions are never filled
  EXPECT_EQ(view.compiledDraws(), 3);
  EXPECT_FALSE(isOn(s.optFilled));
  EXPECT_EQ(view.toggles[Toggle::kFilled], false);
}

TEST_F(ControllerTest, ClearingThePictureEndsThePlot) {
  Controller& c = start();
  view.texts[Field::kFormulaF] = "F(x)=x";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  c.clearPicture();
  EXPECT_FALSE(c.plot().plotValid);
  EXPECT_FALSE(c.prepareSavePicture());
  EXPECT_EQ(view.beeps, 1);
  EXPECT_EQ(c.pointerPressed(MouseButton::kRight, Point{100, 100}), PlotPress::kMenuDisabled);
}

TEST_F(ControllerTest, TheCircleToggleTakesTheRingOffWithoutARedraw) {
  Controller& c = start();
  c.toggleCircle();
  view.texts[Field::kFormulaF] = "F(x)=x-5";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  const Bitmap before = c.picture();
  (void)c.pointerMoved(Keys{}, Point{300, 100});
  ASSERT_TRUE(c.plot().circleShown);
  c.toggleCircle();
  EXPECT_FALSE(c.plot().circleShown);
  EXPECT_EQ(view.compiledDraws(), 1);
  EXPECT_TRUE(pictureIs(before));
}

// A pointer move asks for the repaint of the box around the ring it took
// away and the ring it placed, whichever way the ring went.
TEST_F(ControllerTest, APointerMoveRepaintsTheOldAndTheNewRing) {
  Controller& c = start();
  c.toggleCircle();
  view.texts[Field::kFormulaF] = "F(x)=x-5";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  const ExploreState& e = c.app().explore;
  std::optional<Rect> ring;  // the ring on the picture before the move
  for (const int x : {300, 340, 260, 5, 500, 501}) {
    const Rect repaint = c.pointerMoved(Keys{}, Point{x, 100});
    std::optional<Rect> now;
    if (c.plot().circleShown) now = e.circleRect;
    if (x >= 20) {
      ASSERT_TRUE(now) << x;
      EXPECT_EQ(now->left, x - 7) << x;
      EXPECT_EQ(now->right, x + 8) << x;
    }
    Rect expected{};
    if (ring && now) {
      expected = Rect{std::min(ring->left, now->left), std::min(ring->top, now->top),
                      std::max(ring->right, now->right), std::max(ring->bottom, now->bottom)};
    } else if (ring || now) {
      expected = ring ? *ring : *now;
    }
    EXPECT_EQ(repaint.left, expected.left) << x;
    EXPECT_EQ(repaint.top, expected.top) << x;
    EXPECT_EQ(repaint.right, expected.right) << x;
    EXPECT_EQ(repaint.bottom, expected.bottom) << x;
    ring = now;
  }
}

TEST_F(ControllerTest, SavingThePictureNeverSavesTheRing) {
  Controller& c = start();
  c.toggleCircle();
  view.texts[Field::kFormulaF] = "F(x)=x-5";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  const Bitmap before = c.picture();
  (void)c.pointerMoved(Keys{}, Point{300, 100});
  ASSERT_TRUE(c.prepareSavePicture());
  EXPECT_FALSE(c.plot().circleShown);
  EXPECT_TRUE(pictureIs(before));
  EXPECT_TRUE(c.savePicture(root / "plot.bmp", PictureFormat::kBmp).ok());
  EXPECT_EQ(fs::file_size(root / "plot.bmp"), 54u + 3u * 824 * 668);
  EXPECT_TRUE(c.savePicture(root / "plot.bmp.jpg", PictureFormat::kJpeg).ok());
  EXPECT_EQ(slurp(root / "plot.bmp.jpg").substr(0, 2), "\xFF\xD8");
  const Status failed = c.savePicture(root / "no/such/folder/plot.bmp", PictureFormat::kBmp);
  ASSERT_EQ(failed.messages().size(), 1u);
  EXPECT_NE(failed.messages()[0].find("plot.bmp"), std::string::npos);
}

TEST_F(ControllerTest, DropsLoadOneFunctionFileAndBeepOtherwise) {
  Controller& c = start();
  const fs::path kv1 = root / "notes.kv1.txt";
  writeFile(kv1,
            "F(x)=x^3\r\npolar = false\r\nx min = -2\r\nx max = 2\r\ny min = -8\r\ny max = 8\r\n");
  EXPECT_TRUE(c.filesDropped({kv1.string(), kv1.string()}).ok());
  EXPECT_EQ(view.beeps, 1);
  EXPECT_TRUE(c.filesDropped({(root / "plot.bmp").string()}).ok());
  EXPECT_EQ(view.beeps, 2);
  EXPECT_EQ(view.compiledDraws(), 0);

  EXPECT_TRUE(c.filesDropped({kv1.string()}).ok());
  EXPECT_EQ(view.beeps, 2);
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=x^3");
  EXPECT_EQ(view.fileName, std::optional<std::string>("notes.kv1.txt"));
  EXPECT_EQ(view.compiledDraws(), 1);
  EXPECT_TRUE(c.plot().plotValid);
  EXPECT_EQ(c.plot().xMin, -2);

  const Status missing = c.filesDropped({(root / "gone.kv2").string()});
  ASSERT_EQ(missing.messages().size(), 1u);
  EXPECT_FALSE(isOn(c.plot().optTwoFunctions));
  EXPECT_EQ(view.fileName, std::optional<std::string>("notes.kv1.txt"));
}

TEST_F(ControllerTest, LoadAndSaveUseTheCurrentMode) {
  Controller& c = start();
  view.texts[Field::kFormulaF] = "F(x)=sin(x)";
  EXPECT_TRUE(c.saveFunction(root / "sine.kv1").ok());
  EXPECT_EQ(slurp(root / "sine.kv1").substr(0, 13), "F(x)=sin(x)\r\n");
  view.texts[Field::kFormulaF] = "F(x)=";
  EXPECT_TRUE(c.loadFunction(root / "sine.kv1").ok());
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=sin(x)");
  EXPECT_EQ(view.fileName, std::optional<std::string>("sine.kv1"));
  EXPECT_TRUE(c.plot().plotValid);
  EXPECT_FALSE(c.loadFunction(root / "none.kv1").ok());
  EXPECT_FALSE(c.saveFunction(root / "no/folder/x.kv1").ok());
}

TEST_F(ControllerTest, LiveResizeDrawsWithoutAntialiasingAndTheReleaseWithIt) {
  Controller& c = start();
  PlotState& s = c.app().plot;
  s.optLines = flagOn;
  s.optAntialias = flagOn;
  view.texts[Field::kFormulaF] = "F(x)=sin(x)";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  view.window = {1100, 800};
  c.windowLaidOut(view.window);
  EXPECT_TRUE(c.resizeStep().ok());
  EXPECT_EQ(s.plotWidth, 860);
  EXPECT_TRUE(isOn(s.optAntialias));  // restored after the step
  // Bluish pixels other than the two curve colours: an antialiased line
  // blends the curve into the background.
  const auto blends = [&] {
    int n = 0;
    for (int y = 20; y < s.plotHeight + 20; ++y) {
      for (int x = 21; x < s.plotWidth + 19; ++x) {
        const Color p = c.picture().pixel(x, y);
        const int r = p & 0xFF, b = p >> 16;
        n += b > r && p != s.curveColor && p != s.curveColorDark ? 1 : 0;
      }
    }
    return n;
  };
  EXPECT_EQ(blends(), 0);
  EXPECT_TRUE(c.resizeFinished().ok());
  EXPECT_GT(blends(), 0);
  EXPECT_EQ(view.compiledDraws(), 3);
  s.optAntialias = flagOff;
  EXPECT_TRUE(c.resizeFinished().ok());
  EXPECT_EQ(view.compiledDraws(), 3);  // nothing to improve without antialiasing
}

TEST_F(ControllerTest, ExitWritesTheRangesShownInTheFields) {
  Controller& c = start();
  view.texts[Field::kXMax] = "12.5";
  view.texts[Field::kYMin] = "abc";  // reverts to the last good value
  c.windowLaidOut(Size{1000, 700});
  EXPECT_TRUE(c.exit().ok());
  PlotState reread;
  WindowExtent window;
  ASSERT_EQ(readSettings(folder / "Kurvana.ini", reread, window).message(), "");
  EXPECT_EQ(reread.xMax, 12.5L);
  EXPECT_EQ(reread.yMin, -5);
  EXPECT_EQ(field(Field::kYMin), "-5");
  EXPECT_EQ(window.width, 1000);
  EXPECT_EQ(window.height, 700);
}

TEST_F(ControllerTest, AZoomRefreshesTheReadoutWhereThePointerIs) {
  Controller& c = start();
  view.texts[Field::kFormulaF] = "F(x)=x";
  ASSERT_EQ(c.redraw().outcome, DrawOutcome::kDrawn);
  EXPECT_TRUE(c.wheel(true, Keys{}, Point{21, 300}).ok());
  EXPECT_EQ(field(Field::kXMax), "5");
  EXPECT_EQ(view.labels[Label::kReadoutX], "= " + formatGeneral(5.0L / 783, "."));
  EXPECT_TRUE(c.wheel(false, Keys{.ctrl = true}, Point{803, 300}).ok());
  EXPECT_EQ(field(Field::kYMax), "10");
  EXPECT_EQ(view.labels[Label::kReadoutX], "= 5");  // the last column
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

// Interface languages and the settings dialog's OK, with language files
// beside a pretend executable.
class ControllerLanguages : public ControllerTest {
 protected:
  // A translation whose texts are "<prefix> <index>".
  void writeLanguage(const std::string& file, const std::string& name, const std::string& prefix) {
    std::string text = name + "\r\n";
    for (std::size_t i = 0; i < kTextCount; ++i) text += prefix + " " + std::to_string(i) + "\r\n";
    writeFile(root / "bin" / file, encodeUtf16(text));
  }
  Controller& startWith(bool languageOn) {
    PlotState stored;
    stored.optLanguage = languageOn ? flagOn : flagOff;
    fs::create_directories(folder);
    EXPECT_EQ(writeSettings(folder / "Kurvana.ini", stored, WindowExtent{1024, 768}).message(), "");
    controller = std::make_unique<Controller>(view, setupAt(root / "bin/kurvana"));
    controller->app().decimalSeparator = ".";
    controller->app().labelFont.reset();
    startStatus = controller->startUp(Size{1920, 1080}, std::nullopt);
    return *controller;
  }
  ControllerSetup setupAt(const fs::path& executable) {
    ControllerSetup s = setup();
    s.executable = executable;
    return s;
  }
  std::vector<std::string> names(const Controller& c) {
    std::vector<std::string> out;
    for (const LanguageItem& item : c.languages()) out.push_back(item.name);
    return out;
  }
};

TEST_F(ControllerLanguages, TheSavedChoiceIsTheLaterOfEqualNamesAndAppliesOnlyWithTheOption) {
  writeLanguage("lang_a.txt", "Deutsch", "A");
  writeLanguage("lang_b.txt", "Deutsch", "B");
  writeLanguage("LANG_C.TXT", "Francais", "C");
  fs::create_directories(folder);
  ASSERT_EQ(writeChosenLanguage(folder / "Kurvana.lng", "Deutsch").message(), "");
  Controller& on = startWith(true);
  EXPECT_TRUE(on.loadLanguages().ok());
  // Names sort with upper case first: LANG_C.TXT, lang_a.txt, lang_b.txt.
  EXPECT_EQ(names(on), (std::vector<std::string>{"English", "Francais", "Deutsch", "Deutsch"}));
  EXPECT_EQ(on.chosenLanguageIndex(), 3);
  // Both files of that name are applied in order: the later one's texts stay.
  EXPECT_EQ(on.app().texts[TextId::kAutoScale], "B 1");
  ASSERT_TRUE(view.shownTexts.has_value());
  EXPECT_EQ((*view.shownTexts)[TextId::kMsgRange1], "B 23");

  // With "Program language" off the choice is read but English is used.
  controller.reset();
  view.shownTexts.reset();
  Controller& off = startWith(false);
  EXPECT_TRUE(off.loadLanguages().ok());
  EXPECT_EQ(off.chosenLanguageIndex(), 0);
  EXPECT_EQ(off.selectedLanguage(), "Deutsch");
  EXPECT_EQ(off.app().texts[TextId::kAutoScale], " Automatic scale");
}

TEST_F(ControllerLanguages, OkWritesTheChoiceAppliesItAndRedraws) {
  writeLanguage("lang_de.txt", "Deutsch", "D");
  writeHistory2();
  Controller& c = startWith(false);
  ASSERT_TRUE(c.loadLanguages().ok());
  c.toggleOption(Option::kLanguage);
  c.toggleOption(Option::kTwoFunctions);
  c.app().plot.optAutoScale = flagOn;
  DrawResult result = c.applySettings(1);
  EXPECT_TRUE(result.status.ok());
  EXPECT_EQ(result.outcome, DrawOutcome::kDrawn);
  EXPECT_EQ(readChosenLanguage(folder / "Kurvana.lng").name, "Deutsch");
  EXPECT_EQ(c.app().texts[TextId::kReport], "D 13");
  // The two-function mode's newest formulas, the x fields given to automatic scale.
  EXPECT_EQ(view.formulaAreas.back(), FormulaArea::kTwoFunctions);
  EXPECT_EQ(field(Field::kFormulaF), "F(x)=cos(x)");
  EXPECT_EQ(field(Field::kFormulaG), "G(x)=sin(x)");
  EXPECT_FALSE(view.isEnabled(Field::kXMin));
  EXPECT_TRUE(c.plot().plotValid);

  // Back to English: item 0 is written as "English".
  c.toggleOption(Option::kLanguage);
  result = c.applySettings(0);
  EXPECT_EQ(readChosenLanguage(folder / "Kurvana.lng").name, "English");
  EXPECT_EQ(c.app().texts[TextId::kReport], "Generate report");
}

// The window's own catalogue follows the file whose texts are applied: the
// later of equal names, none for English or with the option off.
TEST_F(ControllerLanguages, TheAppliedFileNamesTheWindowsCatalogue) {
  writeLanguage("lang_de.txt", "Deutsch", "D");
  writeLanguage("lang_fr.txt", "Francais", "F");
  writeLanguage("lang_xx.txt", "Deutsch", "X");
  fs::create_directories(folder);
  ASSERT_EQ(writeChosenLanguage(folder / "Kurvana.lng", "Deutsch").message(), "");
  Controller& c = startWith(true);
  ASSERT_TRUE(c.loadLanguages().ok());
  EXPECT_EQ(c.languageFile(), root / "bin/lang_xx.txt");
  EXPECT_EQ(c.translationFiles(), (std::vector<fs::path>{root / "bin/kurvana_xx.qm",
                                                         root / "share/kurvana/kurvana_xx.qm"}));
  const struct {
    int item;
    bool optionOn;
    fs::path file;
  } steps[] = {{2, true, root / "bin/lang_fr.txt"},
               {0, true, {}},
               {1, true, root / "bin/lang_xx.txt"},
               {2, false, {}}};
  for (const auto& step : steps) {
    if (c.isOptionOn(Option::kLanguage) != step.optionOn) c.toggleOption(Option::kLanguage);
    (void)c.applySettings(step.item);
    EXPECT_EQ(c.languageFile(), step.file) << step.item;
    EXPECT_EQ(c.translationFiles().empty(), step.file.empty()) << step.item;
  }
}

// The files are read once, as the list is made: an OK afterwards applies
// the texts read then, whatever became of the files, and reports nothing.
TEST_F(ControllerLanguages, OkAppliesTheTextsReadAtStartWhateverBecameOfTheFiles) {
  writeLanguage("lang_de.txt", "Deutsch", "D");
  writeLanguage("lang_fr.txt", "Francais", "F");
  Controller& c = startWith(true);
  ASSERT_TRUE(c.loadLanguages().ok());
  ASSERT_EQ(names(c), (std::vector<std::string>{"English", "Deutsch", "Francais"}));
  writeLanguage("lang_de.txt", "Deutsch", "changed");
  fs::remove(root / "bin/lang_fr.txt");
  const struct {
    int item;
    std::string report;
  } steps[] = {{1, "D 13"}, {2, "F 13"}, {0, "Generate report"}, {1, "D 13"}};
  for (const auto& step : steps) {
    DrawResult result = c.applySettings(step.item);
    EXPECT_TRUE(result.status.ok()) << step.item << ": " << result.status.messages().front();
    EXPECT_EQ(c.app().texts[TextId::kReport], step.report) << step.item;
    ASSERT_TRUE(view.shownTexts.has_value());
    EXPECT_EQ((*view.shownTexts)[TextId::kReport], step.report) << step.item;
  }
  // Renamed on disk: the list, made at start, still names it as it was.
  writeLanguage("lang_de.txt", "Neu", "N");
  EXPECT_TRUE(c.applySettings(1).status.ok());
  EXPECT_EQ(c.app().texts[TextId::kReport], "D 13");
}

// Files of exactly kMaxLanguageBytes together are all listed; one byte more
// leaves the file that brings it out, with a message naming it.
TEST_F(ControllerLanguages, LanguageFilesUpToTheTotalCapAreListed) {
  static_assert(kMaxLanguageBytes % kMaxLanguageFileBytes == 0);
  const std::uintmax_t count = kMaxLanguageBytes / kMaxLanguageFileBytes;
  std::vector<std::string> expected = {"English"};
  for (std::uintmax_t i = 0; i < count; ++i) {
    const std::string name = "Big" + std::to_string(i);
    std::string bytes = name + "\r\n";
    bytes.resize(kMaxLanguageFileBytes, 'x');
    writeFile(root / "bin" / ("lang_" + std::to_string(i) + ".txt"), bytes);
    expected.push_back(name);
  }
  Controller& c = startWith(true);
  Status status = c.loadLanguages();
  EXPECT_TRUE(status.ok()) << status.messages().front();
  EXPECT_EQ(names(c), expected);

  const fs::path over = root / "bin/lang_z.txt";  // sorts last
  writeFile(over, "Z");
  status = c.loadLanguages();
  EXPECT_EQ(names(c), expected);
  EXPECT_EQ(status.messages(),
            std::vector<std::string>{"Language file \"" + over.string() +
                                     "\" and those after it are left out: all language files "
                                     "together may not exceed " +
                                     std::to_string(kMaxLanguageBytes >> 20) + " MiB."});
}

TEST_F(ControllerLanguages, ThePaletteSetsTheColourItsCompanionAndTheSwatch) {
  Controller& c = startWith(false);
  c.setCurveColor(0xFAFAFA);
  EXPECT_EQ(c.plot().curveColor, 0xFAFAFAu);
  EXPECT_EQ(c.plot().curveColorDark, 0xC8C8C8u);  // (200, 200, 200)
  EXPECT_EQ(view.swatch, std::optional<std::uint32_t>(0xFAFAFA));
  c.toggleOption(Option::kWhiteBack);
  EXPECT_TRUE(c.isOptionOn(Option::kWhiteBack));
  EXPECT_EQ(c.plot().optWhiteBack, flagOn);
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

// A history file the user may not read: start-up says so once, the Draws
// still complete without recording or repeating it, and once the file can be
// read again the next Draw records on top of its entries.
TEST_F(ControllerTest, AnUnreadableHistoryIsReportedOnceAndKeptWhole) {
  const fs::path file = folder / "Kurvana.lst";
  std::string old = "F(x)=old1\r\nF(x)=old2\r\n";
  for (int i = 0; i < 8; ++i) old += "\r\n";
  writeFile(file, old);
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    ASSERT_TRUE(testing::giveToNobody(entry.path(), entry.is_directory() ? 0755 : 0644));
  }
  ASSERT_TRUE(testing::giveToNobody(root, 0755));
  ASSERT_EQ(::chmod(file.c_str(), 0200), 0);

  const auto seen = testing::asNobody([&] {
    const auto said = [](const Status& status) {
      std::string text;
      for (const std::string& m : status.messages()) text += "[" + m + "]";
      return text;
    };
    Controller& c = start();
    std::string out = said(startStatus) + "|" + field(Field::kFormulaF) + "|";
    view.texts[Field::kFormulaF] = "F(x)=x";
    DrawResult drawn = c.redraw();
    out += std::string(drawn.outcome == DrawOutcome::kDrawn ? "drawn" : "not drawn") +
           said(drawn.status) + "|";
    view.texts[Field::kFormulaF] = "F(x)=x^2";
    drawn = c.draw();
    out += std::string(drawn.outcome == DrawOutcome::kDrawn ? "drawn" : "not drawn") +
           said(drawn.status) + "|";
    ::chmod(file.c_str(), 0600);
    out += testing::readWhole(file) + "|";
    view.texts[Field::kFormulaF] = "F(x)=x^3";
    drawn = c.draw();
    return out + said(drawn.status);
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  EXPECT_EQ(*seen, "[Cannot read \"" + file.string() +
                       "\": Permission denied. Formulas are not added to this history until it "
                       "can be read.]|F(x)=|drawn|drawn|" +
                       old + "|");
  EXPECT_EQ(slurp(file), "F(x)=x^3\r\n" + old.substr(0, old.size() - 2));
}

std::string messagesOf(const Status& status) {
  std::string text;
  for (const std::string& m : status.messages()) text += "[" + m + "]\n";
  return text;
}

TEST_F(ControllerTest, NamedPipesInPlaceOfItsFilesStopNothing) {
  // Every file the window reads at start-up, and the command-line file.
  fs::create_directories(folder);
  fs::create_directories(root / "config");
  const fs::path pipe = root / "p.kv1";
  for (const fs::path& path :
       {folder / "Kurvana.ini", folder / "Kurvana.lst", folder / "Kurvana.lng",
        root / "config/mimeapps.list", root / "config/user-dirs.dirs", pipe}) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
  }
  const auto said = testing::withinSeconds(30, [&] {
    Controller& c = start(pipe.string());
    std::string out = messagesOf(startStatus) + "|";
    out += messagesOf(c.loadLanguages()) + "|";
    view.texts[Field::kFormulaF] = "F(x)=x";
    const DrawResult drawn = c.redraw();
    out += std::string(drawn.outcome == DrawOutcome::kDrawn ? "drawn" : "not drawn") +
           messagesOf(drawn.status) + "|";
    return out + messagesOf(c.exit());
  });
  ASSERT_TRUE(said.has_value()) << "start-up blocked on a named pipe";
  const auto pipeMessage = [](const fs::path& path) {
    return "[Cannot read \"" + path.string() + "\": it is a named pipe";
  };
  EXPECT_EQ(*said, pipeMessage(folder / "Kurvana.ini") +
                       ". Settings are not saved while it is there.]\n" + pipeMessage(pipe) +
                       "]\n" + pipeMessage(folder / "Kurvana.lst") +
                       ". Formulas are not added to this history until it can be read.]\n|" +
                       pipeMessage(folder / "Kurvana.lng") + "]\n|drawn|");
  // The registration's own files under data/ are written; none of these.
  for (const fs::path& place : {folder, root / "config"}) {
    for (const auto& entry : fs::directory_iterator(place)) {
      if (entry.path().filename() == "Kurvana.lock") continue;
      EXPECT_TRUE(entry.is_fifo()) << entry.path() << " was replaced";
    }
  }
}

TEST_F(ControllerTest, ARecordThatIsNotOursIsNeverReplaced) {
  const fs::path record = folder / "Kurvana.ini";
  const std::string foreign(4097, 'r');
  writeFile(record, foreign);
  Controller& c = start();
  EXPECT_EQ(messagesOf(startStatus), "[Cannot read \"" + record.string() +
                                         "\": it is larger than 4 KiB. Settings are not saved "
                                         "while it is there.]\n");
  EXPECT_TRUE(c.exit().ok());
  EXPECT_EQ(slurp(record), foreign);
  // 4 KiB is still a record, of which the first 89 bytes count.
  writeFile(record, std::string(4096, '\0'));
  start();
  EXPECT_TRUE(startStatus.ok()) << messagesOf(startStatus);
  EXPECT_EQ(fs::file_size(record), 89u);
}

TEST_F(ControllerTest, StartUpRemovesWhatAKilledSaveLeftBehind) {
  writeFile(folder / "Kurvana.ini.tmp-Ab3xY9", "half a record");
  writeFile(folder / "plot.bmp.tmp-000000", "half a picture");
  writeFile(folder / "notes.tmp-1", "the user's own");
  for (const char* name : {"Kurvana.ini.tmp-Ab3xY9", "plot.bmp.tmp-000000", "notes.tmp-1"}) {
    const timespec old[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (folder / name).c_str(), old, 0), 0);
  }
  start();
  ASSERT_TRUE(startStatus.ok()) << messagesOf(startStatus);
  EXPECT_FALSE(fs::exists(folder / "Kurvana.ini.tmp-Ab3xY9"));
  EXPECT_FALSE(fs::exists(folder / "plot.bmp.tmp-000000"));
  EXPECT_EQ(slurp(folder / "notes.tmp-1"), "the user's own");
}

}  // namespace
}  // namespace kurvana
