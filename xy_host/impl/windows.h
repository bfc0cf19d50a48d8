#pragma once

#include <cstdint>
#include <string>

#include "desktop/desktop.h"
#include "records.h"

namespace morel_xy::impl {

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

int GetApplicationPid(const std::string& bundleId);
// The frontmost titled layer-0 window of either browser. False (and `out` untouched) if none.
bool GetActiveBrowserWindow(WindowInfo& out);

}  // namespace detail
}  // namespace morel_xy::impl
