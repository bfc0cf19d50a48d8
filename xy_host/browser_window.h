#pragma once

#include "records.h"

namespace morel_xy {

// The outer rectangle of the frontmost titled normal window of a supported browser, in points,
// global, top-left origin of the main display. False (and `rect` untouched) when there is none.
bool GetActiveBrowserOuterRect(Rect& rect);

}  // namespace morel_xy
