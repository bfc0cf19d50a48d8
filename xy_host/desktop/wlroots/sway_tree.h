#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop.h"

namespace morel_xy::wlroots {

// One application window in sway's tree.
struct SwayView {
  int32_t pid = 0;
  // The browser the window belongs to, by its Wayland app id or, for an X client under
  // Xwayland, its WM_CLASS; nullopt for every other application.
  std::optional<Browser> browser;
  std::string title;
  bool visible = false;  // on a workspace shown on some output, not hidden in a tab or stack
  bool normal = true;    // false for X utility windows, splash screens, toolbars and the like
  PointRect rect;        // the outer frame in the layout's logical coordinates, borders included

  bool operator==(const SwayView&) const = default;
};

// The application windows of a "get_tree" answer, most recently focused first: sway keeps no
// stacking order, and the window the user last focused is the one in front. nullopt when the
// answer is not a tree (not JSON, or no object at the root).
std::optional<std::vector<SwayView>> ParseSwayTree(std::string_view json);

}  // namespace morel_xy::wlroots
