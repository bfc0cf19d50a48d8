#pragma once

#include "desktop/desktop.h"
#include "mouse_input.h"

namespace morel_xy::impl {

// Posts one press, release or move, moving the pointer first when `lastMouseEvent` says it is
// elsewhere; `lastMouseEvent` becomes `event` once the pointer is there.
bool SendMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event);
// Scrolls by lines at the pointer: deltaX turns the vertical wheel and deltaY the horizontal
// one, as the extension has always sent them (positive: up, left); deltaZ has no wheel on
// Linux desktops.
bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event);

namespace detail {

// Posts one event, then sleeps 1 ms. A press or release of a known button goes out as that
// button; every other type, and a press or release of an unknown button, as a move.
bool PostMouseEvent(Desktop& desktop, const MouseEvent& event);

}  // namespace detail
}  // namespace morel_xy::impl
