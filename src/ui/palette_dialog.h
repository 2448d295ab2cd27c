// The colour palette: 512 colours in 16 rows of 32 cells. The pointer shows
// the components of the colour under it; a press picks it as the curve
// colour at once; OK (or Enter) keeps it and the cancel button (or Esc)
// restores the colour the dialog opened with.
#pragma once

#include <QImage>

#include "app/controller.h"
#include "ui/dialog_window.h"

namespace kurvana::ui {

// The colour of palette cell (row, column), 0x00BBGGRR.
Color paletteColor(int row, int column);

class PaletteDialog : public DialogWindow {
  Q_OBJECT

 public:
  static constexpr QSize kSize{516, 368};
  static constexpr int kPaletteTop = 32;  // the picture below the title strip

  PaletteDialog(QWidget* mainWindow, Controller& controller);

  void showTexts(const InterfaceTexts& texts);
  // The texts the translation catalogue gives: the buttons' and the
  // components' letters.
  void retranslate();
  // The picture under the title strip: background tiles, the palette over
  // its top 256 rows (picture pixels).
  const QImage& picture() const { return picture_; }
  QString componentText(int i) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // The picture pixel at a window position, when it lies on the palette rows.
  std::optional<Color> colorAt(QPoint at) const;
  void showComponents(Color color);
  void cancel() override;
  void accept() override { hide(); }

  Controller& controller_;
  QImage picture_;
  Color opened_ = 0;  // the colour when the dialog was shown
  Color shown_ = 0;   // the colour whose components show
  RoundButton* ok_;
  RoundButton* cancel_;
  QLabel* red_;
  QLabel* green_;
  QLabel* blue_;
};

}  // namespace kurvana::ui
