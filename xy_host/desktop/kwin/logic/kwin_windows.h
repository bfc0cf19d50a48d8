#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "desktop/desktop.h"

namespace morel_xy::kwin {

// The windows a user sees in the answer of WindowListScript's script, front to back:
// minimised windows, windows on other virtual desktops, and the desktop's own (backgrounds,
// panels, splash screens) are left out. A window's application id is its desktop file name,
// else its resource class; normal covers dialogs too. Frames stay in KWin's coordinates.
// nullopt when the answer is not such a document (not JSON, or no "windows" list).
std::optional<std::vector<TopLevelWindow>> ParseKWinWindows(std::string_view json);

}  // namespace morel_xy::kwin
