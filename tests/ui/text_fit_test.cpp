// Every text of the shipped languages fits its control in the window's own
// font: panel captions, toggle texts and titles of every window, message
// lines, the language list and every menu item; no text runs into a
// neighbouring control, and the range captions keep a space before their "=".
#include <QFontInfo>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "ui/languages_fixture.h"
#include "ui/message_window.h"

namespace kurvana::ui {
namespace {

// The free Tahoma the run and test commands install. Without it DejaVu Sans
// stands in, wider, and the translations are not expected to fit.
const fs::path kWineTahoma = "/usr/share/wine/fonts/tahoma.ttf";

class TextFitTest : public WindowCataloguesTest {
 protected:
  void SetUp() override {
    WindowCataloguesTest::SetUp();
    if (!fs::exists(kWineTahoma)) GTEST_SKIP() << "fonts-wine is not installed";
  }

  // Where a one-line label draws its text, in its parent's coordinates.
  static QRect textRect(const QLabel* label) {
    const QFontMetrics metrics(label->font());
    const QSize text(metrics.horizontalAdvance(label->text()), metrics.height());
    return QStyle::alignedRect(
               label->layoutDirection(),
               QStyle::visualAlignment(label->layoutDirection(), label->alignment()), text,
               label->contentsRect())
        .translated(label->pos());
  }

  // The labels of `w` whose text is wider than the label, or runs into a
  // control beside it (one that does not lie behind the whole label).
  static std::vector<std::string> misfits(QWidget* w) {
    std::vector<std::string> out;
    for (QLabel* label : w->findChildren<QLabel*>()) {
      if (label->text().isEmpty() || label->objectName() == "fileName") continue;
      if (!label->isVisibleTo(w)) continue;
      const QRect text = textRect(label);
      const QRect own = label->geometry();
      const std::string what =
          '"' + label->text().toStdString() + "\" (" + std::to_string(text.width()) + " px)";
      if (text.left() < own.left() || text.right() > own.right()) {
        out.push_back(what + " is wider than its " + std::to_string(own.width()) + " px");
        continue;
      }
      for (QObject* o : label->parentWidget()->children()) {
        auto* other = qobject_cast<QWidget*>(o);
        if (other == nullptr || other == label || !other->isVisibleTo(w)) continue;
        if (other->geometry().contains(own)) continue;  // a backdrop
        const QRect overlap = other->geometry() & text;
        if (overlap.isEmpty()) continue;
        const auto* otherLabel = qobject_cast<QLabel*>(other);
        // A neighbour's empty room is no collision; its text is.
        if (otherLabel != nullptr && otherLabel->pixmap().isNull() &&
            (otherLabel->text().isEmpty() || (textRect(otherLabel) & text).isEmpty())) {
          continue;
        }
        out.push_back(what + " runs into " +
                      (other->objectName().isEmpty() ? std::string(other->metaObject()->className())
                                                     : other->objectName().toStdString()));
      }
    }
    return out;
  }

  // The items of `menu` whose text with its shortcut is wider than its row.
  static std::vector<std::string> menuMisfits(QMenu* menu) {
    std::vector<std::string> out;
    menu->ensurePolished();
    menu->adjustSize();
    const QFontMetrics metrics(menu->font());
    for (QAction* a : menu->actions()) {
      if (a->isSeparator()) continue;
      QString text = a->text();
      text.remove('&');
      int width = metrics.horizontalAdvance(text);
      if (!a->shortcut().isEmpty()) {
        width += metrics.horizontalAdvance("  " + a->shortcut().toString(QKeySequence::NativeText));
      }
      const QRect row = menu->actionGeometry(a);
      if (width > row.width()) {
        out.push_back('"' + text.toStdString() + "\" (" + std::to_string(width) +
                      " px) in a row of " + std::to_string(row.width()));
      }
    }
    return out;
  }

  static std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines) out += "\n  " + l;
    return out;
  }

  // Every message of the current language as a failed Draw words it, with
  // the longest of the names it may carry.
  std::vector<std::string> messageMisfits() {
    std::vector<std::string> out;
    MessageWindow& m = window->messageWindow();
    const auto& t = window->controller().app().texts;
    const auto text = [&t](TextId id) { return std::string(t[id]); };
    const std::vector<std::array<std::string, 3>> messages = {
        {text(TextId::kMsgSyntax1) + " G(x),", text(TextId::kMsgSyntax2),
         text(TextId::kMsgSyntax3)},
        {text(TextId::kMsgBrackets), "", ""},
        {"G(x) " + text(TextId::kMsgOverflow1), text(TextId::kMsgOverflow2),
         text(TextId::kMsgOverflow3)},
        {text(TextId::kMsgRange1), text(TextId::kMsgRange2), text(TextId::kMsgRange3)}};
    for (const auto& lines : messages) {
      m.setLines(lines[0], lines[1], lines[2]);
      for (const std::string& misfit : misfits(&m)) out.push_back(misfit);
    }
    return out;
  }

  // Every item of the language list within the list's text room.
  static std::vector<std::string> listMisfits(QComboBox* list) {
    std::vector<std::string> out;
    QStyleOptionComboBox option;
    option.initFrom(list);
    const QRect room = list->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, list);
    for (int i = 0; i < list->count(); ++i) {
      const int width = list->fontMetrics().horizontalAdvance(list->itemText(i));
      if (width > room.width()) {
        out.push_back('"' + list->itemText(i).toStdString() + "\" in the language list");
      }
    }
    return out;
  }

  // The range captions by row, left to right: caption, "=".
  std::vector<std::pair<QLabel*, QLabel*>> rangeCaptions() {
    std::vector<std::pair<QLabel*, QLabel*>> rows;
    const QList<QLabel*> labels = window->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    for (const char* caption : {"x min", "x max", "y min", "y max", "z min", "z max"}) {
      QLabel* name = nullptr;
      QLabel* equals = nullptr;
      for (QLabel* l : labels) {
        if (l->text() == caption) name = l;
      }
      if (name == nullptr) continue;
      for (QLabel* l : labels) {
        if (l->text() == "=" && l->y() == name->y()) equals = l;
      }
      if (equals != nullptr) rows.emplace_back(name, equals);
    }
    return rows;
  }
};

TEST_F(TextFitTest, TheWindowUsesTheFreeTahoma) {
  startShown();
  EXPECT_EQ(QFontInfo(find<QLabel>("autoScaleCaption")->font()).family(), "Tahoma");
  EXPECT_EQ(QFontInfo(field("xMin")->font()).family(), "Tahoma");
}

TEST_F(TextFitTest, EveryTextOfEveryShippedLanguageFitsItsControl) {
  installAll();
  saveTwoFunctionMode();
  startShown();
  for (const char* language : {"English", "Deutsch", "Français"}) {
    SCOPED_TRACE(language);
    switchTo(language);
    // The parameter fields show in two-function mode only: both layouts.
    for (const auto& [name, w] : windows()) {
      EXPECT_EQ(joined(misfits(w)), "") << name;
    }
    EXPECT_EQ(joined(messageMisfits()), "");
    EXPECT_EQ(joined(listMisfits(languageList())), "");
    EXPECT_EQ(joined(menuMisfits(find<QMenu>("plotMenu"))), "");
    for (const char* name : kFieldNames) {
      QLineEdit* edit = field(name);
      QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                              edit->mapToGlobal(QPoint(5, 5)));
      QApplication::sendEvent(edit, &click);
      for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(top);
        if (menu == nullptr || top->objectName() != "fieldMenu" || !top->isVisible()) continue;
        EXPECT_EQ(joined(menuMisfits(menu)), "") << name;
        menu->close();
      }
    }
  }
}

TEST_F(TextFitTest, TheRangeCaptionsKeepASpaceBeforeTheirEqualsSigns) {
  saveTwoFunctionMode();
  startShown();
  const auto rows = rangeCaptions();
  ASSERT_EQ(rows.size(), 6u);
  const QFontMetrics metrics(rows[0].first->font());
  const int space = metrics.horizontalAdvance(' ');
  std::optional<int> equalsInk;
  for (const auto& [caption, equals] : rows) {
    SCOPED_TRACE(caption->text().toStdString());
    const int captionInk = textRect(caption).left() + metrics.boundingRect(caption->text()).right();
    const int ink = textRect(equals).left() + metrics.boundingRect("=").left();
    EXPECT_GE(ink - captionInk - 1, space);
    if (!equalsInk) equalsInk = ink;
    EXPECT_EQ(ink, *equalsInk);
  }
}

}  // namespace
}  // namespace kurvana::ui
