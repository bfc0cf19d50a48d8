#include "actions/windows.h"

#include <limits>

#include "actions/truncation.h"

namespace morel_xy {
namespace detail {

int32_t FirstStartedProcess(const ProcessTable& processes, const std::vector<int32_t>& pids) {
  int32_t first = -1;
  uint64_t firstStart = 0;
  for (const int32_t pid : pids) {
    if (pid <= 0) continue;
    const uint64_t start = processes.StartTime(pid).value_or(std::numeric_limits<uint64_t>::max());
    if (first < 0 || start < firstStart || (start == firstStart && pid < first)) {
      first = pid;
      firstStart = start;
    }
  }
  return first;
}

int32_t GetApplicationPid(const std::vector<TopLevelWindow>& windows, Browser browser,
                          const ProcessTable& processes) {
  std::vector<int32_t> pids;
  for (const TopLevelWindow& window : windows) {
    if (window.pid > 0 && BrowserForApplicationName(window.applicationId) == browser) {
      pids.push_back(window.pid);
    }
  }
  return FirstStartedProcess(processes, pids);
}

std::optional<WindowInfo> GetActiveBrowserWindow(const std::vector<TopLevelWindow>& windows,
                                                 const ProcessTable& processes) {
  const int32_t chromePid = GetApplicationPid(windows, Browser::Chrome, processes);
  const int32_t firefoxPid = GetApplicationPid(windows, Browser::Firefox, processes);
  for (const TopLevelWindow& window : windows) {
    // A pid of -1 means "not running"; it must never match a window of unknown owner.
    if (!((chromePid > 0 && window.pid == chromePid) ||
          (firefoxPid > 0 && window.pid == firefoxPid))) {
      continue;
    }
    // Menus, tooltips and untitled windows (a window whose title is not yet set) are skipped.
    if (!window.normal || window.title.empty()) continue;
    // The first qualifying window is the frontmost; later ones are never looked at.
    return WindowInfo{window.pid, window.title, window.frame};
  }
  return std::nullopt;
}

std::optional<WindowInfo> GetActiveBrowserWindow(Desktop& desktop, const ProcessTable& processes) {
  const std::optional<std::vector<TopLevelWindow>> windows = desktop.ListOnScreenWindows();
  if (!windows) return std::nullopt;
  return GetActiveBrowserWindow(*windows, processes);
}

}  // namespace detail

bool GetActiveBrowserOuterRect(Desktop& desktop, const ProcessTable& processes, Rect& rect) {
  const std::optional<detail::WindowInfo> window =
      detail::GetActiveBrowserWindow(desktop, processes);
  if (!window) return false;
  rect = TruncatedRect(window->bounds);
  return true;
}

}  // namespace morel_xy
