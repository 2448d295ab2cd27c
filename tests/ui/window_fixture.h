// The main window over a temporary home folder, with every desktop service
// (beep, message box, file dialog, browser, quit, the update check's question,
// draw and address) and every outside command replaced by a recorder; the
// window system is the platform's unless a test plays one.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <QWindow>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/controller.h"
#include "files/settings_record.h"
#include "support/test_files.h"
#include "ui/main_window.h"
#include "ui/message_window.h"

// QStrings and their lists readable in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QColor& c, std::ostream* out) {
  *out << "RGB(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}

namespace kurvana::ui {

namespace fs = std::filesystem;

class WindowTest : public ::testing::Test {
 protected:
  // Long enough for the program's own timers (100 ms start-up, 500 ms splash)
  // on a loaded machine; a passing test never waits this long.
  static constexpr int kTimeoutMs = 5000;

  void SetUp() override { fs::create_directories(root / "home"); }

  void TearDown() override { window.reset(); }

  ControllerSetup setup() {
    ControllerSetup s;
    s.environment = testing::environmentOf(vars);
    // Translations are looked for beside the executable and in share/kurvana
    // next to its bin folder: both inside the temporary folder.
    s.executable = root / "bin/kurvana";
    s.reportCommand = {"/bin/true"};
    s.runCommand = [this](const std::vector<std::string>& argv) { commands.push_back(argv); };
    return s;
  }

  MainWindow::Services services() {
    MainWindow::Services s;
    s.beep = [this] { ++beeps; };
    s.showProblem = [this](const QString& message) { problems.push_back(message); };
    s.chooseFile = [this](const FileRequest& request) -> std::optional<FileChoice> {
      requests.push_back(request);
      if (answers.empty()) return std::nullopt;  // cancelled
      const std::optional<FileChoice> answer = answers.front();
      answers.pop_front();
      return answer;
    };
    s.openUrl = [this](const QUrl& url) { urls.push_back(url); };
    s.quit = [this] { ++quits; };
    s.confirm = [this](const QString& question) {
      confirmations.push_back(question);
      return confirmAnswer;
    };
    s.updateDraw = [this] {
      ++updateDraws;
      return updateDrawValue;
    };
    s.versionDocument = versionDocument;
    s.askWindowState = askWindowState;  // the window's own unless a test plays a window system
    s.workArea = workArea;
    s.windowSystemAnswerMs = windowSystemAnswerMs;
    s.caretRestMs = caretRestMs;
    return s;
  }

  // Start-up runs; the window stays hidden until shown.
  MainWindow& start(const std::optional<std::string>& argument = std::nullopt) {
    window = std::make_unique<MainWindow>(setup(), argument, services());
    return *window;
  }

  // Shown as the splash shows it; returns once the start-up timer's Draw ran.
  MainWindow& startShown(const std::optional<std::string>& argument = std::nullopt) {
    start(argument);
    window->showCentred();
    EXPECT_TRUE(waitForFirstDraw());
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), kTimeoutMs));
    return *window;
  }

  // Waits until the window system has given the window the focus. A dialog,
  // the main window's transient child, counts as active (qWaitForWindowActive)
  // as long as the main window is.
  static bool waitForFocus(QWidget* w) {
    return QTest::qWaitFor([w] { return QGuiApplication::focusWindow() == w->windowHandle(); },
                           kTimeoutMs);
  }

  // The start-up Draw always leaves a picture, with or without a curve.
  bool waitForFirstDraw() {
    return QTest::qWaitFor([this] { return !window->controller().picture().empty(); }, kTimeoutMs);
  }

  // The history of one-function mode, newest first, as the program keeps it.
  void writeHistory(const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& e : entries) text += e + "\r\n";
    writeFile(folder / "Kurvana.lst", text);
  }

  template <typename T = QWidget>
  T* find(const char* name) {
    T* widget = window->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* field(const char* name) { return find<QLineEdit>(name); }

  // One of the window's own top-level windows (the dialogs), by object name;
  // the window makes each when first asked for it.
  template <typename T = QWidget>
  T* topLevel(const char* name) {
    const std::string_view wanted(name);
    if (wanted == "settingsDialog") window->settingsDialog();
    if (wanted == "paletteDialog") window->paletteDialog();
    if (wanted == "aboutWindow") window->aboutWindow();
    if (wanted == "messageWindow") window->messageWindow();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name) {
        if (auto* t = dynamic_cast<T*>(w)) return t;
      }
    }
    ADD_FAILURE() << "no window " << name;
    return nullptr;
  }
  template <typename T = QWidget>
  static T* childOf(QWidget* parent, const char* name) {
    T* widget = parent->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QString text(const char* name) {
    if (auto* edit = window->findChild<QLineEdit*>(name)) return edit->text();
    return find<QLabel>(name)->text();
  }

  // A press of any mouse button; the command buttons react to the press.
  void press(const char* name, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(find(name), button, keys);
  }

  // Types the formula over the F field's text and presses Draw.
  void drawFormula(const QString& formula) {
    field("formulaF")->setText(formula);
    press("drawButton");
  }

  const PlotState& plot() { return window->controller().plot(); }
  bool plotValid() { return plot().plotValid; }

  // A copy of the picture the core painted.
  QImage picture() {
    const Bitmap& b = window->controller().picture();
    return QImage(reinterpret_cast<const uchar*>(b.data()), b.width(), b.height(), b.width() * 4,
                  QImage::Format_RGB32)
        .copy();
  }

  QColor textColour(const char* name) {
    return field(name)->palette().color(QPalette::Active, QPalette::Text);
  }

  // A key as the keyboard sends it: to the window that has the keyboard
  // (none: the test fails), with the text it types.
  void key(Qt::Key code, Qt::KeyboardModifiers modifiers = {}, const QString& text = QString()) {
    QWindow* focused = QGuiApplication::focusWindow();
    ASSERT_NE(focused, nullptr) << "no window has the keyboard";
    QTest::sendKeyEvent(QTest::Click, focused, code, text, modifiers);
  }
  // Printable ASCII typed key by key.
  void type(const QString& text) {
    for (const QChar c : text) {
      const char ascii = static_cast<char>(c.unicode());
      key(QTest::asciiToKey(ascii), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(c));
    }
  }
  static QString focusName() {
    QWidget* w = QApplication::focusWidget();
    return w == nullptr ? QString("(none)") : w->objectName();
  }

  // A failed Draw's message shown and settled: the window system has had its
  // say about who holds the keyboard.
  bool waitForMessage() {
    MessageWindow& m = window->messageWindow();
    return QTest::qWaitForWindowExposed(&m, kTimeoutMs) &&
           QTest::qWaitFor([this] { return mainWindowHasTheKeyboard(); }, kTimeoutMs);
  }
  bool mainWindowHasTheKeyboard() {
    return window->windowHandle() != nullptr &&
           QGuiApplication::focusWindow() == window->windowHandle() && window->isActiveWindow();
  }

  // The message window's three lines.
  std::vector<QString> messageLines() {
    MessageWindow& m = window->messageWindow();
    return {m.line(0), m.line(1), m.line(2)};
  }

  // UTF-16 LE with the FF FE mark, as the program reads and writes its
  // language files.
  static std::string utf16(const QString& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text.toStdU16String()) {
      bytes += static_cast<char>(c & 0xFF);
      bytes += static_cast<char>(c >> 8);
    }
    return bytes;
  }

  static QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }
  static void writeFile(const fs::path& path, const std::string& contents) {
    testing::writeWhole(path, contents);
  }
  // A one-function file: the formula and the x and y ranges.
  void writeFunctionFile(const fs::path& path, const std::string& formula, const char* xMin,
                         const char* xMax, const char* yMin, const char* yMax) {
    writeFile(path, formula + "\r\npolar = false\r\nx min = " + xMin + "\r\nx max = " + xMax +
                        "\r\ny min = " + yMin + "\r\ny max = " + yMax + "\r\n");
  }

  testing::TemporaryFolder temp{"ui"};
  const fs::path root = temp.path();
  const fs::path folder = root / "home/Documents/Talvoren/Kurvana";  // the data folder
  std::map<std::string, std::string> vars = {{"HOME", (root / "home").string()},
                                             {"XDG_CONFIG_HOME", (root / "config").string()},
                                             {"XDG_DATA_HOME", (root / "data").string()}};
  std::unique_ptr<MainWindow> window;

  // What the window asked of the desktop.
  int beeps = 0;
  QStringList problems;
  std::vector<FileRequest> requests;
  std::deque<std::optional<FileChoice>> answers;  // for the file requests, in order
  std::vector<QUrl> urls;
  int quits = 0;
  std::vector<std::vector<std::string>> commands;
  QStringList confirmations;
  bool confirmAnswer = false;  // Cancel
  int updateDraws = 0;
  unsigned updateDrawValue = 0;  // 1 would start the update check
  // Never asked unless a test draws 1; a closed port on this machine even then.
  QUrl versionDocument{"http://127.0.0.1:9/kurvana/version.txt"};
  std::function<void(bool maximised)> askWindowState;
  std::function<QRect()> workArea;
  std::optional<int> windowSystemAnswerMs;
  std::optional<int> caretRestMs;
};

}  // namespace kurvana::ui
