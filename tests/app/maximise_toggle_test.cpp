// The maximise button's record over window managers and compositors that
// honour, refuse or ignore its requests: each scenario is a run of presses
// and answers with the requests each must give and the record after it.
#include "app/maximise_toggle.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kurvana {

void PrintTo(const WindowRect& r, std::ostream* out) {
  *out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}
void PrintTo(const WindowRequest& r, std::ostream* out) {
  switch (r.kind) {
    case WindowRequest::Kind::kMaximised:
      *out << "maximised";
      break;
    case WindowRequest::Kind::kNormal:
      *out << "normal";
      break;
    case WindowRequest::Kind::kGeometry:
      *out << "geometry ";
      PrintTo(r.geometry, out);
      break;
  }
}

namespace {

using Kind = WindowSystemKind;

constexpr WindowRect kNormal{300, 200, 1024, 768};
const WindowRequest kAskMaximised = WindowRequest::maximised();
const WindowRequest kAskNormal = WindowRequest::normal();
WindowRequest place(int x, int y, int w, int h) {
  return WindowRequest::place({x, y, w, h});
}

WindowSystemFacts desktop(Kind kind, int w = 1920, int h = 1080) {
  return WindowSystemFacts{Size{w, h}, WindowRect{0, 0, w, h}, kind};
}

struct Event {
  enum What { kPress, kReport, kResize, kOverdue } what;
  bool held;  // the window system holds the window maximised, as Qt tells
  WindowRect geometry;
  WindowRequests expected;
  bool maximisedAfter;
  bool mayResizeAfter;  // with `held` as given
};

struct Scenario {
  const char* name;
  WindowSystemFacts facts;
  std::vector<Event> events;
};

const char* nameOf(Event::What what) {
  switch (what) {
    case Event::kPress:
      return "press";
    case Event::kReport:
      return "report";
    case Event::kResize:
      return "resize";
    case Event::kOverdue:
      return "overdue";
  }
  return "?";
}

void run(const Scenario& s) {
  MaximiseToggle toggle;
  for (std::size_t i = 0; i < s.events.size(); ++i) {
    const Event& e = s.events[i];
    SCOPED_TRACE(std::string(s.name) + ", event " + std::to_string(i) + " (" + nameOf(e.what) +
                 ")");
    const WindowNow now{e.held, e.geometry};
    WindowRequests got;
    switch (e.what) {
      case Event::kPress:
        got = toggle.pressed(now, s.facts);
        break;
      case Event::kReport:
        got = toggle.stateReported(now);
        break;
      case Event::kResize:
        got = toggle.resized(now);
        break;
      case Event::kOverdue:
        got = toggle.answerOverdue(now);
        break;
    }
    EXPECT_EQ(got, e.expected);
    EXPECT_EQ(toggle.maximised(), e.maximisedAfter);
    EXPECT_EQ(toggle.mayResize(e.held), e.mayResizeAfter);
  }
}

constexpr WindowRect kMaximised{0, 0, 1920, 1080};

TEST(MaximiseToggle, WindowManagers) {
  const Scenario scenarios[] = {
      // Honoured both ways; the manager puts the window back at the top left
      // first (the place comes in a later event), the window goes where it was.
      {"honoured",
       desktop(Kind::kWindowManager),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kResize, true, kMaximised, {}, true, false},
           {Event::kPress, true, kMaximised, {kAskNormal}, true, false},
           {Event::kResize, false, {0, 0, 1024, 768}, {WindowRequest::place(kNormal)}, false, true},
       }},
      // No window manager at all: nothing answers, the window makes itself
      // as large as the work area after leaving the state Qt believes in.
      {"ignored",
       desktop(Kind::kWindowManager),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kOverdue, true, kNormal, {kAskNormal, place(0, 0, 1920, 1080)}, true, false},
           {Event::kPress, false, kMaximised, {WindowRequest::place(kNormal)}, false, true},
       }},
      // Refused: a state report without the maximised state.
      {"refused",
       desktop(Kind::kWindowManager),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kReport, false, kNormal, {place(0, 0, 1920, 1080)}, true, true},
           {Event::kPress, false, kMaximised, {WindowRequest::place(kNormal)}, false, true},
       }},
      // Resized without the state (and so not a screen's width or height):
      // our record says maximised, so the next press restores even though
      // the manager then does nothing.
      {"resized without the state",
       WindowSystemFacts{{1920, 1080}, {0, 30, 1920, 1050}, Kind::kWindowManager},
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kResize, true, {0, 30, 1900, 1040}, {}, true, false},
           {Event::kPress, true, {0, 30, 1900, 1040}, {kAskNormal}, true, false},
           {Event::kOverdue,
            false,
            {0, 30, 1900, 1040},
            {WindowRequest::place(kNormal)},
            false,
            true},
       }},
      // Larger than the largest window: the manager is not asked, the window
      // takes the largest size centred on the work area (a panel on the left).
      {"2560 x 1600",
       WindowSystemFacts{{2560, 1600}, {64, 0, 2496, 1600}, Kind::kWindowManager},
       {
           {Event::kPress, false, kNormal, {place(192, 80, 2240, 1440)}, true, true},
           {Event::kResize, false, {192, 80, 2240, 1440}, {}, true, true},
           {Event::kPress,
            false,
            {192, 80, 2240, 1440},
            {WindowRequest::place(kNormal)},
            false,
            true},
       }},
      // The manager's own key maximised and restored it: nothing to place.
      {"by the manager's key",
       desktop(Kind::kWindowManager),
       {
           {Event::kReport, true, kNormal, {}, true, false},
           {Event::kReport, false, kNormal, {}, false, true},
           {Event::kReport, true, kNormal, {}, true, false},
           {Event::kPress, true, kMaximised, {kAskNormal}, true, false},
           {Event::kResize, false, kNormal, {}, false, true},
       }},
      // A press before the answer waits for it.
      {"pressed twice",
       desktop(Kind::kWindowManager),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kPress, true, kNormal, {}, false, false},
           {Event::kResize, true, kMaximised, {}, true, false},
       }},
  };
  for (const Scenario& s : scenarios) run(s);
}

TEST(MaximiseToggle, Compositors) {
  const Scenario scenarios[] = {
      // A late answer is trusted: nothing resizes the window meanwhile, nor
      // after, while the compositor holds it maximised.
      {"honoured late",
       desktop(Kind::kCompositor),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kOverdue, true, kNormal, {}, true, false},
           {Event::kResize, true, {0, 0, 1920, 1048}, {}, true, false},
           {Event::kPress, true, {0, 0, 1920, 1048}, {kAskNormal}, true, false},
           // Restored to the normal size by the compositor and Qt; its place
           // is the compositor's.
           {Event::kResize, false, {0, 0, 1024, 768}, {}, false, true},
       }},
      {"refused",
       desktop(Kind::kCompositor),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kReport, false, kNormal, {place(0, 0, 1920, 1080)}, true, true},
           {Event::kPress, false, {0, 0, 1920, 1080}, {WindowRequest::place(kNormal)}, false, true},
       }},
      // No answer to the restore: the compositor restores the normal size
      // itself when it answers; nothing is placed before.
      {"restore overdue",
       desktop(Kind::kCompositor),
       {
           {Event::kPress, false, kNormal, {kAskMaximised}, false, false},
           {Event::kResize, true, {0, 0, 1920, 1048}, {}, true, false},
           {Event::kPress, true, {0, 0, 1920, 1048}, {kAskNormal}, true, false},
           {Event::kOverdue, false, {0, 0, 1920, 1048}, {}, false, true},
       }},
      // Maximised beyond the largest window would be a protocol error.
      {"2560 x 1600",
       desktop(Kind::kCompositor, 2560, 1600),
       {
           {Event::kPress, false, kNormal, {place(160, 80, 2240, 1440)}, true, true},
           {Event::kPress, false, {0, 0, 2240, 1440}, {place(300, 200, 1024, 768)}, false, true},
       }},
      {"the restore is sized only",
       desktop(Kind::kCompositor, 2560, 1600),
       {
           {Event::kPress, false, kNormal, {place(160, 80, 2240, 1440)}, true, true},
           {Event::kResize, false, {0, 0, 2240, 1440}, {}, true, true},
           {Event::kPress, false, {0, 0, 2240, 1440}, {WindowRequest::place(kNormal)}, false, true},
           {Event::kResize, false, {0, 0, 1024, 768}, {}, false, true},
       }},
  };
  for (const Scenario& s : scenarios) run(s);
}

// Whether the window system is asked at all, by the size of its work area.
TEST(MaximiseToggle, TheWindowSystemIsAskedOnlyWithinTheSizeLimits) {
  struct Case {
    Kind kind;
    Size work;
    bool asked;
  };
  const Case cases[] = {
      {Kind::kWindowManager, {900, 633}, true},
      {Kind::kWindowManager, {899, 1000}, false},
      {Kind::kWindowManager, {1000, 632}, false},
      {Kind::kWindowManager, {2240, 1440}, true},
      {Kind::kWindowManager, {2241, 1000}, false},
      {Kind::kWindowManager, {1000, 1441}, false},
      // A compositor's panels are unknown: room is left for them.
      {Kind::kCompositor, {1000, 733}, true},
      {Kind::kCompositor, {1000, 732}, false},
      {Kind::kCompositor, {999, 800}, false},
      {Kind::kCompositor, {2240, 1440}, true},
      {Kind::kCompositor, {2240, 1441}, false},
  };
  for (const Case& c : cases) {
    MaximiseToggle toggle;
    const WindowSystemFacts facts{Size{3000, 3000}, WindowRect{0, 0, c.work.width, c.work.height},
                                  c.kind};
    const WindowRequests got = toggle.pressed(WindowNow{false, kNormal}, facts);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.front() == kAskMaximised, c.asked)
        << (c.kind == Kind::kCompositor ? "compositor " : "window manager ") << c.work.width << "x"
        << c.work.height;
    EXPECT_TRUE(toggle.maximised() || c.asked);
  }
}

// Judged on the geometry the window goes back to, once the window system
// has answered.
TEST(MaximiseToggle, ANearlyScreenSizedWindowIsRestoredToTheSmallestSize) {
  struct Case {
    WindowRect normal;
    WindowRect restored;
  };
  const Case cases[] = {
      {{5, 5, 1910, 700}, {5, 5, 900, 633}},   // width exactly the screen's less 10
      {{5, 5, 1000, 1070}, {5, 5, 900, 633}},  // height exactly the screen's less 10
      {{5, 5, 1909, 1069}, {5, 5, 1909, 1069}},
  };
  for (const Case& c : cases) {
    MaximiseToggle toggle;
    const WindowSystemFacts facts = desktop(Kind::kWindowManager);
    ASSERT_EQ(toggle.pressed({false, c.normal}, facts), WindowRequests{kAskMaximised});
    toggle.resized({true, kMaximised});
    ASSERT_EQ(toggle.pressed({true, kMaximised}, facts), WindowRequests{kAskNormal});
    // The window manager gives back the geometry it had.
    const WindowRequests got = toggle.resized({false, c.normal});
    const WindowRequests expected = c.restored == c.normal
                                        ? WindowRequests{}
                                        : WindowRequests{WindowRequest::place(c.restored)};
    EXPECT_EQ(got, expected) << c.normal.width << "x" << c.normal.height;
    EXPECT_FALSE(toggle.maximised());
  }
}

// The rule: as wide or as high as the screen counts as maximised, without
// the state and without our record.
TEST(MaximiseToggle, AScreenWideWindowCountsAsMaximised) {
  const Scenario scenarios[] = {
      {"as wide as the screen",
       desktop(Kind::kWindowManager),
       {{Event::kPress, false, {0, 10, 1920, 700}, {place(0, 10, 900, 633)}, false, true}}},
      {"as high as the screen",
       desktop(Kind::kWindowManager),
       {{Event::kPress, false, {40, 0, 1200, 1080}, {place(40, 0, 900, 633)}, false, true}}},
      {"one pixel short of both",
       desktop(Kind::kWindowManager),
       {{Event::kPress, false, {0, 0, 1919, 1079}, {kAskMaximised}, false, false}}},
  };
  for (const Scenario& s : scenarios) run(s);
}

TEST(MaximiseToggle, APressWhileAwaitingIsTakenOnceAnswered) {
  MaximiseToggle toggle;
  const WindowSystemFacts facts = desktop(Kind::kWindowManager);
  ASSERT_EQ(toggle.pressed({false, kNormal}, facts), WindowRequests{kAskMaximised});
  EXPECT_TRUE(toggle.pressed({true, kNormal}, facts).empty());
  EXPECT_FALSE(toggle.takeWaitingPress());  // not before the answer
  toggle.resized({true, kMaximised});
  EXPECT_TRUE(toggle.takeWaitingPress());
  EXPECT_FALSE(toggle.takeWaitingPress());
  EXPECT_EQ(toggle.pressed({true, kMaximised}, facts), WindowRequests{kAskNormal});
}

TEST(MaximiseToggle, TheGripEndsOnlyOurOwnMaximise) {
  MaximiseToggle toggle;
  const WindowSystemFacts big = desktop(Kind::kWindowManager, 2560, 1600);
  toggle.pressed({false, kNormal}, big);
  ASSERT_TRUE(toggle.maximised());
  toggle.sizedByHand();
  EXPECT_FALSE(toggle.maximised());
  // Pressed again, it maximises again, from the size the grip left.
  EXPECT_EQ(toggle.pressed({false, {160, 80, 2000, 1400}}, big),
            WindowRequests{place(160, 80, 2240, 1440)});

  MaximiseToggle held;
  const WindowSystemFacts facts = desktop(Kind::kWindowManager);
  held.pressed({false, kNormal}, facts);
  held.resized({true, kMaximised});
  held.sizedByHand();
  EXPECT_TRUE(held.maximised());
}

TEST(WindowGeometry, TheLargestWindowIsCentredWithinTheLimits) {
  struct Case {
    WindowRect work;
    WindowRect largest;
  };
  const Case cases[] = {
      {{0, 0, 2560, 1600}, {160, 80, 2240, 1440}},
      {{0, 0, 2240, 1440}, {0, 0, 2240, 1440}},
      {{0, 24, 1920, 1056}, {0, 24, 1920, 1056}},
      // Smaller than the smallest window: that, centred.
      {{0, 0, 800, 600}, {-50, -16, 900, 633}},
  };
  for (const Case& c : cases) {
    const WindowRect got = largestWindowOn(c.work);
    EXPECT_EQ(got, c.largest) << c.work.width << "x" << c.work.height;
  }
}

}  // namespace
}  // namespace kurvana
