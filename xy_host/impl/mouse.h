#pragma once

#include "desktop/desktop.h"
#include "mouse_input.h"

namespace morel_xy::impl {

// Posts one press, release or move, moving the pointer first when it is elsewhere.
bool SendMouseEvent(const MouseEvent& event);
// Posts one line-unit scroll event: wheel 1 = deltaX, wheel 2 = deltaY, wheel 3 = deltaZ.
bool SendMouseWheelEvent(const MouseWheelEvent& event);

namespace detail {

// Builds, numbers and posts one event.
bool PostMouseEvent(const MouseEvent& event);
// The click state for a press (true) or any other event (false), advancing the click series.
int GetClickCount(bool mouseDown);
// Posts one event with the given click state and event number, then sleeps 1 ms.
bool PostMouseEvent(double x, double y, int32_t button, PlatformMouseEventType type, int clickState,
                    int eventNumber);

}  // namespace detail
}  // namespace morel_xy::impl
