#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QWindow>
#include <random>
#include <utility>

#include "app/update_check.h"
#include "app/web_address.h"
#include "app/window_geometry.h"
#include "ui/about_window.h"
#include "ui/caret_rest.h"
#include "ui/fields.h"
#include "ui/message_window.h"
#include "ui/palette_dialog.h"
#include "ui/plot_widget.h"
#include "ui/problem_texts.h"
#include "ui/settings_dialog.h"
#include "ui/update_checker.h"

namespace kurvana::ui {
namespace {

// Where the window's own pictures and texts sit (window pixels).
constexpr int kTitleHeight = 32;
constexpr int kCommandButtonSize = 50;
constexpr int kCommandButtonLefts[] = {450, 505, 560, 615, 670, 725, 780, 835};
constexpr int kZoomStepAngle = 120;  // one notch of a mouse wheel
constexpr int kUpdateTimeoutMs = 10000;
constexpr int kActivationWaitMs = 300;

const QColor kTitleTextColor(232, 233, 236);
const QColor kFileNameColor(24, 27, 31);
const QColor kPanelTextColor(218, 221, 228);
const QColor kFieldBackground(232, 233, 236);
const QColor kDisabledFieldBackground(196, 199, 205);
// Grey on the grey: dimmer than an editable field's black, still readable.
const QColor kDisabledFieldText(92, 95, 102);

void colourText(QWidget* widget, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  widget->setPalette(palette);
}

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The offer as the catalogue knows it, with the line end a message box
// shows: the English must stay the core's text exactly.
constexpr const char* kOfferSource =
    QT_TRANSLATE_NOOP("kurvana::ui::MainWindow",
                      "A new program version is available!\nDo you want to download it now?");
constexpr bool isOfferWithLineFeed(std::string_view crlf, std::string_view lf) {
  std::size_t j = 0;
  for (std::size_t i = 0; i < crlf.size(); ++i, ++j) {
    if (crlf.substr(i, 2) == "\r\n") ++i;
    if (j >= lf.size() || lf[j] != crlf[i]) return false;
  }
  return j == lf.size();
}
static_assert(isOfferWithLineFeed(kUpdateOffer, kOfferSource));

}  // namespace

// The program icon in the title bar: brighter while the pointer is over it.
// A click on it opens the about window; it does not drag the window.
class MainWindow::TitleIcon : public QLabel, public AccessibleControl {
 public:
  TitleIcon(QWidget* parent, std::function<void()> clicked)
      : QLabel(parent), clicked_(std::move(clicked)) {
    setFixedSize(32, 32);
    setObjectName("titleIcon");
    show(false);
  }

  QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
  void doAccessibleAction() override { clicked_(); }

 protected:
  void enterEvent(QEnterEvent*) override { show(true); }
  void leaveEvent(QEvent*) override { show(false); }
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (rect().contains(event->position().toPoint())) clicked_();
  }

 private:
  void show(bool hover) { setPixmap(QPixmap::fromImage(titleIcon(hover, devicePixelRatioF()))); }

  std::function<void()> clicked_;
};

// The resize grip in the lower right corner.
class MainWindow::Grip : public QLabel {
 public:
  explicit Grip(MainWindow* window) : QLabel(window), window_(window) {
    setFixedSize(14, 13);
    setPixmap(QPixmap::fromImage(resizeGrip(devicePixelRatioF())));
    setCursor(Qt::SizeFDiagCursor);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    window_->gripPressed(event->globalPosition().toPoint());
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    window_->gripMoved(event->globalPosition().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent*) override { window_->gripReleased(); }

 private:
  MainWindow* window_;
};

// Sees each mouse press in the main window before the widget under the
// pointer does: it dismisses the message, and under Wayland the other small
// windows too, as the main window's activation does where the window system
// does not move the keyboard to a clicked parent.
class MainWindow::PressWatcher : public QObject {
 public:
  explicit PressWatcher(MainWindow* window) : QObject(window), window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget != nullptr && widget->window() == window_) window_->pressedInWindow();
    }
    return false;
  }

 private:
  MainWindow* window_;
};

MainWindow::Services MainWindow::desktopServices(QWidget* dialogParent) {
  Services s;
  s.beep = [] { QApplication::beep(); };
  s.showProblem = [dialogParent](const QString& message) {
    QMessageBox::warning(dialogParent, "Kurvana", message);
  };
  s.chooseFile = [dialogParent](const FileRequest& request) -> std::optional<FileChoice> {
    QFileDialog dialog(dialogParent, request.title, request.folder);
    dialog.setNameFilters(request.filters);
    if (request.filter >= 0 && request.filter < request.filters.size()) {
      dialog.selectNameFilter(request.filters[request.filter]);
    }
    const bool save = request.kind != FileRequest::Kind::kLoadFunction;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return FileChoice{dialog.selectedFiles().front(),
                      static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter()))};
  };
  s.quit = [] { QCoreApplication::quit(); };
  s.confirm = [dialogParent](const QString& question) {
    return QMessageBox::information(dialogParent, "Kurvana", question,
                                    QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
  };
  s.updateDraw = [] {
    static std::mt19937 random{std::random_device{}()};
    return static_cast<unsigned>(std::uniform_int_distribution<int>(0, 29)(random));
  };
  s.versionDocument = QUrl(QString::fromStdString(versionDocumentAddress()));
  return s;
}

MainWindow::MainWindow(ControllerSetup setup, const std::optional<std::string>& argument,
                       Services services)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  const Services desktop = desktopServices(this);
  services_ = std::move(services);
  if (!services_.beep) services_.beep = desktop.beep;
  if (!services_.showProblem) services_.showProblem = desktop.showProblem;
  if (!services_.chooseFile) services_.chooseFile = desktop.chooseFile;
  // Addresses go to the desktop's opener as the report does, so that a
  // desktop without a browser is told, not silent.
  addressOpener_ = std::make_unique<DesktopOpener>(
      setup.reportCommand.empty() ? std::vector<std::string>{"xdg-open"} : setup.reportCommand,
      DesktopOpener::Reuse::kEveryTime);
  if (!services_.openUrl) services_.openUrl = [this](const QUrl& url) { openAddress(url); };
  if (!services_.quit) services_.quit = desktop.quit;
  if (!services_.confirm) services_.confirm = desktop.confirm;
  if (!services_.updateDraw) services_.updateDraw = desktop.updateDraw;
  if (services_.versionDocument.isEmpty()) services_.versionDocument = desktop.versionDocument;
  if (!services_.askWindowState) {
    services_.askWindowState = [this](bool maximised) {
      if (maximised) {
        showMaximized();
      } else {
        showNormal();
      }
    };
  }
  if (!services_.workArea) services_.workArea = [this] { return screen()->availableGeometry(); };
  // A Wayland compositor places windows itself and holds a maximised one to
  // the size it chose.
  if (QGuiApplication::platformName().startsWith("wayland")) {
    windowSystem_ = WindowSystemKind::kCompositor;
  }

  setWindowTitle(kProductName);
  setAcceptDrops(true);
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  // Held shared for the window's life: whoever wants to know whether Kurvana
  // runs asks for it exclusively. Several windows may run at once.
  instanceMark_ = std::make_unique<FileLock>((runtime + "/" + kProductName + ".lock").toStdString(),
                                             FileLock::Mode::kShared, std::chrono::milliseconds(0));
  setMinimumSize(kMinWindowSize.width, kMinWindowSize.height);
  setMaximumSize(kMaxWindowSize.width, kMaxWindowSize.height);
  controller_ = std::make_unique<Controller>(*this, std::move(setup));

  buildChrome();
  buildPanel();
  buildFormulaArea();
  buildCommandButtons();
  buildPlotMenu();
  buildTabOrder();
  new PressWatcher(this);

  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  const Status status = controller_->startUp(Size{screen.width(), screen.height()}, argument);
  if (status.isFatal()) {
    // The splash stays on top and would hide the message.
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->windowType() == Qt::SplashScreen) top->hide();
    }
    showProblems(status);
    return;
  }
  // Other problems (an unreadable command-line file, a settings record that
  // could not be written) are shown over the window once it has its first
  // plot, not over the splash.
  startupProblems_ = status;

  // The languages: the saved choice is applied now, the settings dialog
  // lists them when it is first opened.
  startupProblems_.add(controller_->loadLanguages());
  showInterfaceTexts(controller_->app().texts);
  startupProblems_.add(std::exchange(translationProblems_, Status()));

  const Size recorded = controller_->windowSize();
  resize(recorded.width, recorded.height);
  layoutWindow();
  // The plot, made first, leads the window's own focus chain: the keyboard
  // goes to the first control of the Tab order that takes it.
  for (QWidget* w : tabOrder_) {
    if (w->isEnabled() && !w->isHidden()) {
      w->setFocus();
      break;
    }
  }
  startedUp_ = true;

  startupTimer_->setInterval(100);
  connect(startupTimer_, &QTimer::timeout, this, &MainWindow::startupTick);
  startupTimer_->start();
  openerWatch_->setInterval(kOpenerWatchMs);
  connect(openerWatch_, &QTimer::timeout, this, &MainWindow::watchOpeners);
  // Should the frame never come (a window hidden meanwhile), a press is not
  // held for ever.
  frameSettleLimit_->setSingleShot(true);
  frameSettleLimit_->setInterval(kFrameSettleLimitMs);
  connect(frameSettleLimit_, &QTimer::timeout, this, [this] { compositorFrameSettled(); });
  windowSystemAnswer_->setSingleShot(true);
  windowSystemAnswer_->setInterval(services_.windowSystemAnswerMs.value_or(kWindowSystemAnswerMs));
  connect(windowSystemAnswer_, &QTimer::timeout, this,
          [this] { carryOut(maximise_.answerOverdue(windowNow())); });
  new CaretRest(services_.caretRestMs.value_or(CaretRest::kIdleMs), this);
  resizeSettled_->setSingleShot(true);
  resizeSettled_->setInterval(200);
  connect(resizeSettled_, &QTimer::timeout, this, [this] {
    systemResizing_ = false;
    afterCommand(controller_->resizeFinished());
  });
}

MainWindow::~MainWindow() = default;

MessageWindow& MainWindow::messageWindow() {
  if (!messageWindow_) {
    messageWindow_ = std::make_unique<MessageWindow>(this);
    messageWindow_->setTitle(fromUtf8(controller_->app().texts[TextId::kMessageTitle]));
  }
  return *messageWindow_;
}

AboutWindow& MainWindow::aboutWindow() {
  if (!aboutWindow_) {
    aboutWindow_ = std::make_unique<AboutWindow>(this, services_.openUrl);
    aboutWindow_->setTitleText(controller_->app().texts[TextId::kAboutTitle]);
  }
  return *aboutWindow_;
}

PaletteDialog& MainWindow::paletteDialog() {
  if (!paletteDialog_) {
    paletteDialog_ = std::make_unique<PaletteDialog>(this, *controller_);
    paletteDialog_->showTexts(controller_->app().texts);
  }
  return *paletteDialog_;
}

SettingsDialog& MainWindow::settingsDialog() {
  if (!settingsDialog_) {
    settingsDialog_ = std::make_unique<SettingsDialog>(this, *controller_);
    connect(settingsDialog_.get(), &SettingsDialog::applied, this, [this](Status s) {
      s.add(std::exchange(translationProblems_, Status()));
      afterCommand(s);
    });
  }
  return *settingsDialog_;
}

void MainWindow::buildChrome() {
  titleBar_ = new TitleBar(this);
  titleBar_->setObjectName("titleBar");
  titleIcon_ = new TitleIcon(titleBar_, [this] { showDialog(&aboutWindow()); });
  titleIcon_->move(8, 0);
  titleLabel_ = new QLabel(kProductName, titleBar_);
  titleLabel_->setGeometry(46, 8, 311, 22);
  setInterfaceFont(titleLabel_, 15);
  colourText(titleLabel_, kTitleTextColor);
  titleBar_->addPassThrough(titleLabel_);
  fileNameLabel_ = new QLabel(titleBar_);
  fileNameLabel_->setObjectName("fileName");
  fileNameLabel_->move(0, 8);
  setInterfaceFont(fileNameLabel_, 15);
  colourText(fileNameLabel_, kFileNameColor);
  // The dark name on a light plate: the bar itself is dark for the title.
  fileNameLabel_->setStyleSheet(QStringLiteral(
      "QLabel#fileName { color: rgb(24, 27, 31); background-color: rgb(196, 202, 212);"
      " border-radius: 4px; padding: 0px 6px; }"));
  fileNameLabel_->hide();
  titleBar_->addPassThrough(fileNameLabel_);

  const QSize caption(32, 24);
  minimiseButton_ = new RoundButton(Glyph::kMinimise, caption, RoundButton::Trigger::kClick, this);
  maximiseButton_ = new RoundButton(Glyph::kMaximise, caption, RoundButton::Trigger::kClick, this);
  closeButton_ = new RoundButton(Glyph::kClose, caption, RoundButton::Trigger::kClick, this);
  minimiseButton_->setObjectName("minimiseButton");
  maximiseButton_->setObjectName("maximiseButton");
  closeButton_->setObjectName("closeButton");
  // Out of the Tab order (the window system has keys for them), but pressed
  // by screen readers like the rest. Their tool tips come with retranslate().
  connect(minimiseButton_, &RoundButton::triggered, this, [this] { showMinimized(); });
  connect(maximiseButton_, &RoundButton::triggered, this, [this] { toggleMaximised(); });
  connect(closeButton_, &RoundButton::triggered, this, [this] { exitProgram(); });

  plot_ = new PlotWidget(*controller_, this);
  plot_->setObjectName("plot");
  connect(plot_, &PlotWidget::menuRequested, this, [this](QPoint global, bool enabled) {
    for (QAction* action : plotItemsNeedingAPlot_) action->setEnabled(enabled);
    backItem_->setEnabled(controller_->canGoBack());
    forwardItem_->setEnabled(controller_->canGoForward());
    plotMenu_->popup(global);
  });
  connect(plot_, &PlotWidget::problems, this, [this](const Status& s) { showProblems(s); });
  // Another screen, or the screen's scale changed: the plot follows it.
  connect(plot_, &PlotWidget::scaleOutdated, this,
          [this] { afterCommand(controller_->scaleChanged(plot_->wantedScale())); });

  grip_ = new Grip(this);
  grip_->setObjectName("grip");
}

void MainWindow::buildPanel() {
  const auto addLabel = [this](const QString& text, int fromRight, int top, int width, int height,
                               int pixels = 15) {
    auto* label = new QLabel(text, this);
    label->resize(width, height);
    setInterfaceFont(label, pixels);
    colourText(label, kPanelTextColor);
    panel_.push_back({label, fromRight, top});
    return label;
  };

  struct RangeRow {
    Field field;
    const char* name;
    const char* caption;
    int top;
  };
  const RangeRow ranges[] = {
      {Field::kXMin, "xMin", "x min", 40},  {Field::kXMax, "xMax", "x max", 69},
      {Field::kYMin, "yMin", "y min", 104}, {Field::kYMax, "yMax", "y max", 133},
      {Field::kZCount, "zCount", "Z", 481}, {Field::kZMin, "zMin", "z min", 510},
      {Field::kZMax, "zMax", "z max", 539},
  };
  for (const RangeRow& r : ranges) {
    QLabel* caption = addLabel(r.caption, 170, r.top, 46, 22);
    QLabel* equals = addLabel("=", 124, r.top, 14, 22);
    auto* frame = new QLabel(this);
    frame->setPixmap(QPixmap::fromImage(fieldFrame(QSize(96, 26), devicePixelRatioF())));
    frame->resize(96, 26);
    panel_.push_back({frame, 109, r.top - 2});
    auto* edit = new RangeField(this);
    edit->setObjectName(r.name);
    edit->setAccessibleName(r.caption);
    edit->resize(92, 22);
    panel_.push_back({edit, 107, r.top});
    fields_[r.field] = edit;
    fieldFrames_[r.field] = frame;
    if (r.field == Field::kZCount || r.field == Field::kZMin || r.field == Field::kZMax) {
      parameterGroup_.insert(parameterGroup_.end(), {caption, equals, edit, frame});
    }
  }

  struct Readout {
    Label label;
    const char* name;
    const char* caption;
    int top;
  };
  const Readout readouts[] = {
      {Label::kReadoutX, "readoutX", "x", 166},
      {Label::kReadoutF, "readoutF", "F(x)", 194},
      {Label::kReadoutDerivative, "readoutThird", "F'(x)", 222},
      {Label::kIntegral, "integral", "", 248},
      {Label::kPlotSize, "plotSize", "X, Y", 446},
  };
  readoutNames_ = {{Label::kReadoutX, "x"},
                   {Label::kReadoutF, "F(x)"},
                   {Label::kReadoutDerivative, "F'(x)"},
                   {Label::kIntegral, "Integral"},
                   {Label::kPlotSize, "X, Y"}};
  for (const Readout& r : readouts) {
    QLabel* caption = nullptr;
    if (r.label == Label::kIntegral) {
      QLabel* sign = addLabel(QString::fromUtf8("\u222B"), 170, 246, 14, 24, 16);
      QLabel* fdx = addLabel("Fdx", 160, 250, 40, 20);
      integralReadout_ = {sign, fdx};
    } else {
      caption = addLabel(r.caption, 170, r.top, 46, 20);
    }
    QLabel* value = addLabel("= 0", 124, r.top, 124, 20);
    value->setObjectName(r.name);
    labels_[r.label] = value;
    nameReadout(r.label);
    if (r.label == Label::kIntegral) integralReadout_.push_back(value);
    if (r.label == Label::kReadoutDerivative) {
      thirdReadoutCaption_ = caption;
      caption->setObjectName("readoutThirdCaption");
    }
  }

  struct ToggleRow {
    std::optional<Toggle> toggle;  // none: the colour swatch
    const char* name;
    TextId caption;
    int top;
  };
  const ToggleRow toggles[] = {
      {std::nullopt, "colorPicker", TextId::kColorPicker, 282},
      {Toggle::kAutoScale, "autoScale", TextId::kAutoScale, 313},
      {Toggle::kFilled, "filled", TextId::kFilled, 344},
      {Toggle::kLines, "lines", TextId::kLines, 375},
      {Toggle::kCircle, "circle", TextId::kShowCircle, 406},
  };
  for (const ToggleRow& t : toggles) {
    auto* picture = new TogglePicture(
        this, t.toggle ? TogglePicture::Kind::kToggle : TogglePicture::Kind::kButton);
    picture->setObjectName(QString(t.name) + "Picture");
    picture->setFocusPolicy(Qt::TabFocus);
    panel_.push_back({picture, 170, t.top - 3});
    auto* caption = new PressLabel(fromUtf8(controller_->app().texts[t.caption]), this);
    caption->setObjectName(QString(t.name) + "Caption");
    // Cut at its own right edge, just inside the window's, when a
    // translation is longer.
    caption->resize(136, 22);
    setInterfaceFont(caption, 15);
    colourText(caption, kPanelTextColor);
    panel_.push_back({caption, 139, t.top});
    captions_.push_back(caption);
    if (!t.toggle) {
      swatch_ = picture;
      const auto openPalette = [this] { showDialog(&paletteDialog()); };
      connect(picture, &PressLabel::pressed, this, openPalette);
      connect(caption, &PressLabel::pressed, this, openPalette);
      continue;
    }
    toggles_[*t.toggle] = picture;
    const auto flip = [this, toggle = *t.toggle] {
      switch (toggle) {
        case Toggle::kAutoScale:
          controller_->toggleAutoScale();
          break;
        case Toggle::kFilled:
          afterCommand(controller_->toggleFilled());
          break;
        case Toggle::kLines:
          afterCommand(controller_->toggleLines());
          break;
        case Toggle::kCircle:
          controller_->toggleCircle();
          plot_->update();
          break;
      }
    };
    connect(picture, &PressLabel::pressed, this, flip);
    connect(caption, &PressLabel::pressed, this, flip);
  }
}

void MainWindow::buildFormulaArea() {
  for (const auto& [field, name, text] : {std::tuple{Field::kFormulaF, "formulaF", "F(x)="},
                                          std::tuple{Field::kFormulaG, "formulaG", "G(x)="}}) {
    auto* frame = new QLabel(this);
    frame->setPixmap(QPixmap::fromImage(fieldFrame(QSize(429, 26), devicePixelRatioF())));
    frame->resize(429, 26);
    auto* edit = new FormulaField(text, this);
    edit->setObjectName(name);
    edit->setAccessibleName(QString(text).chopped(1));  // "F(x)"
    edit->resize(425, 22);
    fields_[field] = edit;
    fieldFrames_[field] = frame;
  }
  // Editing either formula clears the F field's error colour.
  for (Field f : {Field::kFormulaF, Field::kFormulaG}) {
    connect(fields_[f], &QLineEdit::textChanged, this,
            [this] { setFieldColor(Field::kFormulaF, 0); });
  }

  for (auto& [field, edit] : fields_) {
    edit->setFrame(false);
    setInterfaceFont(edit, 15);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, kFieldBackground);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::Base, kDisabledFieldBackground);
    palette.setColor(QPalette::Disabled, QPalette::Text, kDisabledFieldText);
    edit->setPalette(palette);
    edit->installEventFilter(this);
    // The window's own menu in place of Qt's, on every field.
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QLineEdit::customContextMenuRequested, this,
            [this, edit = edit](QPoint at) { showFieldMenu(edit, edit->mapToGlobal(at)); });
  }
}

void MainWindow::buildCommandButtons() {
  struct Command {
    Glyph glyph;
    const char* name;
    const char* tip;
  };
  // In the order of their places from left to right.
  const Command commands[] = {
      {Glyph::kDraw, "drawButton", QT_TR_NOOP("Draw the formula (Enter)")},
      {Glyph::kClear, "clearButton", QT_TR_NOOP("Clear the picture")},
      {Glyph::kSavePicture, "savePictureButton", QT_TR_NOOP("Save the picture (Ctrl+S)")},
      {Glyph::kHistory, "historyButton", QT_TR_NOOP("Previous formula from the history")},
      {Glyph::kZoomIn, "zoomInButton",
       QT_TR_NOOP("Zoom in on x (Ctrl++), with Shift, Alt or Ctrl held on y (Ctrl+Alt++)")},
      {Glyph::kZoomOut, "zoomOutButton",
       QT_TR_NOOP("Zoom out on x (Ctrl+-), with Shift, Alt or Ctrl held on y (Ctrl+Alt+-)")},
      {Glyph::kWebPage, "webPageButton", QT_TR_NOOP("Kurvana's web page")},
      {Glyph::kSettings, "settingsButton", QT_TR_NOOP("Settings")},
  };
  for (const Command& c : commands) {
    auto* button = new RoundButton(c.glyph, QSize(kCommandButtonSize, kCommandButtonSize),
                                   RoundButton::Trigger::kPress, this);
    button->setObjectName(c.name);
    button->setFocusPolicy(Qt::TabFocus);
    commandButtons_.push_back(button);
    commandTips_.push_back(c.tip);
  }
  connect(commandButtons_[0], &RoundButton::triggered, this, [this] { draw(); });
  connect(commandButtons_[1], &RoundButton::triggered, this, [this] { clearPicture(); });
  connect(commandButtons_[2], &RoundButton::triggered, this, [this] { savePicture(); });
  connect(commandButtons_[3], &RoundButton::triggered, this, [this] { nextHistoryFormula(); });
  connect(commandButtons_[4], &RoundButton::triggered, this,
          [this](Qt::KeyboardModifiers m) { zoom(true, keysOf(m)); });
  connect(commandButtons_[5], &RoundButton::triggered, this,
          [this](Qt::KeyboardModifiers m) { zoom(false, keysOf(m)); });
  connect(commandButtons_[6], &RoundButton::triggered, this, [this] { openProductPage(); });
  connect(commandButtons_[7], &RoundButton::triggered, this,
          [this] { showDialog(&settingsDialog()); });

  const auto shortcut = [this](const QKeySequence& keys, auto&& action) {
    auto* s = new QShortcut(keys, this);
    s->setContext(Qt::WindowShortcut);
    connect(s, &QShortcut::activated, this, action);
  };
  shortcut(QKeySequence("Ctrl+S"), [this] { savePicture(); });
  shortcut(QKeySequence("Ctrl+O"), [this] { loadFunction(); });
  shortcut(QKeySequence("Ctrl+Shift+S"), [this] { saveFunction(); });
  shortcut(QKeySequence("Ctrl+Q"), [this] { exitProgram(); });
  shortcut(QKeySequence("Ctrl+Shift+C"), [this] { controller_->copyPicture(); });
  shortcut(QKeySequence("Alt+Left"), [this] { goBack(); });
  shortcut(QKeySequence("Alt+Right"), [this] { goForward(); });
}

void MainWindow::buildPlotMenu() {
  plotMenu_ = new QMenu(this);
  plotMenu_->setObjectName("plotMenu");
  const auto add = [this](const char* text, auto&& action) {
    QAction* item = plotMenu_->addAction(QString(), this, action);
    plotItems_.emplace_back(item, text);
    return item;
  };
  QAction* save = add(QT_TR_NOOP("Save picture"), [this] { savePicture(); });
  QAction* copy = add(QT_TR_NOOP("Copy picture"), [this] { controller_->copyPicture(); });
  add(QT_TR_NOOP("Clear picture"), [this] { clearPicture(); });
  plotMenu_->addSeparator();
  add(QT_TR_NOOP("Load function"), [this] { loadFunction(); });
  add(QT_TR_NOOP("Save function"), [this] { saveFunction(); });
  plotMenu_->addSeparator();
  QAction* xIn = add(QT_TR_NOOP("X zoom in"), [this] { zoom(true, Keys{}); });
  QAction* xOut = add(QT_TR_NOOP("X zoom out"), [this] { zoom(false, Keys{}); });
  QAction* yIn = add(QT_TR_NOOP("Y zoom in"), [this] { zoom(true, Keys{.shift = true}); });
  QAction* yOut = add(QT_TR_NOOP("Y zoom out"), [this] { zoom(false, Keys{.shift = true}); });
  plotMenu_->addSeparator();
  backItem_ = add(QT_TR_NOOP("Back"), [this] { goBack(); });
  forwardItem_ = add(QT_TR_NOOP("Forward"), [this] { goForward(); });
  plotMenu_->addSeparator();
  add(QT_TR_NOOP("Settings"), [this] { showDialog(&settingsDialog()); });
  add(QT_TR_NOOP("Exit"), [this] { exitProgram(); });
  plotItemsNeedingAPlot_ = {save, copy, xIn, xOut, yIn, yOut};
}

void MainWindow::retranslate() {
  minimiseButton_->setToolTip(tr("Minimise"));
  maximiseButton_->setToolTip(tr("Maximise or restore"));
  closeButton_->setToolTip(tr("Close"));
  for (RoundButton* b : {minimiseButton_, maximiseButton_, closeButton_}) b->retranslate();
  for (std::size_t i = 0; i < commandButtons_.size(); ++i) {
    commandButtons_[i]->setToolTip(tr(commandTips_[i]));
    commandButtons_[i]->retranslate();
  }
  for (const auto& [item, text] : plotItems_) item->setText(tr(text));
  plot_->setAccessibleName(tr("Plot"));  // in the Tab order for the keyboard trace
  readoutNames_[Label::kIntegral] = tr("Integral");
  for (const auto& [label, name] : readoutNames_) nameReadout(label);
  if (messageWindow_) messageWindow_->retranslate();
  if (paletteDialog_) paletteDialog_->retranslate();
  if (settingsDialog_) settingsDialog_->retranslate();
}

void MainWindow::buildTabOrder() {
  // The fields in their order, the command buttons left to right, then the
  // swatch and the toggles top to bottom; hidden and disabled ones are passed.
  std::vector<QWidget*> order;
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax, Field::kFormulaF,
                  Field::kFormulaG, Field::kZCount, Field::kZMin, Field::kZMax}) {
    order.push_back(fields_[f]);
  }
  order.insert(order.end(), commandButtons_.begin(), commandButtons_.end());
  order.push_back(swatch_);
  for (Toggle t : {Toggle::kAutoScale, Toggle::kFilled, Toggle::kLines, Toggle::kCircle}) {
    order.push_back(toggles_[t]);
  }
  order.push_back(plot_);  // last: the keyboard trace
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
  tabOrder_ = std::move(order);
}

void MainWindow::showFieldMenu(QLineEdit* field, QPoint global) {
  // Shown like the plot's menu, without a nested event loop.
  QMenu* menu = buildFieldMenu(field);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(global);
}

QMenu* MainWindow::buildFieldMenu(QLineEdit* field) {
  auto* menu = new QMenu(this);
  menu->setObjectName("fieldMenu");
  const auto clipboardHasText = [] {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
  };
  const bool editable = field->isEnabled() && !field->isReadOnly();
  QAction* cut = nullptr;
  if (editable) cut = menu->addAction(tr("Cut"), field, [field] { field->cut(); });
  QAction* copy = menu->addAction(
      tr("Copy"), field, [field] { QApplication::clipboard()->setText(field->selectedText()); });
  QAction* paste = menu->addAction(tr("Paste"), field, [field, clipboardHasText] {
    if (!clipboardHasText()) return;
    field->insert(QApplication::clipboard()->text());  // replaces the selection
  });
  QAction* remove = menu->addAction(tr("Delete"), field, [field] { field->del(); });
  QAction* all = menu->addAction(tr("Select all"), field, [field] { field->selectAll(); });
  menu->addSeparator();
  menu->addAction(tr("Load function"), this, [this] { loadFunction(); });
  menu->addAction(tr("Save function"), this, [this] { saveFunction(); });
  const bool selection = field->hasSelectedText();
  if (cut != nullptr) cut->setEnabled(selection);
  copy->setEnabled(selection);
  remove->setEnabled(editable && selection);
  paste->setEnabled(editable && clipboardHasText());
  all->setEnabled(field->selectedText().size() < field->text().size());
  return menu;
}

void MainWindow::layoutWindow(std::optional<QSize> requested) {
  // The widget's own minimum and maximum have already cut a grip's request,
  // so the limits are judged on what the grip asked for.
  const QSize asked = requested.value_or(size());
  const LimitedSize limited = limitWindowSize(Size{asked.width(), asked.height()});
  int w = limited.size.width;
  int h = limited.size.height;
  if (w != width() || h != height()) {
    if (maximise_.mayResize(isMaximized())) {
      resize(w, h);
    } else {
      // Held to its size by the window system: laid out as it is.
      w = width();
      h = height();
    }
  }
  if (requested && (limited.widthLimited || limited.heightLimited)) {
    // The pointer stays on the window's corner, where it held the grip.
    QPoint p = QCursor::pos();
    const QPoint corner = mapToGlobal(QPoint(w, h)) - gripCornerOffset_;
    if (limited.widthLimited) p.setX(corner.x());
    if (limited.heightLimited) p.setY(corner.y());
    QCursor::setPos(p);
  }
  controller_->windowLaidOut(Size{w, h});
  laidOutSize_ = QSize(w, h);

  titleBar_->setGeometry(0, 0, w, kTitleHeight);
  grip_->move(w - 16, h - 15);
  grip_->raise();
  for (std::size_t i = 0; i < commandButtons_.size(); ++i) {
    commandButtons_[i]->move(kCommandButtonLefts[i], h - 55);
  }
  closeButton_->move(w - 44, 4);
  maximiseButton_->move(w - 78, 4);
  minimiseButton_->move(w - 112, 4);
  for (const Anchored& a : panel_) a.widget->move(w - a.fromRight, a.top);
  placeFormulaArea();
  reserveBackingStore(this, backingStoreReserve_);
  update();
}

void MainWindow::placeFormulaArea() {
  const int h = height();
  const bool two = formulaArea_ == FormulaArea::kTwoFunctions;
  const int top = two ? h - 57 : h - 43;
  fieldFrames_[Field::kFormulaF]->move(8, top);
  fields_[Field::kFormulaF]->move(10, top + 2);
  fieldFrames_[Field::kFormulaG]->move(8, h - 29);
  fields_[Field::kFormulaG]->move(10, h - 27);
}

void MainWindow::arrangeFormulaArea(FormulaArea area) {
  formulaArea_ = area;
  const bool two = area == FormulaArea::kTwoFunctions;
  const bool cartesian = area == FormulaArea::kOneFunction;
  fields_[Field::kFormulaG]->setVisible(two);
  fieldFrames_[Field::kFormulaG]->setVisible(two);
  for (QWidget* w : parameterGroup_) w->setVisible(!cartesian);
  thirdReadoutCaption_->setText(two ? "G(x)" : cartesian ? "F'(x)" : "");
  readoutNames_[Label::kReadoutDerivative] = two ? "G(x)" : "F'(x)";
  nameReadout(Label::kReadoutDerivative);
  labels_[Label::kReadoutDerivative]->setVisible(area != FormulaArea::kPolar);
  for (QWidget* w : integralReadout_) w->setVisible(cartesian);
  placeFormulaArea();
}

void MainWindow::showCentred() {
  // A compositor places the window itself; a position would be ignored.
  if (windowSystem_ == WindowSystemKind::kWindowManager) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const Point at = centredOn(Point{screen.x(), screen.y()}, Size{screen.width(), screen.height()},
                               Size{width(), height()});
    move(at.x, at.y);
  }
  show();
  if (windowHandle() != nullptr) windowHandle()->installEventFilter(this);
  // Before the first paint makes the backing store's buffer.
  reserveBackingStore(this, backingStoreReserve_);
  raise();
  activateWindow();
  // The first plot goes into the window's first paint; the start-up timer
  // stays for a window that is not visible yet.
  startupTick();
}

void MainWindow::startupTick() {
  // Nothing until the splash has shown the window. Its position says nothing:
  // a window wider than the screen is centred at a negative left edge. Once
  // the timer has stopped, the first plot is drawn or the program ends.
  if (!isVisible() || !startupTimer_->isActive()) return;
  startupTimer_->stop();
  // The first plot is painted at the screen's scale.
  Status scaled = controller_->scaleChanged(plot_->wantedScale());
  DrawResult drawn = controller_->firstDraw();
  Status problems = std::move(startupProblems_);
  problems.add(std::move(scaled));
  problems.add(std::move(drawn.status));
  afterCommand(problems);
  if (updateCheckDue(services_.updateDraw())) checkForUpdate();
}

void MainWindow::checkForUpdate() {
  auto* checker = new UpdateChecker(services_.versionDocument, kUpdateTimeoutMs, this);
  connect(checker, &UpdateChecker::updateOffered, this, [this] {
    if (!services_.confirm(tr(kOfferSource))) return;
    services_.openUrl(QUrl(QString::fromStdString(downloadAddress())));
    exitProgram();  // so that the installer can replace the program
  });
  connect(checker, &UpdateChecker::finished, checker, &QObject::deleteLater);
  checker->start();
}

// Commands

void MainWindow::draw() {
  const DrawResult drawn = controller_->draw();
  // The formula mended: the message about it is done with.
  if (drawn.outcome == DrawOutcome::kDrawn && messageWindow_) messageWindow_->hide();
  afterCommand(drawn.status);
}

void MainWindow::clearPicture() {
  controller_->clearPicture();
  plot_->update();
}

void MainWindow::savePicture() {
  const bool allowed = controller_->prepareSavePicture();
  plot_->update();  // the ring came off
  if (!allowed) return;
  FileRequest request;
  request.kind = FileRequest::Kind::kSavePicture;
  request.title = tr("Save picture");
  request.folder = dataFolderText();
  // By the filter's index: what each filter saves and the suffix it proposes.
  // The patterns stay out of the catalogue, so no translation can break them.
  struct PictureKind {
    const char* name;
    const char* suffix;
    PictureFormat format;
  };
  static constexpr PictureKind kKinds[] = {
      {QT_TR_NOOP("Bitmap picture"), "bmp", PictureFormat::kBmp},
      {QT_TR_NOOP("Jpeg picture"), "jpg", PictureFormat::kJpeg},
      {QT_TR_NOOP("PNG picture"), "png", PictureFormat::kPng},
      {QT_TR_NOOP("SVG picture"), "svg", PictureFormat::kSvg},
      {QT_TR_NOOP("PDF document"), "pdf", PictureFormat::kPdf},
  };
  for (const PictureKind& kind : kKinds) {
    request.filters << tr(kind.name) + " (*." + kind.suffix + ")";
  }
  request.filter = pictureFilter_;
  request.defaultSuffix = pictureSuffix_;
  const std::optional<FileChoice> choice = services_.chooseFile(request);
  if (!choice) return;
  // The chosen filter sets the format, whatever the name says, and the
  // suffix proposed next time.
  const bool known = choice->filter >= 0 && choice->filter < static_cast<int>(std::size(kKinds));
  const int chosen = known ? choice->filter : 0;
  pictureFilter_ = chosen;
  pictureSuffix_ = kKinds[chosen].suffix;
  showProblems(controller_->savePicture(choice->path.toStdString(), kKinds[chosen].format));
}

void MainWindow::goBack() {
  afterCommand(controller_->back(plot_->pointerInImage()));
}

void MainWindow::goForward() {
  afterCommand(controller_->forward(plot_->pointerInImage()));
}

void MainWindow::nextHistoryFormula() {
  controller_->nextHistoryFormula();
}

void MainWindow::zoom(bool in, Keys keys) {
  afterCommand(controller_->zoom(in ? ZoomDirection::kIn : ZoomDirection::kOut, keys,
                                 plot_->pointerInImage()));
}

void MainWindow::loadFunction() {
  const bool two = isOn(controller_->plot().optTwoFunctions);
  FileRequest request;
  request.kind = FileRequest::Kind::kLoadFunction;
  request.title = tr("Load function");
  request.folder = dataFolderText();
  request.filters = {tr("Function files") + (two ? " (*.kv2)" : " (*.kv1)")};
  const std::optional<FileChoice> choice = services_.chooseFile(request);
  if (!choice) return;
  afterCommand(controller_->loadFunction(choice->path.toStdString()));
}

void MainWindow::saveFunction() {
  const bool two = isOn(controller_->plot().optTwoFunctions);
  FileRequest request;
  request.kind = FileRequest::Kind::kSaveFunction;
  request.title = tr("Save function");
  request.folder = dataFolderText();
  request.filters = {tr("Function file") + (two ? " (*.kv2)" : " (*.kv1)"),
                     tr("Any file") + " (*)"};
  request.defaultSuffix = two ? "kv2" : "kv1";
  const std::optional<FileChoice> choice = services_.chooseFile(request);
  if (!choice) return;
  showProblems(controller_->saveFunction(choice->path.toStdString()));
}

void MainWindow::openProductPage() {
  services_.openUrl(QUrl(QString::fromStdString(productPageAddress())));
}

void MainWindow::toggleMaximised() {
  // Qt applies a compositor's configure over several steps; a state request
  // before the frame at the configured size has been committed makes it
  // commit that size in the other state, a protocol error that ends the
  // program. The press waits for the frame.
  if (frame_ != FrameState::kSettled) {
    pressAfterFrame_ = true;
    return;
  }
  const QRect work = services_.workArea();
  const WindowSystemFacts facts{controller_->screenSize(),
                                WindowRect{work.x(), work.y(), work.width(), work.height()},
                                windowSystem_};
  carryOut(maximise_.pressed(windowNow(), facts));
  // The layout pass and the redraw follow the window system's answer
  // (resizeEvent), not a size read right after the request.
}

WindowNow MainWindow::windowNow() const {
  const QRect g = geometry();
  return WindowNow{windowState().testFlag(Qt::WindowMaximized),
                   WindowRect{g.x(), g.y(), g.width(), g.height()}};
}

void MainWindow::carryOut(const WindowRequests& requests) {
  for (const WindowRequest& r : requests) {
    switch (r.kind) {
      case WindowRequest::Kind::kMaximised:
        services_.askWindowState(true);
        break;
      case WindowRequest::Kind::kNormal:
        services_.askWindowState(false);
        break;
      case WindowRequest::Kind::kGeometry:
        if (windowSystem_ == WindowSystemKind::kCompositor) {
          // Sizing a surface the compositor holds maximised ends the program.
          if (!isMaximized()) resize(r.geometry.width, r.geometry.height);
        } else {
          setGeometry(r.geometry.x, r.geometry.y, r.geometry.width, r.geometry.height);
        }
        break;
    }
  }
  if (!maximise_.awaitingAnswer()) {
    windowSystemAnswer_->stop();
  } else if (!windowSystemAnswer_->isActive()) {
    windowSystemAnswer_->start();
  }
  maximiseButton_->setGlyph(maximise_.maximised() ? Glyph::kRestore : Glyph::kMaximise);
  if (maximise_.takeWaitingPress()) toggleMaximised();
}

void MainWindow::exitProgram() {
  if (exiting_) return;
  exiting_ = true;
  startupTimer_->stop();
  showProblems(controller_->exit());
  if (messageWindow_) messageWindow_->hide();
  services_.quit();
}

void MainWindow::afterCommand(const Status& status) {
  plot_->update();
  showProblems(status);
  if (controller_->reportOpeningPending() && !openerWatch_->isActive()) {
    openerWatchTicks_ = 0;
    openerWatch_->start();
  }
}

void MainWindow::openAddress(const QUrl& url) {
  openedAddress_ = url.toString();
  if (!addressOpener_->open(openedAddress_.toStdString())) {
    showProblems(addressNotOpened(std::nullopt));
    return;
  }
  openerWatchTicks_ = 0;
  openerWatch_->start();
}

Status MainWindow::addressNotOpened(std::optional<int> status) const {
  Status problem;
  problem.add("Cannot open \"" + openedAddress_.toStdString() +
              "\": " + addressOpener_->failureReason(status) + ".");
  return problem;
}

void MainWindow::watchOpeners() {
  Status problems = controller_->reportOpening();
  if (const std::optional<int> ended = addressOpener_->ended(); ended && *ended != 0) {
    problems.add(addressNotOpened(ended));
  }
  // An opener still running after a while has started an editor or a
  // browser that stays: nothing more to learn from it.
  const bool waiting = controller_->reportOpeningPending() || addressOpener_->waiting();
  if (!waiting || ++openerWatchTicks_ >= kOpenerWatchTicks) openerWatch_->stop();
  showProblems(problems);
}

void MainWindow::showProblems(const Status& status) {
  for (const std::string& message : status.messages()) {
    services_.showProblem(translateProblem(QString::fromStdString(message)));
  }
}

QString MainWindow::dataFolderText() const {
  const auto& folder = controller_->dataFolder();
  return folder ? QString::fromStdString(folder->string()) : QString();
}

// Resizing

void MainWindow::gripPressed(QPoint global) {
  // A maximised window keeps the size the window system gave it.
  if (!maximise_.mayResize(isMaximized())) return;
  maximise_.sizedByHand();
  maximiseButton_->setGlyph(maximise_.maximised() ? Glyph::kRestore : Glyph::kMaximise);
  if (QWindow* handle = windowHandle();
      handle != nullptr && handle->startSystemResize(Qt::RightEdge | Qt::BottomEdge)) {
    systemResizing_ = true;
    return;
  }
  gripDragging_ = true;
  gripPressGlobal_ = global;
  gripPressSize_ = size();
  gripCornerOffset_ = mapToGlobal(QPoint(width(), height())) - global;
}

void MainWindow::gripMoved(QPoint global) {
  if (!gripDragging_ || gripStepBusy_) return;
  gripStepBusy_ = true;
  const QPoint moved = global - gripPressGlobal_;
  inGripStep_ = true;
  const QSize requested = gripPressSize_ + QSize(moved.x(), moved.y());
  resize(requested);
  layoutWindow(requested);
  inGripStep_ = false;
  afterCommand(controller_->resizeStep());
  gripStepBusy_ = false;
}

void MainWindow::gripReleased() {
  if (!gripDragging_) return;
  gripDragging_ = false;
  afterCommand(controller_->resizeFinished());
}

void MainWindow::resizeEvent(QResizeEvent*) {
  if (!startedUp_ || inGripStep_) return;
  awaitCompositorFrame();
  // A restore answered places the window where it was, which lays it out
  // through the resize that follows.
  carryOut(maximise_.resized(windowNow()));
  if (size() == laidOutSize_) return;
  layoutWindow();
  if (systemResizing_) {
    afterCommand(controller_->resizeStep());
    resizeSettled_->start();
  } else {
    afterCommand(controller_->sizeChanged());
  }
}

// Events

void MainWindow::paintEvent(QPaintEvent* event) {
  if (backgroundTile_.isNull() || backgroundTile_.devicePixelRatio() != devicePixelRatioF()) {
    // Opaque: in the screen's own format a tile is a plain copy.
    backgroundTile_ = backgroundTile(devicePixelRatioF()).convertToFormat(QImage::Format_RGB32);
  }
  paintTiled(this, event, backgroundTile_);
  if (frame_ == FrameState::kAwaitingPaint && windowHandle() != nullptr) {
    frame_ = FrameState::kAwaitingCommit;
    windowHandle()->requestUpdate();
  }
}

void MainWindow::awaitCompositorFrame() {
  if (windowSystem_ != WindowSystemKind::kCompositor) return;
  frame_ = FrameState::kAwaitingPaint;
  update();
  frameSettleLimit_->start();
}

void MainWindow::compositorFrameSettled() {
  frame_ = FrameState::kSettled;
  frameSettleLimit_->stop();
  if (std::exchange(pressAfterFrame_, false)) toggleMaximised();
}

void MainWindow::changeEvent(QEvent* event) {
  // Activating the main window dismisses the modeless windows over it; the
  // options flipped and the colour picked in them stay. The activation the
  // message window hands back leaves it shown.
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    const bool handedBack = messageWindow_ && messageWindow_->takeHandBack();
    for (QWidget* w : std::initializer_list<QWidget*>{messageWindow_.get(), paletteDialog_.get(),
                                                      settingsDialog_.get(), aboutWindow_.get()}) {
      if (w != nullptr && !(handedBack && w == messageWindow_.get())) w->hide();
    }
    presentPending();
  }
  // The window system's own word on the state; the echo of a request of
  // ours is not spontaneous.
  if (event->type() == QEvent::WindowStateChange && event->spontaneous() && startedUp_) {
    awaitCompositorFrame();
    carryOut(maximise_.stateReported(windowNow()));
  }
  QWidget::changeEvent(event);
}

void MainWindow::showDialog(QWidget* dialog) {
  if (dialog == nullptr) return;
  if (isActiveWindow()) {
    present(dialog);
    return;
  }
  // The press that asked for it is about to activate this window, which
  // hides the dialogs: it is shown once that has happened (or, should the
  // activation never come, shortly after).
  pendingDialog_ = dialog;
  QTimer::singleShot(kActivationWaitMs, this, [this] { presentPending(); });
}

void MainWindow::presentPending() {
  if (pendingDialog_ == nullptr) return;
  QWidget* dialog = pendingDialog_;
  pendingDialog_ = nullptr;
  present(dialog);
}

void MainWindow::present(QWidget* dialog) {
  // A visible window stays where the user may have dragged it.
  if (!dialog->isVisible()) dialog->show();
  dialog->raise();
  // The message window leaves the keyboard with the main window.
  if (!dialog->testAttribute(Qt::WA_ShowWithoutActivating)) dialog->activateWindow();
}

void MainWindow::showInterfaceTexts(const InterfaceTexts& texts) {
  // The chosen language's catalogue first: the 35 texts go over what it gives.
  translationProblems_.add(translation_.use(controller_->translationFiles()));
  retranslate();
  const TextId captions[] = {TextId::kColorPicker, TextId::kAutoScale, TextId::kFilled,
                             TextId::kLines, TextId::kShowCircle};
  for (std::size_t i = 0; i < captions_.size() && i < std::size(captions); ++i) {
    captions_[i]->setText(fromUtf8(texts[captions[i]]));
  }
  // Screen readers hear the captions without their leading spaces.
  swatch_->setAccessibleName(fromUtf8(texts[TextId::kColorPicker]).trimmed());
  const std::pair<Toggle, TextId> toggleNames[] = {{Toggle::kAutoScale, TextId::kAutoScale},
                                                   {Toggle::kFilled, TextId::kFilled},
                                                   {Toggle::kLines, TextId::kLines},
                                                   {Toggle::kCircle, TextId::kShowCircle}};
  for (const auto& [toggle, id] : toggleNames) {
    toggles_[toggle]->setAccessibleName(fromUtf8(texts[id]).trimmed());
  }
  commandButtons_[7]->setAccessibleName(fromUtf8(texts[TextId::kSettingsTitle]));
  titleIcon_->setAccessibleName(fromUtf8(texts[TextId::kAboutTitle]));
  if (messageWindow_) messageWindow_->setTitle(fromUtf8(texts[TextId::kMessageTitle]));
  if (settingsDialog_) settingsDialog_->showTexts(texts);
  if (paletteDialog_) paletteDialog_->showTexts(texts);
  if (aboutWindow_) aboutWindow_->setTitleText(texts[TextId::kAboutTitle]);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  exitProgram();
  event->accept();
}

void MainWindow::wheelEvent(QWheelEvent* event) {
  // Touchpads report fractions of a notch; a zoom step needs a whole one.
  wheelRemainder_ += event->angleDelta().y();
  const Keys keys = keysOf(event->modifiers());
  while (wheelRemainder_ >= kZoomStepAngle) {
    wheelRemainder_ -= kZoomStepAngle;
    zoom(true, keys);
  }
  while (wheelRemainder_ <= -kZoomStepAngle) {
    wheelRemainder_ += kZoomStepAngle;
    zoom(false, keys);
  }
  event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (!handleWindowKey(event)) QWidget::keyPressEvent(event);
}

bool MainWindow::handleWindowKey(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && messageWindow_ &&
      messageWindow_->isVisible()) {
    messageWindow_->hide();
    return true;
  }
  return handleZoomKey(event);
}

bool MainWindow::handleZoomKey(QKeyEvent* event) {
  const Qt::KeyboardModifiers keys = event->modifiers();
  if (!keys.testFlag(Qt::ControlModifier) || keys.testFlag(Qt::MetaModifier)) return false;
  // "+" is Shift+= on some keyboards (US), a key of its own on others
  // (German) and on the keypad: Shift and the keypad say nothing here.
  const int key = event->key();
  const bool in = key == Qt::Key_Plus || key == Qt::Key_Equal;
  const bool out = key == Qt::Key_Minus || key == Qt::Key_Underscore;
  if (!in && !out) return false;
  zoom(in, Keys{.alt = keys.testFlag(Qt::AltModifier)});  // Alt: the value axis
  return true;
}

void MainWindow::pressedInWindow() {
  if (windowSystem_ == WindowSystemKind::kCompositor) {
    for (QWidget* w : std::initializer_list<QWidget*>{paletteDialog_.get(), settingsDialog_.get(),
                                                      aboutWindow_.get()}) {
      if (w != nullptr) w->hide();
    }
  }
  if (!messageWindow_ || !messageWindow_->isVisible()) return;
  // Once the press is handled: a Draw it started may have shown a new message.
  QTimer::singleShot(0, this, [this, shown = messagesShown_] {
    if (messagesShown_ == shown) messageWindow_->hide();
  });
}

void MainWindow::nameReadout(Label label) {
  labels_[label]->setAccessibleName(readoutNames_[label] + " " + labels_[label]->text());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Update requests come with the compositor's frame callbacks: the second
  // after the paint is surely after that paint's commit.
  if (watched == windowHandle()) {
    if (event->type() != QEvent::UpdateRequest) return false;
    if (frame_ == FrameState::kAwaitingCommit) {
      frame_ = FrameState::kAwaitingSecondCallback;
      windowHandle()->requestUpdate();
    } else if (frame_ == FrameState::kAwaitingSecondCallback) {
      compositorFrameSettled();
    }
    return false;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool formula =
        watched == fields_[Field::kFormulaF] || watched == fields_[Field::kFormulaG];
    if (formula && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
        !key->modifiers().testFlag(Qt::ControlModifier)) {
      draw();
      return true;  // consumed
    }
    if (handleWindowKey(key)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> names;
  for (const QUrl& url : event->mimeData()->urls()) {
    names.push_back((url.isLocalFile() ? url.toLocalFile() : url.toString()).toStdString());
  }
  event->acceptProposedAction();
  afterCommand(controller_->filesDropped(names));
}

// The view

std::string MainWindow::fieldText(Field field) const {
  return fields_.at(field)->text().toStdString();
}

void MainWindow::setFieldText(Field field, std::string_view text) {
  QLineEdit* edit = fields_.at(field);
  if (auto* range = qobject_cast<RangeField*>(edit)) {
    range->showText(fromUtf8(text));  // the sign and the leading digits in sight
  } else {
    edit->setText(fromUtf8(text));
  }
}

void MainWindow::setFieldEnabled(Field field, bool enabled) {
  fields_.at(field)->setEnabled(enabled);
}

void MainWindow::setFieldColor(Field field, std::uint32_t color) {
  QLineEdit* edit = fields_.at(field);
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Active, QPalette::Text, colorFromBgr(color));
  palette.setColor(QPalette::Inactive, QPalette::Text, colorFromBgr(color));
  edit->setPalette(palette);
}

void MainWindow::focusField(Field field) {
  fields_.at(field)->setFocus();
}

void MainWindow::setLabel(Label label, std::string_view text) {
  labels_.at(label)->setText(fromUtf8(text));
  nameReadout(label);
}

void MainWindow::showToggle(Toggle toggle, bool on) {
  toggles_.at(toggle)->showState(on);
}

void MainWindow::showCurveColor(std::uint32_t color) {
  // The colour in the lamp's place: a square over the round picture would
  // cover its bezel.
  swatch_->setPixmap(QPixmap::fromImage(swatchPicture(colorFromBgr(color), devicePixelRatioF())));
}

Size MainWindow::windowSize() const {
  return Size{width(), height()};
}

void MainWindow::placeImage(int left, int top, int width, int height) {
  imageRect_ = QRect(left, top, width, height);
  plot_->setGeometry(imageRect_);
  fileNameLabel_->move(left + (width - fileNameLabel_->width()) / 2, 8);
}

void MainWindow::copyPicture(const Bitmap& picture) {
  // The words are Qt's RGB32; copied, since the bitmap changes with the next Draw.
  const QImage image(reinterpret_cast<const uchar*>(picture.data()), picture.width(),
                     picture.height(), picture.width() * 4, QImage::Format_RGB32);
  QGuiApplication::clipboard()->setImage(image.copy());
}

void MainWindow::beep() {
  services_.beep();
}

void MainWindow::showMessage(std::string_view line1, std::string_view line2,
                             std::string_view line3) {
  ++messagesShown_;
  messageWindow().setLines(line1, line2, line3);
  showDialog(messageWindow_.get());
}

void MainWindow::showFileName(std::string_view name) {
  fileNameLabel_->setText(fromUtf8(name));
  fileNameLabel_->adjustSize();
  fileNameLabel_->setVisible(!name.empty());
  const int width = imageRect_.isValid() ? imageRect_.width() : this->width() - 200;
  fileNameLabel_->move(8 + (width - fileNameLabel_->width()) / 2, 8);
}

}  // namespace kurvana::ui
