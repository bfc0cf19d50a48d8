#include "impl/windows.h"

#include <vector>

#include "impl/desktop_access.h"
#include "truncation.h"

namespace morel_xy::impl {

namespace detail {

const std::string CHROME_BUNDLE_ID = "com.google.Chrome";
const std::string FIREFOX_BUNDLE_ID = "org.mozilla.firefox";

int GetApplicationPid(const std::string& bundleId) {
  return GetDesktop().GetApplicationPid(bundleId);
}

bool GetActiveBrowserWindow(WindowInfo& out) {
  const int chromePid = GetApplicationPid(CHROME_BUNDLE_ID);
  const int firefoxPid = GetApplicationPid(FIREFOX_BUNDLE_ID);
  // No permission step here: the X window system has nothing to ask for.
  const std::optional<std::vector<OnScreenWindow>> windows = GetDesktop().ListOnScreenWindows();
  if (!windows) return false;

  for (const OnScreenWindow& window : *windows) {
    // A pid of -1 means "not running"; it must never match a window of unknown owner.
    if (!((chromePid >= 0 && window.ownerPid == chromePid) ||
          (firefoxPid >= 0 && window.ownerPid == firefoxPid))) {
      continue;
    }
    if (!window.name || !window.windowNumber || !window.layer || !window.bounds) continue;
    if (*window.layer != 0) continue;
    if (window.name->empty()) continue;
    // The first qualifying window is the frontmost; later ones are never looked at.
    out = WindowInfo{*window.windowNumber, window.ownerPid, *window.name, *window.bounds};
    return true;
  }
  return false;
}

}  // namespace detail

bool GetActiveBrowserOuterRect(Rect& rect) {
  detail::WindowInfo window;
  if (!detail::GetActiveBrowserWindow(window)) return false;
  rect = TruncatedRect(window.bounds);
  return true;
}

}  // namespace morel_xy::impl
