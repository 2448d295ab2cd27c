// The commands around the views drawn, through the controller: which
// commands record a view, Back and Forward with the fields' texts and their
// Draw, a new branch from typed ranges; Copy picture without the ring; the
// trace keys in the labels.
#include <gtest/gtest.h>

#include <string>

#include "app/explore_fixture.h"
#include "explore/cursor_readout.h"
#include "explore/drawn_plot.h"
#include "explore/view_history.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

using testing::ExploreTest;
using testing::samePixels;

class ViewCommands : public ExploreTest {
 protected:
  void zoomIn(Keys keys = {}) {
    EXPECT_TRUE(controller->zoom(ZoomDirection::kIn, keys, std::nullopt).ok());
  }
  void drag(int fromX, int toX) {
    ASSERT_EQ(controller->pointerPressed(MouseButton::kLeft, Point{fromX, 200}),
              PlotPress::kPanStarted);
    move(toX, 200);
    EXPECT_TRUE(controller->pointerReleased().ok());
  }
  std::size_t views() const { return controller->viewHistory().size(); }
  std::string field(Field f) { return view.texts[f]; }
  void type(Field f, const std::string& text) { view.texts[f] = text; }
};

TEST_F(ViewCommands, EverySucceedingDrawThatMovesTheRangesIsRecorded) {
  EXPECT_EQ(views(), 0u);
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  EXPECT_EQ(views(), 1u);
  zoomIn();
  EXPECT_EQ(views(), 2u);
  zoomIn(Keys{.shift = true});
  EXPECT_EQ(views(), 3u);
  drag(300, 360);
  EXPECT_EQ(views(), 4u);

  // Redraws over the same ranges add nothing.
  EXPECT_TRUE(controller->toggleLines().ok());
  EXPECT_TRUE(controller->sizeChanged().ok());
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kDrawn);
  EXPECT_EQ(views(), 4u);

  // A Draw that fails records nothing.
  type(Field::kXMin, "20");
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kRangeError);
  EXPECT_EQ(views(), 4u);
  type(Field::kXMin, "0");

  // Automatic scale fits y: a view of its own; a y zoom it refits is none.
  controller->toggleAutoScale();
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kDrawn);
  EXPECT_EQ(views(), 5u);
  zoomIn(Keys{.shift = true});
  EXPECT_EQ(views(), 5u);

  // Live resize steps leave it to the release, whose fit goes in: the
  // samples of a fast wave peak differently at each width.
  type(Field::kFormulaF, "F(x)=sin(37*x)");
  plotSize(300, 200);
  EXPECT_TRUE(controller->resizeStep().ok());
  const long double fitted = state().yMax;
  plotSize(201, 200);
  EXPECT_TRUE(controller->resizeStep().ok());
  ASSERT_NE(state().yMax, fitted);
  EXPECT_EQ(views(), 5u);
  EXPECT_TRUE(controller->resizeFinished().ok());
  EXPECT_EQ(views(), 6u);
}

TEST_F(ViewCommands, BackAndForwardReadOutUnderARestingPointer) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  zoomIn();  // x 0 .. 5
  // Plot column 300 of 600 (image column 320) shows x = 300 * 10 / 599 after Back.
  EXPECT_TRUE(controller->back(Point{320, 200}).ok());
  EXPECT_EQ(field(Field::kXMax), "10");
  EXPECT_EQ(label(Label::kReadoutX), "= " + formatGeneral(300 * 10.0L / 599, "."));
  EXPECT_TRUE(controller->forward(Point{320, 200}).ok());
  EXPECT_EQ(label(Label::kReadoutX), "= " + formatGeneral(300 * 5.0L / 599, "."));
  // Off the picture: the readout is the Draw's own.
  EXPECT_TRUE(controller->back(Point{-1, 200}).ok());
  EXPECT_EQ(label(Label::kReadoutX), "= 0");
}

TEST_F(ViewCommands, BackAndForwardShowTheFieldsAsTheyWereAndDraw) {
  type(Field::kXMax, "1.2345678");  // more digits than a zoom writes
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  const Bitmap first = app->image;
  zoomIn();
  ASSERT_EQ(field(Field::kXMax), "0.617284");
  zoomIn(Keys{.shift = true});
  ASSERT_EQ(field(Field::kYMax), "2.5");

  EXPECT_TRUE(controller->back().ok());
  EXPECT_EQ(field(Field::kXMax), "0.617284");
  EXPECT_EQ(field(Field::kYMax), "5");
  EXPECT_EQ(draws(), 3);
  EXPECT_TRUE(controller->back().ok());
  EXPECT_EQ(field(Field::kXMax), "1.2345678");
  EXPECT_EQ(state().xMax, 1.2345678L);
  EXPECT_TRUE(samePixels(app->image, first));
  EXPECT_EQ(draws(), 4);
  EXPECT_FALSE(controller->canGoBack());
  EXPECT_TRUE(controller->back().ok());  // at the end: nothing, not even a beep
  EXPECT_EQ(draws(), 4);
  EXPECT_EQ(view.beeps, 0);
  EXPECT_EQ(views(), 3u);  // going back records nothing

  // A Draw with the fields as Back left them keeps the way forward.
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kDrawn);
  EXPECT_TRUE(controller->canGoForward());
  EXPECT_TRUE(controller->forward().ok());
  EXPECT_EQ(field(Field::kXMax), "0.617284");
  EXPECT_EQ(field(Field::kYMax), "5");

  // Typed ranges start a new branch: the y-zoomed view is gone.
  type(Field::kXMax, "3");
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kDrawn);
  EXPECT_FALSE(controller->canGoForward());
  EXPECT_EQ(views(), 3u);
  EXPECT_TRUE(controller->back().ok());
  EXPECT_EQ(field(Field::kXMax), "0.617284");
  EXPECT_TRUE(controller->forward().ok());
  EXPECT_EQ(field(Field::kXMax), "3");
  EXPECT_FALSE(controller->canGoForward());
}

TEST_F(ViewCommands, BackAndForwardWaitForTheEndOfADrag) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  zoomIn();
  ASSERT_EQ(controller->pointerPressed(MouseButton::kLeft, Point{300, 200}),
            PlotPress::kPanStarted);
  move(330, 200);
  const std::string xMin = field(Field::kXMin);
  EXPECT_TRUE(controller->back().ok());
  EXPECT_EQ(field(Field::kXMin), xMin);
  EXPECT_EQ(draws(), 1);  // the zoom's only
  EXPECT_TRUE(controller->pointerReleased().ok());
  EXPECT_EQ(views(), 3u);
  EXPECT_TRUE(controller->back().ok());
  EXPECT_EQ(field(Field::kXMin), "0");
  EXPECT_EQ(field(Field::kXMax), "5");
}

TEST_F(ViewCommands, BackLeadsOutOfAFailedDraw) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  zoomIn();
  type(Field::kXMin, "9");
  EXPECT_EQ(controller->draw().outcome, DrawOutcome::kRangeError);
  ASSERT_FALSE(state().plotValid);
  EXPECT_TRUE(controller->back().ok());
  EXPECT_TRUE(state().plotValid);
  EXPECT_EQ(field(Field::kXMin), "0");
  EXPECT_EQ(field(Field::kXMax), "10");
}

TEST_F(ViewCommands, CopyPictureLeavesTheRingOutAndOnScreen) {
  controller->copyPicture();
  EXPECT_EQ(view.beeps, 1);  // no plot
  EXPECT_FALSE(view.copied.has_value());

  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  const Bitmap drawn = app->image;
  move(320, 100);
  ASSERT_TRUE(state().circleShown);
  const Bitmap ringed = app->image;
  controller->copyPicture();
  ASSERT_TRUE(view.copied.has_value());
  EXPECT_EQ(view.copied->width(), drawn.width());
  EXPECT_EQ(view.copied->height(), drawn.height());
  EXPECT_TRUE(samePixels(*view.copied, drawn));
  EXPECT_TRUE(state().circleShown);
  EXPECT_TRUE(samePixels(app->image, ringed));
  EXPECT_EQ(view.beeps, 1);
}

TEST_F(ViewCommands, TraceKeysFillTheLabelsAndReturnTheRingsPlaces) {
  EXPECT_EQ(controller->traceKey(TraceMove::kForward, 1).right, 0);  // no plot
  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  const Rect first = controller->traceKey(TraceMove::kFirst, 1);
  EXPECT_EQ(label(Label::kReadoutX), "= 0");
  EXPECT_EQ(label(Label::kReadoutF), "= -5");
  EXPECT_EQ(first.left, 13);  // the ring around column 20
  EXPECT_EQ(first.right, 28);
  const Rect next = controller->traceKey(TraceMove::kForward, 10);
  EXPECT_EQ(next.left, 13);  // the old place and the new one
  EXPECT_EQ(next.right, 38);
  EXPECT_EQ(label(Label::kReadoutDerivative), "= 1");

  // A drag owns the pointer and the picture: the keys wait.
  ASSERT_EQ(controller->pointerPressed(MouseButton::kLeft, Point{300, 200}),
            PlotPress::kPanStarted);
  const std::string x = label(Label::kReadoutX);
  EXPECT_EQ(controller->traceKey(TraceMove::kLast, 1).right, 0);
  EXPECT_EQ(label(Label::kReadoutX), x);
  EXPECT_TRUE(controller->pointerReleased().ok());
}

}  // namespace
}  // namespace kurvana
