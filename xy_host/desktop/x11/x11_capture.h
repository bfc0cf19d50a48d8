#pragma once

#include <optional>

#include "desktop/desktop.h"
#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy {

// The root window's pixels in `area` (which must lie inside the root) as opaque RGBA, read
// with one shared-memory transfer, or a plain image request where shared memory is not
// available (a remote server, no MIT-SHM). nullopt when the area is empty or the server
// refuses both.
std::optional<CapturedImage> CaptureRootArea(const X11Connection& x, const RootRect& area);

}  // namespace morel_xy
