#pragma once

#include <cstdint>

#include "desktop/desktop.h"

namespace morel_xy {

enum class MouseEventType : uint32_t {
  MouseMove = 0,
  MouseDown = 1,
  MouseUp = 2,
  Click = 3,
  DoubleClick = 4,
  CtrlClick = 5,
  ShiftClick = 6,
  TripleClick = 7,
};

enum class MouseButton : uint32_t {
  LeftButton = 0,
  RightButton = 1,
  MiddleButton = 2,
};

// One "send_mouse_event" request; x and y in points, global, top-left origin of the main display.
struct MouseEvent {
  MouseEventType type = MouseEventType::MouseMove;
  MouseButton button = MouseButton::LeftButton;
  int32_t x = 0;
  int32_t y = 0;
};

// One "send_mouse_wheel_event" request, in lines.
struct MouseWheelEvent {
  int32_t deltaX = 0;
  int32_t deltaY = 0;
  int32_t deltaZ = 0;
};

// Performs one action on `desktop`, expanding clicks into presses and releases.
// `lastMouseEvent` is the host's memory of the last event posted, whose position is where the
// pointer is taken to be (all zero before the first). True when every event was posted.
bool SendMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event);
// Scrolls by lines at the pointer: deltaX turns the vertical wheel and deltaY the horizontal
// one, as the extension has always sent them (positive: up, left), each at most
// Desktop::kMaxWheelLines; deltaZ has no wheel on Linux desktops. False when it was refused.
bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event);

namespace detail {

// Posts one press, release or move, moving the pointer first when `lastMouseEvent` says it is
// elsewhere; `lastMouseEvent` becomes `event` once the pointer is there.
bool MoveAndPostMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event);
// Posts one event, then sleeps 1 ms. A press or release of a known button goes out as that
// button; every other type, and a press or release of an unknown button, as a move.
bool PostMouseEvent(Desktop& desktop, const MouseEvent& event);

}  // namespace detail
}  // namespace morel_xy
