#include "app/controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/draw_command.h"
#include "app/field_texts.h"
#include "app/function_files.h"
#include "app/window_geometry.h"
#include "explore/cursor_readout.h"
#include "explore/report.h"
#include "explore/zoom_pan.h"
#include "files/atomic_file.h"
#include "files/data_folder.h"
#include "files/desktop_registration.h"
#include "files/font_cache.h"
#include "files/function_file.h"
#include "files/language_file.h"
#include "files/picture_file.h"
#include "files/report_file.h"
#include "plot/number_format.h"
#include "plot/range_fields.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

// Start-up shows the stored ranges with this many digits; every later write
// of a range uses the fields' six.
constexpr int kStartupDigits = 15;

const char* processEnvironment(const char* name) {
  return std::getenv(name);
}

ControllerSetup withEnvironment(ControllerSetup setup) {
  if (!setup.environment) setup.environment = processEnvironment;
  return setup;
}

// The label face, its file looked up through the font cache; should the file
// named there fail to load, fontconfig is asked after all.
std::unique_ptr<TextRenderer> labelFont(const Environment& env) {
  if (const std::optional<FontFile> file = findFontFile(kLabelFamily, env)) {
    if (std::unique_ptr<TextRenderer> font = TextRenderer::open(*file, kLabelPixels)) return font;
  }
  return TextRenderer::create(kLabelFamily, kLabelPixels);
}

// The file of the label face, looked up as labelFont looks it up, for the
// vector pictures that embed it.
std::optional<FontFile> labelFontFile(const Environment& env) {
  if (std::optional<FontFile> file = findFontFile(kLabelFamily, env)) return file;
  if (std::optional<FontMatch> match = matchFont(kLabelFamily)) return match->file;
  return std::nullopt;
}

std::string fileNameOnly(const std::filesystem::path& path) {
  return path.filename().string();
}

Rect unite(const Rect& a, const Rect& b) {
  if (a.right <= a.left || a.bottom <= a.top) return b;
  if (b.right <= b.left || b.bottom <= b.top) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// Shows a readout's texts in its labels.
void showReadout(AppView& view, const Readout& shown) {
  if (shown.x) view.setLabel(Label::kReadoutX, *shown.x);
  if (shown.f) view.setLabel(Label::kReadoutF, *shown.f);
  if (shown.derivative) view.setLabel(Label::kReadoutDerivative, *shown.derivative);
}

// A pointer move over the plot image: a drag step while a drag runs, the
// readout otherwise; nothing without a plot.
void pointerMovedOnPlot(Application& app, AppView& view, Keys keys, Point at) {
  PlotState& s = app.plot;
  if (!s.plotValid) return;
  RenderContext c = app.renderContext();
  if (!app.explore.panActive) {
    showReadout(view, readout(c, app.explore, keys, at.x, at.y));
    return;
  }
  const PanStep step = panRanges(s, app.explore, at.x, at.y);
  if (!step.xMoved && !step.yMoved) return;
  if (step.xMoved) writeXRange(s, view, app.decimalSeparator);
  if (step.yMoved) writeYRange(s, view, app.decimalSeparator);
  showEmptyPlot(c, view);
  app.painted.cleared(s);
  paintPanPreview(c, app.explore, at.x);
}

}  // namespace

// What the program does around a Draw: the ring comes off first, the
// formulas go into the history, the report is written and opened. File
// problems are collected for the Draw's result; they never stop the Draw.
class Controller::Hooks : public DrawHooks {
 public:
  explicit Hooks(Controller& controller) : c_(controller) {}

  void eraseCircle() override {
    kurvana::eraseCircle(c_.app_->plot, c_.app_->image, c_.app_->explore);
  }

  void recordHistory(const std::string& f, const std::string* g) override {
    if (c_.dataFolder_) status.add(kurvana::recordHistory(c_.app_->history, *c_.dataFolder_, f, g));
  }

  // The editor opens only for a report that was written whole.
  void report() override {
    std::filesystem::path file;
    if (c_.setup_.reportPath) {
      file = *c_.setup_.reportPath;
    } else if (c_.dataFolder_) {
      file = *c_.dataFolder_ / kReportFileName;
    } else {
      return;
    }
    const Application& app = *c_.app_;
    Status written = writeReport(
        file, reportLines(app.plot, readFieldTexts(c_.view_), app.texts, app.decimalSeparator));
    if (!written.ok()) {
      status.add(std::move(written));
      return;
    }
    reportWritten = true;
    if (c_.setup_.reportCommand.empty() || c_.reportOpenFailed_) return;
    c_.openedReport_ = file;
    if (!c_.opener_.open(file.string())) {
      c_.reportOpenFailed_ = true;
      status.add(c_.reportNotOpened(std::nullopt));
    }
  }

  Status status;
  bool reportWritten = false;

 private:
  Controller& c_;
};

Controller::Controller(AppView& view, ControllerSetup setup)
    : view_(view),
      setup_(withEnvironment(std::move(setup))),
      app_(std::make_unique<Application>(labelFont(setup_.environment))),
      window_{kDefaultWindowSize.width, kDefaultWindowSize.height},
      opener_(setup_.reportCommand) {
  applyColourScheme(app_->plot);
}

Controller::~Controller() = default;

std::filesystem::path Controller::settingsPath() const {
  return *dataFolder_ / (std::string(kProductName) + ".ini");
}

Status Controller::startUp(Size screen, const std::optional<std::string>& argument) {
  PlotState& s = app_->plot;
  DataFolder folder = kurvana::dataFolder(setup_.environment);
  dataFolder_ = std::move(folder.folder);
  if (!dataFolder_) return std::move(folder.status);

  // What a killed save left behind; a live writer's temporary is locked.
  removeStaleTemporaries(*dataFolder_);

  Status status;
  screen_ = screen;
  window_ = WindowExtent{kDefaultWindowSize.width, kDefaultWindowSize.height};
  if (const Status read = readSettings(settingsPath(), s, window_); !read.ok()) {
    // Not a record we can read, so perhaps not ours: it is left as it is.
    keepSettingsFile_ = true;
    status.add(read.message() + ". Settings are not saved while it is there.");
  }
  applyColourScheme(s);
  const Size fitted = fitToScreen(windowSize(), screen_);
  window_ = WindowExtent{fitted.width, fitted.height};
  kurvana::setCurveColor(s, s.curveColor);
  view_.showCurveColor(s.curveColor);
  if (!keepSettingsFile_) status.add(writeSettings(settingsPath(), s, window_));
  view_.showFileName("");

  const std::string& sep = app_->decimalSeparator;
  view_.setFieldText(Field::kXMin, formatGeneral(s.xMin, sep, kStartupDigits));
  view_.setFieldText(Field::kXMax, formatGeneral(s.xMax, sep, kStartupDigits));
  view_.setFieldText(Field::kYMin, formatGeneral(s.yMin, sep, kStartupDigits));
  view_.setFieldText(Field::kYMax, formatGeneral(s.yMax, sep, kStartupDigits));
  view_.setFieldText(Field::kZMin, formatGeneral(s.zMin, sep, kStartupDigits));
  view_.setFieldText(Field::kZMax, formatGeneral(s.zMax, sep, kStartupDigits));
  view_.setFieldText(Field::kZCount, std::to_string(s.zCount));

  if (setup_.registerFileTypes) {
    // A convenience: a desktop that cannot take the registration is no reason
    // for a message at every start.
    const Status registered =
        registerFileTypes(setup_.executable, setup_.iconPng, setup_.environment, setup_.runCommand);
    (void)registered;
  }

  view_.showToggle(Toggle::kAutoScale, isOn(s.optAutoScale));
  applyFieldEnabling(view_, doauto(s));
  view_.showToggle(Toggle::kFilled, isOn(s.optFilled));
  view_.showToggle(Toggle::kLines, isOn(s.optLines));
  view_.showToggle(Toggle::kCircle, isOn(s.optCircle));

  bool loaded = false;
  if (argument) {
    const Status opened = openFunctionFileAsNamed(*argument);
    loaded = opened.ok();
    status.add(opened);
  }
  // Without a file, or when it could not be read, the newest formula of the
  // mode's history fills the field as at any start.
  if (!loaded) status.add(arrangeFormulaArea(true));
  return status;
}

Status Controller::arrangeFormulaArea(bool fillFromHistory) {
  const PlotState& s = app_->plot;
  const bool two = isOn(s.optTwoFunctions);
  view_.arrangeFormulaArea(two                ? FormulaArea::kTwoFunctions
                           : isOn(s.optPolar) ? FormulaArea::kPolar
                                              : FormulaArea::kOneFunction);
  Status status;
  if (dataFolder_) {
    LoadedHistory loaded = loadHistory(app_->history, *dataFolder_, two);
    status.add(std::move(loaded.status));
    if (fillFromHistory) {
      view_.setFieldText(Field::kFormulaF, loaded.newest.f);
      if (two) view_.setFieldText(Field::kFormulaG, loaded.newest.g);
    }
  } else {
    app_->history.historyIndex = 2;
  }
  return status;
}

DrawResult Controller::draw() {
  DrawResult result = drawUnrecorded();
  recordView();
  return result;
}

void Controller::recordView() {
  const PlotState& s = app_->plot;
  if (!s.plotValid) return;
  views_.record(View{s.xMin,
                     s.xMax,
                     s.yMin,
                     s.yMax,
                     {view_.fieldText(Field::kXMin), view_.fieldText(Field::kXMax),
                      view_.fieldText(Field::kYMin), view_.fieldText(Field::kYMax)}});
}

// During a drag the ranges follow the pointer; the release records its view.
Status Controller::back(std::optional<Point> pointer) {
  return app_->explore.panActive ? Status() : showView(views_.back(), pointer);
}

Status Controller::forward(std::optional<Point> pointer) {
  return app_->explore.panActive ? Status() : showView(views_.forward(), pointer);
}

Status Controller::showView(const View* shown, std::optional<Point> pointer) {
  if (shown == nullptr) return {};
  view_.setFieldText(Field::kXMin, shown->texts[0]);
  view_.setFieldText(Field::kXMax, shown->texts[1]);
  view_.setFieldText(Field::kYMin, shown->texts[2]);
  view_.setFieldText(Field::kYMax, shown->texts[3]);
  RenderContext c = context();
  showEmptyPlot(c, view_);
  Status status = drawUnrecorded().status;
  if (pointer && app_->image.contains(pointer->x, pointer->y)) {
    pointerMovedOnPlot(*app_, view_, Keys{}, *pointer);
  }
  return status;
}

DrawResult Controller::drawUnrecorded() {
  Hooks hooks(*this);
  RenderContext c = context();
  DrawResult result;
  result.outcome = drawPlot(c, view_, app_->texts, hooks);
  if (result.outcome == DrawOutcome::kDrawn) {
    // With automatic scale the Draw painted the empty plot for its new ranges first.
    if (isOn(app_->plot.optAutoScale)) app_->painted.cleared(app_->plot);
    app_->painted.curvePainted(app_->plot);
  }
  result.reportWritten = hooks.reportWritten;
  result.status = std::move(hooks.status);
  return result;
}

DrawResult Controller::redraw() {
  RenderContext c = context();
  showEmptyPlot(c, view_);
  app_->painted.cleared(app_->plot);
  return draw();
}

void Controller::clearPicture() {
  RenderContext c = context();
  showEmptyPlot(c, view_);
  app_->painted.cleared(app_->plot);
  app_->plot.plotValid = false;
}

void Controller::toggleAutoScale() {
  PlotState& s = app_->plot;
  toggle(s.optAutoScale);
  view_.showToggle(Toggle::kAutoScale, isOn(s.optAutoScale));
  applyFieldEnabling(view_, doauto(s));
}

Status Controller::toggleFilled() {
  PlotState& s = app_->plot;
  toggle(s.optFilled);
  view_.showToggle(Toggle::kFilled, isOn(s.optFilled));
  // Two-function plots are never filled: the flag changes, the picture not.
  if (s.plotValid && !isOn(s.optTwoFunctions)) return redraw().status;
  return {};
}

Status Controller::toggleLines() {
  PlotState& s = app_->plot;
  toggle(s.optLines);
  view_.showToggle(Toggle::kLines, isOn(s.optLines));
  if (s.plotValid) return redraw().status;
  return {};
}

void Controller::showStateInFields() {
  const PlotState& s = app_->plot;
  const std::string& sep = app_->decimalSeparator;
  writeXRange(s, view_, sep);
  writeYRange(s, view_, sep);
  view_.setFieldText(Field::kZMin, formatGeneral(s.zMin, sep));
  view_.setFieldText(Field::kZMax, formatGeneral(s.zMax, sep));
  view_.setFieldText(Field::kZCount, std::to_string(s.zCount));
  view_.setFieldText(Field::kFormulaF, "F(x)=");
  view_.setFieldText(Field::kFormulaG, "G(x)=");
}

void Controller::toggleCircle() {
  PlotState& s = app_->plot;
  toggle(s.optCircle);
  view_.showToggle(Toggle::kCircle, isOn(s.optCircle));
  eraseCircle(s, app_->image, app_->explore);
}

void Controller::applyOptions() {
  applyColourScheme(app_->plot);
  applyFieldEnabling(view_, doauto(app_->plot));
}

std::uint8_t& Controller::flag(Option option) {
  PlotState& s = app_->plot;
  switch (option) {
    case Option::kTwoFunctions:
      return s.optTwoFunctions;
    case Option::kPolar:
      return s.optPolar;
    case Option::kAntialias:
      return s.optAntialias;
    case Option::kGrid:
      return s.optGrid;
    case Option::kThick:
      return s.optThick;
    case Option::kAxes:
      return s.optAxes;
    case Option::kWhiteBack:
      return s.optWhiteBack;
    case Option::kReport:
      return s.optReport;
    case Option::kDarkNegative:
      return s.optDarkNegative;
    case Option::kLanguage:
      break;
  }
  return s.optLanguage;
}

void Controller::toggleOption(Option option) {
  toggle(flag(option));
  // Switched on again: the user may have installed a program for text files.
  if (option == Option::kReport && isOn(app_->plot.optReport)) reportOpenFailed_ = false;
}

Status Controller::reportOpening() {
  Status status;
  const std::optional<int> ended = opener_.ended();
  if (ended && *ended != 0 && !reportOpenFailed_) {
    reportOpenFailed_ = true;
    status.add(reportNotOpened(ended));
  }
  return status;
}

std::string Controller::reportNotOpened(std::optional<int> status) const {
  return "Cannot open the report \"" + openedReport_.string() +
         "\": " + opener_.failureReason(status) + ". It is still written there after each Draw.";
}

bool Controller::isOptionOn(Option option) const {
  return isOn(const_cast<Controller*>(this)->flag(option));
}

void Controller::setCurveColor(Color color) {
  kurvana::setCurveColor(app_->plot, color & 0xFFFFFFu);
  view_.showCurveColor(app_->plot.curveColor);
}

std::filesystem::path Controller::chosenLanguagePath() const {
  return *dataFolder_ / (std::string(kProductName) + ".lng");
}

Status Controller::loadLanguages() {
  Status status;
  selectedLanguage_.clear();
  if (dataFolder_) {
    ChosenLanguage chosen = readChosenLanguage(chosenLanguagePath());
    status.add(std::move(chosen.status));
    selectedLanguage_ = std::move(chosen.name);
  }
  languages_ = {LanguageItem{"English", {}, {}}};
  chosenLanguageIndex_ = 0;
  int remembered = 0;
  LanguageList read = readLanguageFiles(listLanguageFiles(languageFolders(setup_.executable)));
  status.add(std::move(read.status));
  for (ListedLanguage& listed : read.languages) {
    LanguageFile& language = listed.language;
    if (!selectedLanguage_.empty() && language.name == selectedLanguage_) {
      remembered = static_cast<int>(languages_.size());
    }
    languages_.push_back(
        LanguageItem{std::move(language.name), listed.file, std::move(language.texts)});
  }
  if (remembered > 0 && isOn(app_->plot.optLanguage)) {
    chosenLanguageIndex_ = remembered;
    selectedLanguage_ = languages_[static_cast<std::size_t>(remembered)].name;
  }
  applyLanguage(chosenLanguageIndex_);
  return status;
}

void Controller::applyLanguage(int languageIndex) {
  if (!isOn(app_->plot.optLanguage) || languageIndex <= 0) {
    app_->texts = InterfaceTexts();
    languageFile_.clear();
  } else {
    // Applying a file starts again from English, so of the files whose
    // first line is the chosen name the last in the list decides. Texts stay
    // as they are when none is found.
    const auto last = std::find_if(
        languages_.rbegin(), languages_.rend(),
        [this](const auto& item) { return !item.file.empty() && item.name == selectedLanguage_; });
    if (last != languages_.rend()) {
      kurvana::applyLanguage(app_->texts, LanguageFile{last->name, last->texts});
      languageFile_ = last->file;
    }
  }
  view_.showInterfaceTexts(app_->texts);
}

std::vector<std::filesystem::path> Controller::translationFiles() const {
  if (languageFile_.empty()) return {};
  return kurvana::translationFiles(languageFile_, languageFolders(setup_.executable));
}

DrawResult Controller::applySettings(int languageIndex) {
  Status status;
  status.add(arrangeFormulaArea(true));
  applyOptions();
  if (languageIndex < 0 || static_cast<std::size_t>(languageIndex) >= languages_.size()) {
    languageIndex = 0;
  }
  const std::string chosen = languages_.empty()
                                 ? std::string("English")
                                 : languages_[static_cast<std::size_t>(languageIndex)].name;
  if (dataFolder_) status.add(writeChosenLanguage(chosenLanguagePath(), chosen));
  selectedLanguage_ = chosen;
  applyLanguage(languageIndex);
  DrawResult result = redraw();
  status.add(std::move(result.status));
  result.status = std::move(status);
  return result;
}

Status Controller::zoom(ZoomDirection direction, Keys keys, std::optional<Point> pointer) {
  PlotState& s = app_->plot;
  const std::optional<ZoomedRange> zoomed = zoomRange(s, direction, keys);
  if (!zoomed) {
    view_.beep();
    return {};
  }
  if (zoomed->yAxis) {
    s.yMin = zoomed->min;
    s.yMax = zoomed->max;
    writeYRange(s, view_, app_->decimalSeparator);
  } else {
    s.xMin = zoomed->min;
    s.xMax = zoomed->max;
    writeXRange(s, view_, app_->decimalSeparator);
  }
  Status status = redraw().status;
  if (pointer && app_->image.contains(pointer->x, pointer->y)) {
    pointerMovedOnPlot(*app_, view_, Keys{}, *pointer);
  }
  return status;
}

PlotPress Controller::pointerPressed(MouseButton button, Point at) {
  RenderContext c = context();
  const PlotPress press = plotPointerPressed(c, app_->explore, button, at.x, at.y);
  if (press == PlotPress::kNothing) view_.beep();
  return press;
}

Rect Controller::pointerMoved(Keys keys, Point at) {
  const PlotState& s = app_->plot;
  const ExploreState& e = app_->explore;
  const bool dragStep = e.panActive && s.plotValid;
  const Rect before = s.circleShown ? e.circleRect : Rect{};
  pointerMovedOnPlot(*app_, view_, keys, at);
  if (dragStep) return Rect{0, 0, app_->image.width(), app_->image.height()};
  return unite(before, s.circleShown ? e.circleRect : Rect{});
}

Rect Controller::traceKey(TraceMove move, int steps) {
  PlotState& s = app_->plot;
  ExploreState& e = app_->explore;
  if (!s.plotValid || e.panActive) return {};
  const Rect before = s.circleShown ? e.circleRect : Rect{};
  RenderContext c = context();
  showReadout(view_, traceReadout(c, e, move, steps));
  return unite(before, s.circleShown ? e.circleRect : Rect{});
}

Status Controller::pointerReleased() {
  if (!plotPointerReleased(app_->plot, app_->explore)) return {};
  return redraw().status;
}

void Controller::nextHistoryFormula() {
  const bool two = isOn(app_->plot.optTwoFunctions);
  const HistoryFormulas shown{view_.fieldText(Field::kFormulaF),
                              two ? view_.fieldText(Field::kFormulaG) : std::string()};
  const auto next = kurvana::nextHistoryFormula(app_->history, two, shown);
  if (!next) {
    view_.beep();
    return;
  }
  view_.setFieldText(Field::kFormulaF, next->f);
  if (two) view_.setFieldText(Field::kFormulaG, next->g);
}

Status Controller::loadFunction(const std::filesystem::path& path) {
  Status status;
  status.add(loadFunctionFile(app_->plot, view_, path));
  if (!status.ok()) return status;
  view_.showFileName(fileNameOnly(path));
  status.add(arrangeFormulaArea(false));
  status.add(redraw().status);
  return status;
}

Status Controller::saveFunction(const std::filesystem::path& path) {
  Status status;
  status.add(saveFunctionFile(app_->plot, view_, path));
  return status;
}

Status Controller::openFunctionFileAsNamed(const std::filesystem::path& path) {
  PlotState& s = app_->plot;
  const std::uint8_t mode = s.optTwoFunctions;
  if (const auto two = twoFunctionsFromName(path.string())) {
    s.optTwoFunctions = *two ? flagOn : flagOff;
  }
  Status status;
  status.add(loadFunctionFile(s, view_, path));
  if (!status.ok()) {
    s.optTwoFunctions = mode;  // nothing was read: the layout still shows this mode
    return status;
  }
  status.add(arrangeFormulaArea(false));
  view_.showFileName(fileNameOnly(path));
  return status;
}

bool Controller::prepareSavePicture() {
  PlotState& s = app_->plot;
  if (!s.plotValid) {
    view_.beep();
    return false;
  }
  eraseCircle(s, app_->image, app_->explore);
  return true;
}

void Controller::copyPicture() {
  const PlotState& s = app_->plot;
  if (!s.plotValid) {
    view_.beep();
    return;
  }
  Bitmap picture = app_->image;
  if (s.circleShown) {
    const Rect& ring = app_->explore.circleRect;
    const Bitmap& under = app_->explore.circleBacking;  // the ring's side at the plot's scale
    picture.copyRect(under, 0, 0, under.width(), under.height(), ring.left, ring.top);
  }
  view_.copyPicture(picture);
}

Status Controller::savePicture(const std::filesystem::path& path, PictureFormat format) {
  if (isVectorFormat(format)) {
    // No face for the raster labels, none for the vector ones.
    const std::optional<FontFile> font =
        app_->labelFont != nullptr ? labelFontFile(setup_.environment) : std::nullopt;
    const VectorPictureInput input{app_->painted.frame(), app_->painted.curves(),
                                   Size{app_->image.width(), app_->image.height()},
                                   app_->decimalSeparator, font ? &*font : nullptr,
                                   scaledPixels(kLabelPixels, app_->painted.frame().scale)};
    return writeVectorPictureFile(
        input, path, format == PictureFormat::kSvg ? VectorFormat::kSvg : VectorFormat::kPdf);
  }
  return writePictureFile(app_->image, path, format);
}

Status Controller::filesDropped(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  if (names.size() > 1 || !twoFunctionsFromName(names.front())) {
    view_.beep();
    return {};
  }
  Status status = openFunctionFileAsNamed(names.front());
  if (!status.ok()) return status;
  status.add(redraw().status);
  return status;
}

Status Controller::resizeStep() {
  PlotState& s = app_->plot;
  RenderContext c = context();
  showEmptyPlot(c, view_);
  app_->painted.cleared(s);
  if (!s.plotValid) return {};
  // Live redraws skip antialiasing; the release draws the final picture.
  const std::uint8_t antialias = s.optAntialias;
  s.optAntialias = flagOff;
  Status status = drawUnrecorded().status;
  s.optAntialias = antialias;
  return status;
}

Status Controller::resizeFinished() {
  // The live steps leave the view to the release: automatic scale may have
  // fitted new ranges to the new width.
  if (!isOn(app_->plot.optAntialias)) {
    recordView();
    return {};
  }
  return sizeChanged();
}

Status Controller::sizeChanged() {
  RenderContext c = context();
  showEmptyPlot(c, view_);
  app_->painted.cleared(app_->plot);
  if (!app_->plot.plotValid) return {};
  return draw().status;
}

Status Controller::scaleChanged(double scale) {
  const double kept = std::isfinite(scale) ? std::clamp(scale, 1.0, kMaxScale) : 1.0;
  PlotState& s = app_->plot;
  if (kept == s.scale) return {};
  s.scale = kept;
  if (app_->image.empty()) return {};  // the first empty plot is painted at it
  return sizeChanged();
}

Status Controller::exit() {
  Status status;
  readRanges(app_->plot, view_, readFieldTexts(view_), app_->decimalSeparator);
  if (dataFolder_ && !keepSettingsFile_) {
    status.add(writeSettings(settingsPath(), app_->plot, window_));
  }
  return status;
}

}  // namespace kurvana
