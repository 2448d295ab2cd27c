// The settings dialog: the ten options that are not on the main window, in
// two columns of toggles, and the interface language. A toggle takes effect
// in the options at once; OK (or Enter) brings the main window in line and
// redraws. Tab goes down the left column, down the right one with the
// language list after its toggle, then to OK.
#pragma once

#include <QComboBox>
#include <functional>
#include <map>
#include <utility>

#include "app/controller.h"
#include "ui/dialog_window.h"

namespace kurvana::ui {

class SettingsDialog : public DialogWindow {
  Q_OBJECT

 public:
  static constexpr QSize kSize{518, 368};

  // Lists the languages the controller read (loadLanguages, at start-up).
  SettingsDialog(QWidget* mainWindow, Controller& controller);

  // Captions from the interface texts.
  void showTexts(const InterfaceTexts& texts);
  // The texts the translation catalogue gives (the OK button's).
  void retranslate();

  QComboBox* languageList() const { return languages_; }

 signals:
  // OK was pressed and applied; the window repaints and shows the problems.
  void applied(const Status& status);

 protected:
  void showEvent(QShowEvent* event) override;
  void accept() override { ok(); }

 private:
  struct Row {
    Option option;
    TextId caption;
    int left;  // of the picture
    int top;
    int labelLeft;
    int labelWidth;
  };
  void flip(Option option);
  void showStates();
  void ok();

  Controller& controller_;
  std::map<Option, TogglePicture*> pictures_;
  std::map<Option, PressLabel*> captions_;
  QComboBox* languages_ = nullptr;
  RoundButton* okButton_ = nullptr;
};

}  // namespace kurvana::ui
