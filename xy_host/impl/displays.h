#pragma once

#include <optional>
#include <vector>

#include "desktop/desktop.h"
#include "records.h"

namespace morel_xy::impl {

// One entry per display in the desktop's order: id = the display number in decimal, frames
// in points with the origin at the bottom-left of the main display, each value truncated
// toward zero. Empty when there are no displays.
std::vector<DisplayInfo> GetDisplayList();

// Pixels per point of the main display.
double GetScreenBackingScaleFactor();

// Captures the part of `display` covered by the active browser window. False (and `bitmap`
// unchanged) when there is no such window, the display is gone, nothing of the window lies on
// the display, or the capture fails. The capture is taken as opaque: alpha is dropped.
bool CaptureActiveWindow(const DisplayInfo& display, Bitmap& bitmap);

namespace detail {

// The pixel area of `display` under `windowBounds`: the bounds (points, global, top-left origin
// of the main display) made relative to the display's top-left corner, scaled by `scale` and
// widened to whole pixels. `display` and `mainDisplay` frames are in points with the origin at
// the bottom-left of the main display, y upward. nullopt when the scale is not a positive
// finite number or the result is empty or absurdly large.
std::optional<PixelRect> WindowAreaOnDisplay(const PlatformRect& windowBounds,
                                             const PlatformRect& display,
                                             const PlatformRect& mainDisplay, double scale);

}  // namespace detail
}  // namespace morel_xy::impl
