#include "impl/mouse.h"

#include "input_fixture.h"
#include "mouse_input.h"

namespace morel_xy {
namespace {

using T = MouseEventType;
using B = MouseButton;
using P = PlatformMouseEventType;

MouseEvent Event(T type, int32_t x, int32_t y, B button = B::LeftButton) {
  return MouseEvent{type, button, x, y};
}

PostedMouseEvent Posted(P type, int32_t button, double x, double y, int64_t clickState,
                        int64_t eventNumber) {
  return PostedMouseEvent{type, button, x, y, clickState, eventNumber};
}

using MouseTest = InputTest;

TEST_F(MouseTest, FirstClickAtOriginPostsNoMoveAndStartsNumberingAt32000) {
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {Posted(P::LeftMouseDown, 0, 0, 0, 1, 32000), Ms(1),
                                                 Posted(P::LeftMouseUp, 0, 0, 0, 1, 32000), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
  EXPECT_EQ(impl::detail::gsEventNumber, 32001);
}

TEST_F(MouseTest, ClickElsewhereIsPrecededByAMoveThatEndsTheSeries) {
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  fake.calls.clear();
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 100, 200)));
  const auto posted = fake.CallsOf<PostedMouseEvent>();
  const std::vector<PostedMouseEvent> expected = {
      Posted(P::MouseMoved, 0, 100, 200, 0, 32001),
      Posted(P::LeftMouseDown, 0, 100, 200, 1, 32001),
      Posted(P::LeftMouseUp, 0, 100, 200, 1, 32001),
  };
  EXPECT_EQ(posted, expected);
}

TEST_F(MouseTest, DoubleClickAtNewPositionPausesTenMillisecondsBetweenClicks) {
  ASSERT_TRUE(SendMouseEvent(Event(T::DoubleClick, 5, 6)));
  const std::vector<FakeDesktopCall> expected = {
      Posted(P::MouseMoved, 0, 5, 6, 0, 32000),
      Ms(1),
      Posted(P::LeftMouseDown, 0, 5, 6, 1, 32000),
      Ms(1),
      Posted(P::LeftMouseUp, 0, 5, 6, 1, 32000),
      Ms(1),
      Ms(10),
      Posted(P::LeftMouseDown, 0, 5, 6, 2, 32001),
      Ms(1),
      Posted(P::LeftMouseUp, 0, 5, 6, 2, 32001),
      Ms(1),
  };
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, TripleClickCountsOneTwoThreeWithoutExtraPause) {
  ASSERT_TRUE(SendMouseEvent(Event(T::TripleClick, 0, 0, B::RightButton)));
  const std::vector<PostedMouseEvent> expected = {
      Posted(P::RightMouseDown, 1, 0, 0, 1, 32000), Posted(P::RightMouseUp, 1, 0, 0, 1, 32000),
      Posted(P::RightMouseDown, 1, 0, 0, 2, 32001), Posted(P::RightMouseUp, 1, 0, 0, 2, 32001),
      Posted(P::RightMouseDown, 1, 0, 0, 3, 32002), Posted(P::RightMouseUp, 1, 0, 0, 3, 32002),
  };
  EXPECT_EQ(fake.CallsOf<PostedMouseEvent>(), expected);
  EXPECT_EQ(fake.CallsOf<SleepCall>(), std::vector<SleepCall>(6, Ms(1)));
}

TEST_F(MouseTest, ClickSeriesSpansRequestsUntilAMoveOrTheIntervalEndsIt) {
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  auto posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 4u);
  EXPECT_EQ(posted[2].clickState, 2) << "a double click across two requests";
  EXPECT_EQ(posted[3].clickState, 2);

  // A move to the current position is posted once and still ends the series.
  fake.calls.clear();
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseMove, 0, 0)));
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0], Posted(P::MouseMoved, 0, 0, 0, 0, 32002));
  EXPECT_EQ(posted[1].clickState, 1);

  // Past the interval, a release reports 0 and the next press starts over.
  fake.calls.clear();
  fake.now += 0.5;  // exactly one interval: strict comparison, so the series is over
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseUp, 0, 0)));
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 0, 0)));
  posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].clickState, 0);
  EXPECT_EQ(posted[1].clickState, 1);
}

TEST_F(MouseTest, IntervalIsReadAnewForEveryPressAndRelease) {
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  fake.doubleClickInterval = 0.0;  // the user turned double clicks off in between
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  const auto posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 4u);
  EXPECT_EQ(posted[2].clickState, 1);
  EXPECT_EQ(posted[3].clickState, 0) << "the release too is past the (now empty) interval";
}

TEST_F(MouseTest, ReleaseCarriesTheEventNumberOfItsOwnButtonsLastPress) {
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 0, 0, B::LeftButton)));    // 32000
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 0, 0, B::RightButton)));   // 32001
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 0, 0, B::MiddleButton)));  // 32002
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseUp, 0, 0, B::LeftButton)));
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseUp, 0, 0, B::MiddleButton)));
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseUp, 0, 0, B::RightButton)));
  const auto posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 6u);
  EXPECT_EQ(posted[2], Posted(P::OtherMouseDown, 2, 0, 0, 3, 32002));
  EXPECT_EQ(posted[3], Posted(P::LeftMouseUp, 0, 0, 0, 3, 32000));
  EXPECT_EQ(posted[4], Posted(P::OtherMouseUp, 2, 0, 0, 3, 32002));
  EXPECT_EQ(posted[5], Posted(P::RightMouseUp, 1, 0, 0, 3, 32001));
}

TEST_F(MouseTest, MoveToNewPositionIsPostedTwiceAndToCurrentPositionOnce) {
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseMove, 30, 40, B::RightButton)));
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseMove, 30, 40)));
  const std::vector<PostedMouseEvent> expected = {
      Posted(P::MouseMoved, 0, 30, 40, 0, 32000),
      Posted(P::MouseMoved, 0, 30, 40, 0, 32000),
      Posted(P::MouseMoved, 0, 30, 40, 0, 32000),
  };
  EXPECT_EQ(fake.CallsOf<PostedMouseEvent>(), expected);
}

TEST_F(MouseTest, UnknownTypesAndButtonsArePostedAsMovesButCounted) {
  // A press of an unknown button counts as a left press.
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 0, 0, static_cast<B>(7))));
  // An unknown type carries what a left release would carry.
  ASSERT_TRUE(SendMouseEvent(Event(static_cast<T>(9), 0, 0, B::RightButton)));
  const std::vector<PostedMouseEvent> expected = {
      Posted(P::MouseMoved, 0, 0, 0, 1, 32000),
      Posted(P::MouseMoved, 0, 0, 0, 1, 32000),
  };
  EXPECT_EQ(fake.CallsOf<PostedMouseEvent>(), expected);
  EXPECT_EQ(impl::detail::gsButtonEventNumber[0], 32000);
  EXPECT_EQ(impl::detail::gsEventNumber, 32001);
}

TEST_F(MouseTest, CtrlAndShiftClickHoldTheModifierAroundTheClick) {
  ASSERT_TRUE(SendMouseEvent(Event(T::CtrlClick, 0, 0)));
  std::vector<FakeDesktopCall> expected = {
      PostedKeyEvent{59, true, kFlagControl},
      Posted(P::LeftMouseDown, 0, 0, 0, 1, 32000),
      Ms(1),
      Posted(P::LeftMouseUp, 0, 0, 0, 1, 32000),
      Ms(1),
      PostedKeyEvent{59, false, 0},
  };
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(SendMouseEvent(Event(T::ShiftClick, 0, 0, B::RightButton)));
  expected = {
      PostedKeyEvent{56, true, kFlagShift},
      Posted(P::RightMouseDown, 1, 0, 0, 2, 32001),
      Ms(1),
      Posted(P::RightMouseUp, 1, 0, 0, 2, 32001),
      Ms(1),
      PostedKeyEvent{56, false, 0},
  };
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, FailedModifiedClickStillReleasesTheModifier) {
  fake.failMouse = true;
  EXPECT_FALSE(SendMouseEvent(Event(T::CtrlClick, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {PostedKeyEvent{59, true, kFlagControl},
                                                 PostedKeyEvent{59, false, 0}};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, RefusedStepStopsTheActionAndAFailedMoveKeepsTheOldPosition) {
  fake.failPostsFrom = 0;
  EXPECT_FALSE(SendMouseEvent(Event(T::DoubleClick, 10, 10)));
  EXPECT_TRUE(fake.calls.empty());

  // The failed move did not record the new position, so the next request moves again.
  fake.failPostsFrom.reset();
  ASSERT_TRUE(SendMouseEvent(Event(T::MouseDown, 10, 10)));
  const auto posted = fake.CallsOf<PostedMouseEvent>();
  ASSERT_EQ(posted.size(), 2u);
  EXPECT_EQ(posted[0].type, P::MouseMoved);
}

TEST_F(MouseTest, RefusedReleaseEndsADoubleClickBeforeItsPause) {
  fake.failPostsFrom = 1;  // the release of the first click
  EXPECT_FALSE(SendMouseEvent(Event(T::DoubleClick, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {Posted(P::LeftMouseDown, 0, 0, 0, 1, 32000),
                                                 Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, InitTwiceKeepsTheClickState) {
  ASSERT_TRUE(SendMouseEvent(Event(T::Click, 0, 0)));
  EXPECT_TRUE(impl::Init());
  EXPECT_EQ(impl::detail::gsEventNumber, 32001);
  EXPECT_EQ(impl::detail::gsClickCount, 1);
  EXPECT_EQ(fake.configureCount, 1);
}

TEST_F(MouseTest, WheelDeltaXGoesToWheelOneWithoutMoveOrPause) {
  ASSERT_TRUE(SendMouseWheelEvent(MouseWheelEvent{0, 3, 0}));
  ASSERT_TRUE(SendMouseWheelEvent(MouseWheelEvent{-2, 0, 7}));
  const std::vector<FakeDesktopCall> expected = {PostedScrollEvent{0, 3, 0},
                                                 PostedScrollEvent{-2, 0, 7}};
  EXPECT_EQ(fake.calls, expected);
  fake.failScroll = true;
  EXPECT_FALSE(SendMouseWheelEvent(MouseWheelEvent{1, 1, 1}));
}

}  // namespace
}  // namespace morel_xy
