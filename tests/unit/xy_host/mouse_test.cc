#include "actions/mouse.h"

#include "input_fixture.h"

namespace morel_xy {
namespace {

using T = MouseEventType;
using B = MouseButton;
using P = PointerButton;

MouseEvent Event(T type, int32_t x, int32_t y, B button = B::LeftButton) {
  return MouseEvent{type, button, x, y};
}
PointerMove Move(double x, double y) {
  return PointerMove{Point{x, y}};
}
ButtonPress Down(P button, double x, double y) {
  return ButtonPress{button, true, Point{x, y}};
}
ButtonPress Up(P button, double x, double y) {
  return ButtonPress{button, false, Point{x, y}};
}

class MouseTest : public InputTest {
 protected:
  bool Send(const MouseEvent& event) { return SendMouseEvent(fake, lastMouseEvent, event); }
};

TEST_F(MouseTest, FirstClickAtOriginPostsNoMove) {
  ASSERT_TRUE(Send(Event(T::Click, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {Down(P::Left, 0, 0), Ms(1), Up(P::Left, 0, 0),
                                                 Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, ClickElsewhereIsPrecededByAMove) {
  ASSERT_TRUE(Send(Event(T::Click, 0, 0)));
  fake.calls.clear();
  ASSERT_TRUE(Send(Event(T::Click, 100, 200, B::RightButton)));
  const std::vector<FakeDesktopCall> expected = {
      Move(100, 200), Ms(1), Down(P::Right, 100, 200), Ms(1), Up(P::Right, 100, 200), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, DoubleAndTripleClicksPauseTenMillisecondsBetweenClicks) {
  ASSERT_TRUE(Send(Event(T::DoubleClick, 5, 6)));
  std::vector<FakeDesktopCall> expected = {
      Move(5, 6),          Ms(1), Down(P::Left, 5, 6), Ms(1), Up(P::Left, 5, 6), Ms(1), Ms(10),
      Down(P::Left, 5, 6), Ms(1), Up(P::Left, 5, 6),   Ms(1)};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(Send(Event(T::TripleClick, 5, 6, B::MiddleButton)));
  expected = {Down(P::Middle, 5, 6), Ms(1), Up(P::Middle, 5, 6), Ms(1), Ms(10),
              Down(P::Middle, 5, 6), Ms(1), Up(P::Middle, 5, 6), Ms(1), Ms(10),
              Down(P::Middle, 5, 6), Ms(1), Up(P::Middle, 5, 6), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, MoveToNewPositionIsPostedTwiceAndToCurrentPositionOnce) {
  ASSERT_TRUE(Send(Event(T::MouseMove, 30, 40, B::RightButton)));
  ASSERT_TRUE(Send(Event(T::MouseMove, 30, 40)));
  EXPECT_EQ(fake.CallsOf<PointerMove>(), std::vector<PointerMove>(3, Move(30, 40)));
  EXPECT_TRUE(fake.CallsOf<ButtonPress>().empty());
}

TEST_F(MouseTest, PressAndReleaseMayComeInSeparateRequestsAndButtonsMayOverlap) {
  ASSERT_TRUE(Send(Event(T::MouseDown, 10, 10, B::LeftButton)));
  ASSERT_TRUE(Send(Event(T::MouseDown, 10, 10, B::RightButton)));
  ASSERT_TRUE(Send(Event(T::MouseUp, 20, 10, B::LeftButton)));  // a drag: moved while held
  ASSERT_TRUE(Send(Event(T::MouseUp, 20, 10, B::RightButton)));
  const std::vector<FakeDesktopCall> expected = {
      Move(10, 10), Ms(1), Down(P::Left, 10, 10), Ms(1), Down(P::Right, 10, 10), Ms(1),
      Move(20, 10), Ms(1), Up(P::Left, 20, 10),   Ms(1), Up(P::Right, 20, 10),   Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, UnknownTypesAndButtonsArePostedAsMoves) {
  ASSERT_TRUE(Send(Event(T::MouseDown, 0, 0, static_cast<B>(7))));
  ASSERT_TRUE(Send(Event(static_cast<T>(9), 0, 0, B::RightButton)));
  EXPECT_EQ(fake.CallsOf<PointerMove>(), std::vector<PointerMove>(2, Move(0, 0)));
  EXPECT_TRUE(fake.CallsOf<ButtonPress>().empty());
}

TEST_F(MouseTest, CtrlAndShiftClickHoldTheModifierKeyAroundTheClick) {
  ASSERT_TRUE(Send(Event(T::CtrlClick, 0, 0)));
  std::vector<FakeDesktopCall> expected = {
      KeyPress{keysym::kControlL, true}, Down(P::Left, 0, 0), Ms(1), Up(P::Left, 0, 0), Ms(1),
      KeyPress{keysym::kControlL, false}};
  EXPECT_EQ(fake.calls, expected);

  fake.calls.clear();
  ASSERT_TRUE(Send(Event(T::ShiftClick, 0, 0, B::RightButton)));
  expected = {
      KeyPress{keysym::kShiftL, true}, Down(P::Right, 0, 0), Ms(1), Up(P::Right, 0, 0), Ms(1),
      KeyPress{keysym::kShiftL, false}};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, FailedModifiedClickStillReleasesTheModifier) {
  fake.failPointer = true;
  EXPECT_FALSE(Send(Event(T::CtrlClick, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {KeyPress{keysym::kControlL, true},
                                                 KeyPress{keysym::kControlL, false}};
  EXPECT_EQ(fake.calls, expected);
}

// A modified click without its modifier would do something else (follow a link in the same tab
// instead of opening another): it is not made, and it is reported as failed.
TEST_F(MouseTest, AModifierThatCannotBePressedFailsTheClickWithoutClicking) {
  fake.failKeys = true;
  EXPECT_FALSE(Send(Event(T::ShiftClick, 0, 0)));
  EXPECT_TRUE(fake.calls.empty());
}

TEST_F(MouseTest, RefusedStepStopsTheActionAndAFailedMoveKeepsTheOldPosition) {
  fake.failPostsFrom = 0;
  EXPECT_FALSE(Send(Event(T::DoubleClick, 10, 10)));
  EXPECT_TRUE(fake.calls.empty());

  // The failed move did not record the new position, so the next request moves again.
  fake.failPostsFrom.reset();
  ASSERT_TRUE(Send(Event(T::MouseDown, 10, 10)));
  const std::vector<FakeDesktopCall> expected = {Move(10, 10), Ms(1), Down(P::Left, 10, 10), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, RefusedReleaseEndsADoubleClickBeforeItsPause) {
  fake.failPostsFrom = 1;  // the release of the first click
  EXPECT_FALSE(Send(Event(T::DoubleClick, 0, 0)));
  const std::vector<FakeDesktopCall> expected = {Down(P::Left, 0, 0), Ms(1)};
  EXPECT_EQ(fake.calls, expected);
}

TEST_F(MouseTest, WheelDeltaXTurnsTheVerticalWheelWithoutMoveOrPause) {
  ASSERT_TRUE(SendMouseWheelEvent(fake, MouseWheelEvent{0, 3, 0}));
  ASSERT_TRUE(SendMouseWheelEvent(fake, MouseWheelEvent{-2, 0, 7}));
  const std::vector<FakeDesktopCall> expected = {ScrollCall{0, 3}, ScrollCall{-2, 0}};
  EXPECT_EQ(fake.calls, expected);
  fake.failScroll = true;
  EXPECT_FALSE(SendMouseWheelEvent(fake, MouseWheelEvent{1, 1, 1}));
}

TEST_F(MouseTest, AHugeWheelTurnIsCappedForEveryDesktop) {
  ASSERT_TRUE(SendMouseWheelEvent(fake, MouseWheelEvent{INT32_MIN, 1001, 0}));
  const std::vector<FakeDesktopCall> expected = {
      ScrollCall{-Desktop::kMaxWheelLines, Desktop::kMaxWheelLines}};
  EXPECT_EQ(fake.calls, expected);
}

}  // namespace
}  // namespace morel_xy
