#include "ui/settings_dialog.h"

#include <QShowEvent>

namespace kurvana::ui {
namespace {

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* mainWindow, Controller& controller)
    : DialogWindow(mainWindow, kSize, "Settings"), controller_(controller) {
  setObjectName("settingsDialog");
  const Row rows[] = {
      {Option::kTwoFunctions, TextId::kTwoFunctions, 22, 54, 58, 230},
      {Option::kAntialias, TextId::kAntialias, 22, 94, 58, 230},
      {Option::kThick, TextId::kThick, 22, 134, 58, 230},
      {Option::kWhiteBack, TextId::kWhiteBack, 22, 174, 58, 230},
      {Option::kDarkNegative, TextId::kDarkNegative, 22, 214, 58, 230},
      {Option::kPolar, TextId::kPolar, 286, 54, 323, 188},
      {Option::kGrid, TextId::kShowGrid, 286, 94, 323, 188},
      {Option::kAxes, TextId::kShowAxes, 286, 134, 323, 188},
      {Option::kReport, TextId::kReport, 286, 174, 323, 188},
      {Option::kLanguage, TextId::kLanguage, 286, 214, 323, 188},
  };
  const char* const names[] = {"twoFunctions", "antialias", "thick", "whiteBack", "darkNegative",
                               "polar",        "grid",      "axes",  "report",    "language"};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    auto* picture = new TogglePicture(this);
    picture->setObjectName(QString(names[i]) + "Picture");
    picture->move(r.left, r.top);
    picture->setFocusPolicy(Qt::TabFocus);
    auto* caption = new PressLabel(this);
    caption->setObjectName(QString(names[i]) + "Caption");
    styleDialogLabel(caption, QRect(r.labelLeft, r.top + 3, r.labelWidth, 22));
    pictures_[r.option] = picture;
    captions_[r.option] = caption;
    connect(picture, &PressLabel::pressed, this, [this, o = r.option] { flip(o); });
    connect(caption, &PressLabel::pressed, this, [this, o = r.option] { flip(o); });
  }

  languages_ = new QComboBox(this);
  languages_->setObjectName("languageList");
  languages_->setGeometry(286, 250, 192, 24);
  setInterfaceFont(languages_, 13);
  QPalette listColours = languages_->palette();
  listColours.setColor(QPalette::Button, QColor(164, 165, 174));
  listColours.setColor(QPalette::Base, QColor(232, 233, 236));
  listColours.setColor(QPalette::Window, QColor(232, 233, 236));
  listColours.setColor(QPalette::ButtonText, Qt::black);
  listColours.setColor(QPalette::Text, Qt::black);
  listColours.setColor(QPalette::Light, QColor(10, 20, 50));
  listColours.setColor(QPalette::Dark, QColor(10, 20, 50));
  // Switched off with "Program language": dimmed into the background.
  listColours.setColor(QPalette::Disabled, QPalette::Button, QColor(92, 94, 104));
  listColours.setColor(QPalette::Disabled, QPalette::Base, QColor(112, 114, 124));
  listColours.setColor(QPalette::Disabled, QPalette::Window, QColor(112, 114, 124));
  listColours.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(164, 166, 174));
  listColours.setColor(QPalette::Disabled, QPalette::Text, QColor(164, 166, 174));
  listColours.setColor(QPalette::Disabled, QPalette::Light, QColor(70, 72, 82));
  listColours.setColor(QPalette::Disabled, QPalette::Dark, QColor(70, 72, 82));
  languages_->setPalette(listColours);
  // Neither a click nor the wheel puts a focus mark on it; Tab does.
  languages_->setFocusPolicy(Qt::TabFocus);
  // On Linux a list's accessible name is its value: the caption labels it.
  captions_[Option::kLanguage]->setBuddy(languages_);

  auto* okButton = new RoundButton(Glyph::kOk, QSize(50, 50), RoundButton::Trigger::kClick, this);
  okButton_ = okButton;
  okButton->setObjectName("okButton");
  okButton->move(234, 285);
  okButton->setFocusPolicy(Qt::TabFocus);
  connect(okButton, &RoundButton::triggered, this, [this] { ok(); });

  const Option tabOrder[] = {Option::kTwoFunctions, Option::kAntialias,    Option::kThick,
                             Option::kWhiteBack,    Option::kDarkNegative, Option::kPolar,
                             Option::kGrid,         Option::kAxes,         Option::kReport,
                             Option::kLanguage};
  QWidget* previous = nullptr;
  for (Option o : tabOrder) {
    if (previous != nullptr) setTabOrder(previous, pictures_[o]);
    previous = pictures_[o];
  }
  setTabOrder(previous, languages_);
  setTabOrder(languages_, okButton);

  // The languages as start-up read them: the list, and the saved choice.
  for (const LanguageItem& item : controller_.languages()) languages_->addItem(fromUtf8(item.name));
  languages_->setCurrentIndex(controller_.chosenLanguageIndex());
  showStates();
  retranslate();
  showTexts(controller_.app().texts);
}

void SettingsDialog::retranslate() {
  okButton_->setToolTip(tr("OK"));
  okButton_->retranslate();
}

void SettingsDialog::showTexts(const InterfaceTexts& texts) {
  setTitle(fromUtf8(texts[TextId::kSettingsTitle]));
  const std::pair<Option, TextId> captions[] = {
      {Option::kTwoFunctions, TextId::kTwoFunctions},
      {Option::kAntialias, TextId::kAntialias},
      {Option::kThick, TextId::kThick},
      {Option::kWhiteBack, TextId::kWhiteBack},
      {Option::kDarkNegative, TextId::kDarkNegative},
      {Option::kPolar, TextId::kPolar},
      {Option::kGrid, TextId::kShowGrid},
      {Option::kAxes, TextId::kShowAxes},
      {Option::kReport, TextId::kReport},
      {Option::kLanguage, TextId::kLanguage},
  };
  for (const auto& [option, id] : captions) {
    const QString caption = fromUtf8(texts[id]);
    captions_[option]->setText(caption);
    pictures_[option]->setAccessibleName(caption.trimmed());
  }
}

void SettingsDialog::showStates() {
  for (auto& [option, picture] : pictures_) picture->showState(controller_.isOptionOn(option));
  const bool listOn = controller_.isOptionOn(Option::kLanguage);
  languages_->setEnabled(listOn);
  if (!listOn) languages_->setCurrentIndex(0);
}

void SettingsDialog::flip(Option option) {
  controller_.toggleOption(option);
  pictures_[option]->showState(controller_.isOptionOn(option));
  if (option == Option::kLanguage) {
    const bool on = controller_.isOptionOn(Option::kLanguage);
    languages_->setEnabled(on);
    if (!on) languages_->setCurrentIndex(0);
  }
}

void SettingsDialog::showEvent(QShowEvent* event) {
  DialogWindow::showEvent(event);  // the dialog itself takes the focus
  showStates();
}

void SettingsDialog::ok() {
  hide();
  const int index = languages_->isEnabled() ? languages_->currentIndex() : 0;
  DrawResult result = controller_.applySettings(index);
  emit applied(result.status);
}

}  // namespace kurvana::ui
