#include "impl/windows.h"

#include <vector>

#include "truncation.h"

namespace morel_xy::impl {

namespace detail {

bool GetActiveBrowserWindow(Desktop& desktop, WindowInfo& out) {
  const int32_t chromePid = desktop.GetApplicationPid(Browser::Chrome);
  const int32_t firefoxPid = desktop.GetApplicationPid(Browser::Firefox);
  const std::optional<std::vector<TopLevelWindow>> windows = desktop.ListOnScreenWindows();
  if (!windows) return false;

  for (const TopLevelWindow& window : *windows) {
    // A pid of -1 means "not running"; it must never match a window of unknown owner.
    if (!((chromePid > 0 && window.pid == chromePid) ||
          (firefoxPid > 0 && window.pid == firefoxPid))) {
      continue;
    }
    // Menus, tooltips and untitled windows (a window whose title is not yet set) are skipped.
    if (!window.normal || window.title.empty()) continue;
    // The first qualifying window is the frontmost; later ones are never looked at.
    out = WindowInfo{window.pid, window.title, window.frame};
    return true;
  }
  return false;
}

}  // namespace detail

bool GetActiveBrowserOuterRect(Desktop& desktop, Rect& rect) {
  detail::WindowInfo window;
  if (!detail::GetActiveBrowserWindow(desktop, window)) return false;
  rect = TruncatedRect(window.bounds);
  return true;
}

}  // namespace morel_xy::impl
