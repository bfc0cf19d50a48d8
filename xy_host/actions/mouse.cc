#include "actions/mouse.h"

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <optional>

#include "actions/keyboard.h"

namespace morel_xy {
namespace {

constexpr std::chrono::nanoseconds kMousePacing = std::chrono::milliseconds(1);
constexpr std::chrono::nanoseconds kDoubleClickPause = std::chrono::milliseconds(10);

std::optional<PointerButton> ToPointerButton(MouseButton button) {
  switch (button) {
    case MouseButton::LeftButton:
      return PointerButton::Left;
    case MouseButton::RightButton:
      return PointerButton::Right;
    case MouseButton::MiddleButton:
      return PointerButton::Middle;
  }
  return std::nullopt;
}

MouseEvent WithType(const MouseEvent& event, MouseEventType type) {
  MouseEvent copy = event;
  copy.type = type;
  return copy;
}

// Posts the steps in order; false at the first refused one, leaving the rest unposted.
bool PostSteps(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event,
               std::initializer_list<MouseEventType> steps) {
  for (MouseEventType type : steps) {
    if (!detail::MoveAndPostMouseEvent(desktop, lastMouseEvent, WithType(event, type))) {
      return false;
    }
  }
  return true;
}

// Clicks `count` times with the double-click pause between them. A triple click needs it as
// much as a double click: Firefox (GTK) lost the third press of a triple click whose clicks
// came 2 ms apart, now and then.
bool Clicks(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) desktop.Sleep(kDoubleClickPause);
    if (!PostSteps(desktop, lastMouseEvent, event,
                   {MouseEventType::MouseDown, MouseEventType::MouseUp})) {
      return false;
    }
  }
  return true;
}

// A click with a modifier held. A modifier that cannot be pressed fails the click before it is
// made: without it the click would do something else (a plain click follows a link in the same
// tab, a Ctrl+click opens it in another).
bool ModifiedClick(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event,
                   KeyboardModifierKeys modifier) {
  if (!SendModifierKeys(desktop, modifier, true)) return false;
  const bool clicked = PostSteps(desktop, lastMouseEvent, event,
                                 {MouseEventType::MouseDown, MouseEventType::MouseUp});
  // Released even after a refused click: a modifier left down would change every later key and
  // click of the user's session.
  const bool released = SendModifierKeys(desktop, modifier, false);
  return clicked && released;
}

}  // namespace

namespace detail {

bool PostMouseEvent(Desktop& desktop, const MouseEvent& event) {
  const Point at{static_cast<double>(event.x), static_cast<double>(event.y)};
  const bool isDown = event.type == MouseEventType::MouseDown;
  const bool isUp = event.type == MouseEventType::MouseUp;
  const std::optional<PointerButton> button = ToPointerButton(event.button);
  const bool posted = (isDown || isUp) && button ? desktop.PressButton(*button, isDown, at)
                                                 : desktop.MovePointer(at);
  if (!posted) return false;
  desktop.Sleep(kMousePacing);
  return true;
}

bool MoveAndPostMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event) {
  if (event.x != lastMouseEvent.x || event.y != lastMouseEvent.y) {
    // A press or release elsewhere is preceded by a move, so the window under the new position
    // sees the pointer enter before the button changes.
    const MouseEvent move{MouseEventType::MouseMove, lastMouseEvent.button, event.x, event.y};
    if (!PostMouseEvent(desktop, move)) return false;
  }
  lastMouseEvent = event;
  return PostMouseEvent(desktop, event);
}

}  // namespace detail

bool SendMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event) {
  using T = MouseEventType;
  switch (event.type) {
    case T::Click:
      return PostSteps(desktop, lastMouseEvent, event, {T::MouseDown, T::MouseUp});
    case T::DoubleClick:
      return Clicks(desktop, lastMouseEvent, event, 2);
    case T::TripleClick:
      return Clicks(desktop, lastMouseEvent, event, 3);
    case T::CtrlClick:
      return ModifiedClick(desktop, lastMouseEvent, event, KeyboardModifierKeys::Ctrl);
    case T::ShiftClick:
      return ModifiedClick(desktop, lastMouseEvent, event, KeyboardModifierKeys::Shift);
    case T::MouseMove:
    case T::MouseDown:
    case T::MouseUp:
      break;
  }
  // Moves, presses, releases and every type the host does not know.
  return detail::MoveAndPostMouseEvent(desktop, lastMouseEvent, event);
}

bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event) {
  const auto capped = [](int32_t lines) {
    return std::clamp(lines, -Desktop::kMaxWheelLines, Desktop::kMaxWheelLines);
  };
  return desktop.Scroll(capped(event.deltaX), capped(event.deltaY));
}

}  // namespace morel_xy
