// The main window: borderless, with its own chrome, the plot picture, the
// range and formula fields, the readouts, the toggles and the command
// buttons. It turns input into controller calls and shows what comes back;
// it is the controller's view. Tab goes through the fields, the command
// buttons, the swatch and the toggles; screen readers see each by name.
#pragma once

#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/app_view.h"
#include "app/controller.h"
#include "app/maximise_toggle.h"
#include "app/window_geometry.h"
#include "files/desktop_opener.h"
#include "files/file_lock.h"
#include "ui/backing_store_reserve.h"
#include "ui/chrome_widgets.h"
#include "ui/translation.h"

namespace kurvana::ui {

class AboutWindow;
class MessageWindow;
class PaletteDialog;
class PlotWidget;
class SettingsDialog;

// A file dialog the window asks for.
struct FileRequest {
  enum class Kind { kLoadFunction, kSaveFunction, kSavePicture };
  Kind kind = Kind::kLoadFunction;
  QString title;
  QString folder;       // where the dialog opens
  QStringList filters;  // Qt name filters, e.g. "Bitmap picture (*.bmp)"
  int filter = 0;       // the filter selected when it opens
  QString defaultSuffix;
};

struct FileChoice {
  QString path;
  int filter = 0;  // the filter the user left selected
};

class MainWindow : public QWidget, public AppView, public AccessibleControl {
  Q_OBJECT

 public:
  // What the window asks of the desktop; tests replace each of these.
  struct Services {
    std::function<void()> beep;
    std::function<void(const QString& message)> showProblem;  // one message box
    std::function<std::optional<FileChoice>(const FileRequest&)> chooseFile;
    std::function<void(const QUrl&)> openUrl;
    std::function<void()> quit;  // ends the application
    // An OK/Cancel question; true for OK.
    std::function<bool(const QString& question)> confirm;
    // A random integer from 0 to 29, drawn once per start for the update check.
    std::function<unsigned()> updateDraw;
    // Where the update check asks for the newest version.
    QUrl versionDocument;
    // The window system, for the maximise button: asks for the maximised
    // (true) or the normal state, and where a maximised window goes.
    std::function<void(bool maximised)> askWindowState;
    std::function<QRect()> workArea;
    // How long an answer is awaited before the window goes on without;
    // kWindowSystemAnswerMs unless set.
    std::optional<int> windowSystemAnswerMs;
    // How long without input before the caret stops blinking;
    // CaretRest::kIdleMs unless set.
    std::optional<int> caretRestMs;
  };
  // The desktop's own: the system beep, message boxes, Qt's file dialogs,
  // QCoreApplication::quit. Addresses, when `openUrl` is not given, go to
  // the desktop's opener (the report's command), which tells when it failed.
  static Services desktopServices(QWidget* dialogParent);

  // Runs the start-up sequence: the controller's start-up with the screen's
  // size and the command-line file, the window's recorded size, the layout
  // pass and the 100 ms timer that draws once the window is shown. The window
  // stays hidden until showCentred().
  MainWindow(ControllerSetup setup, const std::optional<std::string>& argument,
             Services services = {});
  ~MainWindow() override;

  // False when start-up could not go on (the data folder could not be made);
  // its message was shown and the program is to end.
  bool startedUp() const { return startedUp_; }

  // Centred on the screen, shown and activated (the splash's hand-over).
  void showCentred();

  Controller& controller() { return *controller_; }
  // The small windows, each made when it is first shown (or asked for here):
  // building them all at start-up would only delay the first plot.
  MessageWindow& messageWindow();
  AboutWindow& aboutWindow();
  PaletteDialog& paletteDialog();
  SettingsDialog& settingsDialog();

  // The exit path: ranges read, settings written, the application ends.
  void exitProgram();

  // AppView
  std::string fieldText(Field field) const override;
  void setFieldText(Field field, std::string_view text) override;
  void setFieldEnabled(Field field, bool enabled) override;
  void setFieldColor(Field field, std::uint32_t color) override;
  void focusField(Field field) override;
  void setLabel(Label label, std::string_view text) override;
  void showToggle(Toggle toggle, bool on) override;
  void showCurveColor(std::uint32_t color) override;
  Size windowSize() const override;
  void placeImage(int left, int top, int width, int height) override;
  void beep() override;
  void showMessage(std::string_view line1, std::string_view line2, std::string_view line3) override;
  void arrangeFormulaArea(FormulaArea area) override;
  void showFileName(std::string_view name) override;
  void showInterfaceTexts(const InterfaceTexts& texts) override;
  void copyPicture(const Bitmap& picture) override;

  // AccessibleControl: the application's frame for screen readers.
  QAccessible::Role accessibleRole() const override { return QAccessible::Window; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Grip;
  class PressWatcher;
  class TitleIcon;

  void buildChrome();
  void buildPanel();
  void buildFormulaArea();
  void buildCommandButtons();
  void buildPlotMenu();
  void buildTabOrder();
  // The texts of the translation catalogue (tool tips, the plot's menu,
  // names for screen readers), in the language installed now; the 35
  // interface texts are shown over them afterwards.
  void retranslate();

  // The layout pass: size limits, the recorded size, chrome, buttons, panel
  // and formula area placed for the current size. `requested` is the size a
  // grip step asked for; where a limit cut it, the pointer goes to that edge.
  void layoutWindow(std::optional<QSize> requested = std::nullopt);
  void placeFormulaArea();

  // Commands
  void draw();
  void clearPicture();
  void savePicture();
  void goBack();
  void goForward();
  void nextHistoryFormula();
  void zoom(bool in, Keys keys);
  void loadFunction();
  void saveFunction();
  void openProductPage();
  // An address to the desktop's opener; a failure is told once it is known.
  void openAddress(const QUrl& url);
  Status addressNotOpened(std::optional<int> status) const;
  // While an opener (the report's, an address's) runs: how it ended.
  void watchOpeners();
  void toggleMaximised();
  // The requests of the maximise button carried out; its answer timer and
  // glyph follow its record.
  void carryOut(const WindowRequests& requests);
  WindowNow windowNow() const;
  // Shows a modeless dialog (centred on the window by the dialog) and gives it
  // the focus.
  void showDialog(QWidget* dialog);
  void present(QWidget* dialog);
  void presentPending();
  void startupTick();
  // Asks the maker's server, without waiting, whether a newer version exists.
  void checkForUpdate();

  // Grip resize, by the window system where it can, else step by step.
  void gripPressed(QPoint global);
  void gripMoved(QPoint global);
  void gripReleased();

  // The window's own keys wherever the focus is: the zoom keys, and Esc
  // while a message shows. True when the key was used.
  bool handleWindowKey(QKeyEvent* event);
  bool handleZoomKey(QKeyEvent* event);
  // A press anywhere in the window dismisses the message, unless the press
  // itself showed a new one.
  void pressedInWindow();
  // A readout's accessible name: its caption and its value.
  void nameReadout(Label label);
  void showFieldMenu(QLineEdit* field, QPoint global);
  // A field's menu (range and formula fields alike), its items enabled for
  // the field's selection, whether it may be edited and the clipboard at
  // this moment; owned by the window.
  QMenu* buildFieldMenu(QLineEdit* field);
  // Repaints the picture and shows the problems one box each.
  void afterCommand(const Status& status);
  // One box each, in the interface language (translateProblem).
  void showProblems(const Status& status);
  QString dataFolderText() const;

  Services services_;
  std::unique_ptr<Controller> controller_;
  std::unique_ptr<MessageWindow> messageWindow_;
  std::unique_ptr<AboutWindow> aboutWindow_;
  std::unique_ptr<PaletteDialog> paletteDialog_;
  std::unique_ptr<SettingsDialog> settingsDialog_;
  QPointer<QWidget> pendingDialog_;  // asked for while another window was active
  // Marks a running instance for the whole run (a shared flock).
  std::unique_ptr<FileLock> instanceMark_;
  bool startedUp_ = false;
  // Under a compositor: whether the frame after its last configure is out.
  enum class FrameState { kSettled, kAwaitingPaint, kAwaitingCommit, kAwaitingSecondCallback };
  FrameState frame_ = FrameState::kSettled;
  bool pressAfterFrame_ = false;  // a maximise press waits for that frame
  static constexpr int kFrameSettleLimitMs = 500;
  QTimer* frameSettleLimit_ = new QTimer(this);
  void awaitCompositorFrame();
  void compositorFrameSettled();
  Status startupProblems_;  // shown with the first plot
  bool exiting_ = false;

  // Chrome
  QImage backgroundTile_;
  TitleBar* titleBar_ = nullptr;
  QLabel* titleLabel_ = nullptr;     // the product name
  QLabel* fileNameLabel_ = nullptr;  // the loaded function file
  TitleIcon* titleIcon_ = nullptr;
  RoundButton* minimiseButton_ = nullptr;
  RoundButton* maximiseButton_ = nullptr;
  RoundButton* closeButton_ = nullptr;
  Grip* grip_ = nullptr;
  PlotWidget* plot_ = nullptr;
  QRect imageRect_;

  // Fields, labels and toggles by the names the core uses.
  std::map<Field, QLineEdit*> fields_;
  std::map<Field, QLabel*> fieldFrames_;
  std::map<Label, QLabel*> labels_;
  std::map<Label, QString> readoutNames_;  // the captions screen readers hear
  std::map<Toggle, TogglePicture*> toggles_;
  TogglePicture* swatch_ = nullptr;
  std::vector<QLabel*> captions_;  // of the swatch and the four toggles, in that order
  // Panel widgets with their distance from the right edge and their top.
  struct Anchored {
    QWidget* widget;
    int fromRight;
    int top;
  };
  std::vector<Anchored> panel_;
  std::vector<QWidget*> parameterGroup_;
  QLabel* thirdReadoutCaption_ = nullptr;  // "F'(x)" or "G(x)"
  std::vector<QWidget*> integralReadout_;  // the integral sign, "Fdx" and the value
  FormulaArea formulaArea_ = FormulaArea::kOneFunction;

  std::vector<QWidget*> tabOrder_;
  std::vector<RoundButton*> commandButtons_;  // in the order of the layout
  std::vector<const char*> commandTips_;      // their tool tips, untranslated
  unsigned messagesShown_ = 0;                // tells a press's own message from an older one
  QMenu* plotMenu_ = nullptr;
  std::vector<QAction*> plotItemsNeedingAPlot_;
  QAction* backItem_ = nullptr;  // enabled by the view history
  QAction* forwardItem_ = nullptr;
  std::vector<std::pair<QAction*, const char*>> plotItems_;  // with their texts untranslated
  // The catalogue of the chosen language, and what went wrong installing it
  // (shown with the start's problems or the settings' OK).
  WindowTranslation translation_;
  Status translationProblems_;

  QTimer* startupTimer_ = new QTimer(this);
  std::unique_ptr<DesktopOpener> addressOpener_;
  QString openedAddress_;
  // Asks how the openers ended, every kOpenerWatchMs for kOpenerWatchTicks.
  static constexpr int kOpenerWatchMs = 100;
  static constexpr int kOpenerWatchTicks = 100;
  QTimer* openerWatch_ = new QTimer(this);
  int openerWatchTicks_ = 0;
  // Resizing: the manual grip steps, or the window system's resize with a
  // final antialiased Draw once the size settles.
  bool gripDragging_ = false;
  bool gripStepBusy_ = false;
  bool inGripStep_ = false;
  bool systemResizing_ = false;
  QPoint gripPressGlobal_;
  QSize gripPressSize_;
  QPoint gripCornerOffset_;  // from the pointer to the window's outer corner
  QTimer* resizeSettled_ = new QTimer(this);
  QSize laidOutSize_;
  BackingStoreReserve backingStoreReserve_{QSize(kMaxWindowSize.width, kMaxWindowSize.height)};
  // Maximise and restore, by the window system's answers.
  MaximiseToggle maximise_;
  WindowSystemKind windowSystem_ = WindowSystemKind::kWindowManager;
  // A compositor may keep the keyboard on a small window while the main
  // window is clicked (weston does), so there a press dismisses them.
  QTimer* windowSystemAnswer_ = new QTimer(this);
  int wheelRemainder_ = 0;  // wheel angle not yet worth a zoom step
  QString pictureSuffix_ = "bmp";
  int pictureFilter_ = 0;
};

}  // namespace kurvana::ui
