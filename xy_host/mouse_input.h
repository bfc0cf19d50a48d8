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
// Turns the wheel at the current pointer position. False when the event was refused.
bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event);

}  // namespace morel_xy
