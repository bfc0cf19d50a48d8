#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "actions/browser_identity.h"
#include "desktop/desktop.h"
#include "desktop/process_table.h"
#include "records/rect.h"

namespace morel_xy {

// The outer rectangle of the frontmost titled normal window of either supported browser, in
// points, global, origin at the top-left of the main display, each value truncated toward
// zero. False (and `rect` untouched) when there is none.
bool GetActiveBrowserOuterRect(Desktop& desktop, const ProcessTable& processes, Rect& rect);

namespace detail {

// One qualifying browser window.
struct WindowInfo {
  int32_t ownerPid = 0;
  std::string name;
  PointRect bounds;  // points, global, top-left origin of the main display
};

// Of `pids`, the process that started first: what "the first running instance" of an
// application means when several run. A process missing from the table counts as started
// after those present; ties go to the lower pid. -1 when `pids` holds no positive pid.
int32_t FirstStartedProcess(const ProcessTable& processes, const std::vector<int32_t>& pids);

// The process of the first-started instance of `browser` among the owners of `windows`, or -1
// when none of them is that browser's.
int32_t GetApplicationPid(const std::vector<TopLevelWindow>& windows, Browser browser,
                          const ProcessTable& processes);

// The frontmost titled normal window of the first-started instance of either browser, from a
// list front to back. nullopt if there is none. Neither browser is preferred: whichever owns
// the frontmost such window wins.
std::optional<WindowInfo> GetActiveBrowserWindow(const std::vector<TopLevelWindow>& windows,
                                                 const ProcessTable& processes);
// The same, from the desktop's list; nullopt also when the desktop refuses the list.
std::optional<WindowInfo> GetActiveBrowserWindow(Desktop& desktop, const ProcessTable& processes);

}  // namespace detail
}  // namespace morel_xy
