#pragma once

#include "desktop/backend.h"

namespace morel_xy::wlroots {

// The wlroots back-end: the compositor at WAYLAND_DISPLAY (sway and its family), through its
// virtual pointer and keyboard, outputs, screencopy, the clipboard for characters beyond
// U+FFFF, and sway's IPC for the windows. It opens when the compositor offers a virtual pointer
// and a virtual keyboard.
extern const Backend WLROOTS_BACKEND;

}  // namespace morel_xy::wlroots
