#pragma once

#include <span>

#include "desktop/backend.h"

namespace morel_xy {

// The back-ends built into this program, in the order the host tries them when nothing forces
// one: X11 first (it serves an X11 session, and a browser under Xwayland), then the Wayland
// desktops. Each is left out of the build by its CMake option (MOREL_XY_X11, MOREL_XY_WLROOTS).
std::span<const Backend> BuiltInBackends();

}  // namespace morel_xy
