// The program's commands over its records. The window, kurvana-cli, the
// benchmarks and the tests all drive this one object: a host turns its input
// into these calls, shows the picture and the fields, and shows every problem
// that comes back.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_view.h"
#include "app/application.h"
#include "app/draw_command.h"
#include "base/product.h"
#include "base/status.h"
#include "explore/cursor_readout.h"
#include "explore/exploration.h"
#include "explore/view_history.h"
#include "explore/zoom_pan.h"
#include "files/command_runner.h"
#include "files/desktop_opener.h"
#include "files/history.h"
#include "files/picture_file.h"
#include "files/settings_record.h"

namespace kurvana {

struct ControllerSetup {
  // Looks up HOME and the XDG variables for the data folder and the desktop
  // registration; the process's own environment by default.
  Environment environment;
  // The program's path, registered with the desktop at start-up.
  std::filesystem::path executable;
  // Opens the report; empty: reports are written but not opened.
  std::vector<std::string> reportCommand = {"xdg-open"};
  // Where the report goes instead of the data folder's kvreport.txt.
  std::optional<std::filesystem::path> reportPath;
  // Register the function-file types with the desktop at start-up.
  bool registerFileTypes = true;
  // The application icon as PNG bytes, installed with the registration.
  std::string iconPng;
  // Runs the desktop database refreshes; never waited for.
  CommandRunner runCommand = runInBackground;

  // A controller that touches nothing of the user's beyond what its commands
  // name: no registration, no editor (kurvana-cli, benchmarks, tests).
  static ControllerSetup headless() {
    ControllerSetup setup;
    setup.reportCommand.clear();
    setup.registerFileTypes = false;
    return setup;
  }
};

// What a Draw did, and the file problems around it (history, report).
struct [[nodiscard]] DrawResult {
  DrawOutcome outcome = DrawOutcome::kNothingToDraw;
  bool reportWritten = false;
  Status status;
};

// The options of the settings dialog.
enum class Option {
  kTwoFunctions,
  kPolar,
  kAntialias,
  kGrid,
  kThick,
  kAxes,
  kWhiteBack,
  kReport,
  kDarkNegative,
  kLanguage,
};

// An entry of the language list: item 0 is English, built in; the others
// name the language file whose first line they show, and keep its texts as
// read when the list was made.
struct LanguageItem {
  std::string name;
  std::filesystem::path file;      // empty for English
  std::vector<std::string> texts;  // lines 2.. of the file
};

class Controller {
 public:
  explicit Controller(AppView& view, ControllerSetup setup = {});
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;
  ~Controller();

  // The records, for painting the picture and for tests.
  Application& app() { return *app_; }
  const PlotState& plot() const { return app_->plot; }
  const Bitmap& picture() const { return app_->image; }
  const std::optional<std::filesystem::path>& dataFolder() const { return dataFolder_; }
  // The window size recorded by the last layout pass (or read at start-up).
  Size windowSize() const { return Size{window_.width, window_.height}; }
  Size screenSize() const { return screen_; }

  // Start-up: data folder (temporaries that a killed save left there
  // removed), defaults, settings record (read, fitted to the screen, written
  // back unless it exists but could not be read), colour scheme and swatch, range fields, desktop
  // registration, toggle pictures, the command-line file or the newest
  // history formula, and the formula area. A fatal status means the data
  // folder could not be made: nothing was written and the program ends.
  Status startUp(Size screen, const std::optional<std::string>& argument);

  // A host without start-up (kurvana-cli): the range fields show the state's
  // ranges in the fields' format, the formula fields their bare labels.
  void showStateInFields();

  // The first plot after start-up: the empty plot, then the Draw.
  DrawResult firstDraw() { return redraw(); }

  // The Draw command over the current picture (Draw button, Enter).
  DrawResult draw();
  // The empty plot for the current fields and window, then the Draw.
  DrawResult redraw();
  // The empty plot; the picture no longer counts as a plot.
  void clearPicture();

  // The main window's four toggles, with their redraw rules.
  void toggleAutoScale();
  Status toggleFilled();
  Status toggleLines();
  void toggleCircle();
  // After options changed elsewhere (kurvana-cli, the settings dialog): the
  // scheme colours and the range fields' enabling follow the flags.
  void applyOptions();

  // The settings dialog flips an option at once; its OK applies them all.
  void toggleOption(Option option);
  bool isOptionOn(Option option) const;

  // The palette's pick: the curve colour, its dark companion and the swatch.
  void setCurveColor(Color color);

  // The interface languages, read once, when the settings dialog is made:
  // the chosen language (Kurvana.lng), the list (English, then the language
  // files of the executable's folder and of <prefix>/share/kurvana, at most
  // kMaxLanguageBytes of them, see readLanguageFiles), and with "Program
  // language" on the chosen item selected (the later of equal names) and its
  // texts applied. The texts are kept: applying a language later reads no
  // file, so a settings OK costs nothing however many translations there are.
  Status loadLanguages();
  const std::vector<LanguageItem>& languages() const { return languages_; }
  // The item selected by loadLanguages (0 when none matched or the list is off).
  int chosenLanguageIndex() const { return chosenLanguageIndex_; }
  const std::string& selectedLanguage() const { return selectedLanguage_; }
  // The file whose texts are applied now; empty for English.
  const std::filesystem::path& languageFile() const { return languageFile_; }
  // Where the window looks for its own catalogue of that language (menus,
  // tool tips, messages; see translationFiles), in order; none for English.
  std::vector<std::filesystem::path> translationFiles() const;

  // The settings dialog's OK: the formula area for the mode with the newest
  // history formulas, the fields' enabling, the colour scheme, the language
  // item `languageIndex` written as the choice and applied (English when the
  // list is off or at item 0), then the empty plot and the Draw.
  DrawResult applySettings(int languageIndex);

  // One zoom step on the x axis, or the y axis with Shift, Alt or Ctrl held;
  // then the plot is drawn anew and the readout refreshed where the pointer
  // is (`pointer` in image pixels, when the window can tell).
  Status zoom(ZoomDirection direction, Keys keys, std::optional<Point> pointer);
  Status wheel(bool up, Keys keys, std::optional<Point> pointer) {
    return zoom(up ? ZoomDirection::kIn : ZoomDirection::kOut, keys, pointer);
  }

  // The pointer over the plot image (image pixels). A press starts a pan drag
  // or tells how to enable the context menu; a move returns the part of the
  // picture it changed (the ring's old and new places, or everything during a
  // drag); a release ends a drag with a full Draw.
  PlotPress pointerPressed(MouseButton button, Point at);
  Rect pointerMoved(Keys keys, Point at);
  Status pointerReleased();

  // A trace key over the plot (see traceReadout): the readout there, and the
  // part of the picture it changed. Nothing without a plot or during a drag.
  Rect traceKey(TraceMove move, int steps);

  // Every Draw that succeeds records its view (ViewHistory): zoom, the end of
  // a pan, automatic scale and typed ranges alike. Back and Forward show the
  // view before or after the current one: its texts into the range fields,
  // the empty plot, the Draw, which records nothing. At either end, and
  // during a drag, nothing. A pointer over the picture gets its readout
  // for the view shown, as after a zoom.
  Status back(std::optional<Point> pointer = std::nullopt);
  Status forward(std::optional<Point> pointer = std::nullopt);
  bool canGoBack() const { return views_.canGoBack(); }
  bool canGoForward() const { return views_.canGoForward(); }
  const ViewHistory& viewHistory() const { return views_; }

  // The history button: the next earlier formula into the field(s).
  void nextHistoryFormula();

  // Function files of the current mode, as the menu loads and saves them:
  // loading lays out the formula area, names the file over the plot and draws.
  Status loadFunction(const std::filesystem::path& path);
  Status saveFunction(const std::filesystem::path& path);
  // A function file whose name chooses the mode (".kv1" one function, ".kv2"
  // two, else the current mode); on success the formula area follows and the
  // file is named over the plot. A file that cannot be read changes nothing.
  Status openFunctionFileAsNamed(const std::filesystem::path& path);

  // Saving the picture: false (after a beep) without a plot; otherwise the
  // ring is taken off the picture, so it is never saved, and the window asks
  // for the file name.
  bool prepareSavePicture();
  Status savePicture(const std::filesystem::path& path, PictureFormat format);
  // "Copy picture": the picture without the ring goes to the view's
  // clipboard; the ring stays on screen. Without a plot, only a beep.
  void copyPicture();

  // Files dropped on the window: one function file is loaded and drawn;
  // several files, or a name without ".kv1" or ".kv2", only beep.
  Status filesDropped(const std::vector<std::string>& names);

  // The layout pass records the window's size.
  void windowLaidOut(Size size) { window_ = WindowExtent{size.width, size.height}; }
  // One live-resize step: the empty plot for the new size and, with a plot,
  // the Draw without antialiasing, which is kept for the release.
  Status resizeStep();
  // The release of the grip: one antialiased Draw when that option is on.
  Status resizeFinished();
  // Maximised or restored: the empty plot and, with a plot, the Draw.
  Status sizeChanged();

  // The screen's device pixels per window pixel: the picture is painted at
  // that scale, kept within 1 .. kMaxScale. A picture already painted at
  // another scale is painted anew, as after a size change; pointer positions
  // are device pixels of the picture from then on.
  Status scaleChanged(double scale);
  double scale() const { return app_->plot.scale; }

  // After a Draw opened the report: how the desktop's opener ended, once it
  // has. When it found no program for the report, one message says so, and
  // the reports after it are written but not opened until "Generate report"
  // is switched on again.
  Status reportOpening();
  // An opener was started whose end is not known yet: ask reportOpening()
  // again a little later.
  bool reportOpeningPending() const { return opener_.waiting(); }

  // The exit path: the range fields read into the state, the settings record
  // written (unless start-up could not read it).
  Status exit();

 private:
  class Hooks;

  RenderContext context() { return app_->renderContext(); }
  // The Draw command without recording its view.
  DrawResult drawUnrecorded();
  // The ranges drawn, with the fields' texts, into the view history.
  void recordView();
  Status showView(const View* view, std::optional<Point> pointer);
  // The formula area for the mode, then the mode's history (into the fields
  // when asked); a history file that cannot be read is reported once.
  Status arrangeFormulaArea(bool fillFromHistory);
  std::filesystem::path settingsPath() const;
  // The message for a report the desktop did not open.
  std::string reportNotOpened(std::optional<int> status) const;
  std::filesystem::path chosenLanguagePath() const;
  std::uint8_t& flag(Option option);
  // The texts of the selected language as read by loadLanguages, or
  // English; shown at once.
  void applyLanguage(int languageIndex);

  AppView& view_;
  ControllerSetup setup_;
  std::unique_ptr<Application> app_;
  std::optional<std::filesystem::path> dataFolder_;
  WindowExtent window_;
  Size screen_;
  DesktopOpener opener_;
  // The desktop could not open a report: later ones are written, not opened,
  // until "Generate report" is switched on again.
  bool reportOpenFailed_ = false;
  std::filesystem::path openedReport_;
  std::vector<LanguageItem> languages_;
  std::string selectedLanguage_;
  int chosenLanguageIndex_ = 0;
  std::filesystem::path languageFile_;
  // The settings file could not be read at start-up: it is never replaced.
  bool keepSettingsFile_ = false;
  ViewHistory views_;
};

}  // namespace kurvana
