// The message window on its own: placement over the main window, the frame,
// lines cut at their labels' edge, the title drag and the OK button.
#include "ui/message_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <string>

namespace kurvana::ui {
namespace {

class MessageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { main.setGeometry(100, 120, 1000, 700); }

  QWidget main;
  MessageWindow message{&main};
};

TEST_F(MessageWindowTest, ShowsCentredOnTheMainWindowAndOkHidesIt) {
  message.showLines("one", "two", "three");
  ASSERT_TRUE(message.isVisible());
  EXPECT_EQ(message.geometry(), QRect(100 + 207, 120 + 209, 586, 282));
  EXPECT_EQ(message.line(0), "one");
  EXPECT_EQ(message.line(2), "three");
  EXPECT_TRUE(message.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(message.okButton()->geometry(), QRect(268, 206, 50, 50));

  message.showLines("four", "five", "six");  // replaces, still one window
  EXPECT_EQ(message.line(1), "five");
  QTest::mouseClick(message.okButton(), Qt::LeftButton);
  EXPECT_FALSE(message.isVisible());
}

// Two pixels of 0x54494A all round, the title strip included.
TEST_F(MessageWindowTest, FrameIsTwoPixelsWide) {
  message.showLines("", "", "");
  const QImage shown = message.grab().toImage();
  const QColor frame(74, 73, 84);
  for (const QPoint p : {QPoint(0, 0), QPoint(1, 10), QPoint(300, 1), QPoint(585, 150),
                         QPoint(584, 281), QPoint(300, 280)}) {
    EXPECT_EQ(shown.pixelColor(p), frame) << p.x() << "," << p.y();
  }
  for (const QPoint p : {QPoint(2, 10), QPoint(300, 2), QPoint(583, 150), QPoint(300, 279)}) {
    EXPECT_NE(shown.pixelColor(p), frame) << p.x() << "," << p.y();
  }
}

TEST_F(MessageWindowTest, ALongLineIsCutAtItsLabelsRightEdge) {
  const QRect end(540, 88, 29, 26);     // the last pixels of the first line's label
  const QRect beyond(569, 88, 15, 26);  // from its right edge to the frame
  message.showLines("short", "", "");
  const QImage emptyEnd = message.grab(end).toImage();
  const QImage plain = message.grab(beyond).toImage();
  message.showLines(std::string(200, 'W'), "", "");
  EXPECT_NE(message.grab(end).toImage(), emptyEnd);
  EXPECT_EQ(message.grab(beyond).toImage(), plain);
  EXPECT_EQ(message.size(), QSize(586, 282));
}

TEST_F(MessageWindowTest, TheTitleDragsTheWindowTheBodyDoesNot) {
  message.showLines("a", "b", "c");
  const QPoint start = message.pos();
  QTest::mousePress(&message, Qt::LeftButton, {}, QPoint(400, 240));
  QTest::mouseMove(&message, QPoint(450, 260));
  QTest::mouseRelease(&message, Qt::LeftButton, {}, QPoint(450, 260));
  EXPECT_EQ(message.pos(), start);

  QWidget* title = message.titleBar();
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(100, 10));
  QTest::mouseMove(title, QPoint(130, 30));
  QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(130, 30));
  EXPECT_EQ(message.pos(), start + QPoint(30, 20));
}

}  // namespace
}  // namespace kurvana::ui
