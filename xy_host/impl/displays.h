#pragma once

#include <vector>

#include "records.h"

namespace morel_xy::impl {

std::vector<DisplayInfo> GetDisplayList();
double GetScreenBackingScaleFactor();
// Captures the part of `display` covered by the active browser window. False (and `bitmap`
// unchanged) when there is no such window or any step fails.
bool CaptureActiveWindow(const DisplayInfo& display, Bitmap& bitmap);

}  // namespace morel_xy::impl
