#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// The application windows of a "get_tree" answer, most recently focused first: sway keeps no
// stacking order, and the window the user last focused is the one in front. An X client of
// Xwayland carries its WM_CLASS class as its application id (the instance when it has no
// class). nullopt when the answer is not a tree (not JSON, or no object at the root).
std::optional<std::vector<CompositorWindow>> ParseSwayTree(std::string_view json);

}  // namespace morel_xy::wlroots
