#pragma once

#include "desktop/backend.h"

namespace morel_xy::x11 {

// The X11 back-end: the X server of DISPLAY (XTest input, EWMH windows, XRandR monitors, XShm
// capture). On a Wayland session it is Xwayland, which serves only a browser that is one of its
// X clients.
extern const Backend X11_BACKEND;

}  // namespace morel_xy::x11
