#pragma once

#include <memory>

#include "desktop/desktop.h"

namespace morel_xy {

// The desktop of an X11 session (XTest, XRandR, XShm, EWMH), or nullptr when no display
// can be opened.
std::unique_ptr<Desktop> OpenX11Desktop();

}  // namespace morel_xy
