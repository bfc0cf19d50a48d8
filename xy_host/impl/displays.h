#pragma once

#include <optional>
#include <vector>

#include "desktop/desktop.h"
#include "records.h"

namespace morel_xy::impl {

// One entry per display in the desktop's order: id = the display number in decimal, frames
// in points with the origin at the bottom-left of the main display, y upward, each value
// truncated toward zero. Empty when there are no displays.
std::vector<DisplayInfo> GetDisplayList(Desktop& desktop);

// Pixels per point where the browser is shown.
double GetScreenBackingScaleFactor(Desktop& desktop);

// Captures the part of `display` covered by the active browser window. False (and `bitmap`
// unchanged) when there is no such window, the display is gone, nothing of the window lies on
// the display, or the capture fails.
bool CaptureActiveWindow(Desktop& desktop, const DisplayInfo& display, Bitmap& bitmap);

namespace detail {

// `frame` (global points, y down) in the space the display list reports: origin at the
// bottom-left corner of the main display, y up.
PointRect ToBottomUp(const PointRect& frame, const PointRect& mainFrame);

// The pixel area of a display under `windowBounds`: the bounds made relative to the display's
// top-left corner (`displayFrame`; both in global points), scaled by `scale` and widened to
// whole pixels. nullopt when the scale is not a positive finite number or the result is empty
// or absurdly large.
std::optional<PixelRect> WindowAreaOnDisplay(const PointRect& windowBounds,
                                             const PointRect& displayFrame, double scale);

}  // namespace detail
}  // namespace morel_xy::impl
