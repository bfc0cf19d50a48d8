#pragma once

#include <cstdint>
#include <string>

#include "desktop/desktop.h"
#include "records.h"

namespace morel_xy::impl {

// The outer rectangle of the frontmost titled normal window of either supported browser, in
// points, global, origin at the top-left of the main display, each value truncated toward
// zero. False (and `rect` untouched) when there is none.
bool GetActiveBrowserOuterRect(Rect& rect);

namespace detail {

extern const std::string CHROME_BUNDLE_ID;   // "com.google.Chrome"
extern const std::string FIREFOX_BUNDLE_ID;  // "org.mozilla.firefox"

// One qualifying browser window.
struct WindowInfo {
  int32_t windowNumber = 0;
  int32_t ownerPid = 0;
  std::string name;
  PlatformRect bounds;  // points, global, top-left origin of the main display
};

// The process of the first running application with that bundle identifier, or -1.
int GetApplicationPid(const std::string& bundleId);
// The frontmost titled layer-0 window of either browser. False (and `out` untouched) if none.
// Windows missing their number, title, layer or bounds never qualify.
bool GetActiveBrowserWindow(WindowInfo& out);

}  // namespace detail
}  // namespace morel_xy::impl
