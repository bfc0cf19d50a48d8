#pragma once

#include <cstdint>
#include <string>

#include "desktop/desktop.h"
#include "records.h"

namespace morel_xy::impl {

// The outer rectangle of the frontmost titled normal window of either supported browser, in
// points, global, origin at the top-left of the main display, each value truncated toward
// zero. False (and `rect` untouched) when there is none.
bool GetActiveBrowserOuterRect(Desktop& desktop, Rect& rect);

namespace detail {

// One qualifying browser window.
struct WindowInfo {
  int32_t ownerPid = 0;
  std::string name;
  PointRect bounds;  // points, global, top-left origin of the main display
};

// The frontmost titled normal window of the first-started instance of either browser. False
// (and `out` untouched) if there is none. Neither browser is preferred: whichever owns the
// frontmost such window wins.
bool GetActiveBrowserWindow(Desktop& desktop, WindowInfo& out);

}  // namespace detail
}  // namespace morel_xy::impl
