#pragma once

#include <cstdint>

#include "mouse_input.h"

namespace morel_xy::impl {

// One-time set-up of synthetic input: the window system's mixing settings and the starting
// mouse click state. Later calls do nothing. Always returns true.
bool Init();

namespace detail {

// The mouse click state, shared by every mouse event the host posts.
extern int32_t gsClickCount;            // clicks in the current series
extern double gsLastClickTime;          // seconds; 0 means no series
extern int32_t gsEventNumber;           // number of the next press
extern int32_t gsButtonEventNumber[3];  // number of each button's last press: left, right, middle
// The last event handed to SendMouseEvent; all zero until the first one, so the pointer is
// assumed to start at (0, 0).
extern MouseEvent gsLastMouseEvent;

// Forgets that Init ran and zeroes the click state and the last mouse event, so each test
// starts from process start.
void ResetInputSetupForTesting();

}  // namespace detail
}  // namespace morel_xy::impl
