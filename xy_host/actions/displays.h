#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "desktop/desktop.h"
#include "desktop/process_table.h"
#include "records/bitmap.h"
#include "records/display_info.h"

namespace morel_xy {

// One entry per display in the desktop's order: id = the display number in decimal, frames
// in points with the origin at the bottom-left of the main display, y upward, each value
// truncated toward zero. Empty when there are no displays.
std::vector<DisplayInfo> GetDisplayList(Desktop& desktop);

// Pixels per point where the browser is shown: the scale of the display under the middle of
// the active browser window, else the main display's. 0.0 when there is no display.
double GetScreenBackingScaleFactor(Desktop& desktop, const ProcessTable& processes);

// A capture of the part of a display covered by the active browser window.
struct WindowCapture {
  Bitmap bitmap;
  // Where the bitmap's top-left pixel lies from the top-left corner of the window's outer
  // frame, in the display's pixels: not 0 where the frame reaches past the display's left or
  // top edge, as the capture keeps only what lies on the display.
  int64_t offsetX = 0;
  int64_t offsetY = 0;
};

// Captures the part of `display` covered by the active browser window. nullopt when there is
// no such window, the display is gone, nothing of the window lies on the display, or the
// capture fails.
std::optional<WindowCapture> CaptureActiveWindow(Desktop& desktop, const ProcessTable& processes,
                                                 const DesktopDisplay& display);

namespace detail {

// The DisplayInfo of one display of `displays`, whose main display gives the flip.
DisplayInfo ToDisplayInfo(const DesktopDisplay& display,
                          const std::vector<DesktopDisplay>& displays);

// The main display of `displays`; nullptr when none is.
const DesktopDisplay* MainDisplay(const std::vector<DesktopDisplay>& displays);

// The display whose number, in decimal, is `id`; the main display for an empty `id`. nullptr
// when there is none.
const DesktopDisplay* FindDisplay(const std::vector<DesktopDisplay>& displays, std::string_view id);

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
}  // namespace morel_xy
