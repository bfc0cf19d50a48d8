#pragma once

#include <vector>

namespace morel_xy::x11 {

// What a top-level window is to the user, by its EWMH type.
enum class WindowRole {
  kNormal,          // a normal or dialog window: what a browser shows its pages in
  kOther,           // menus, tooltips, toolbars, docks, notifications and the like
  kDesktopElement,  // the desktop itself: never listed
};

// One EWMH window type (_NET_WM_WINDOW_TYPE_...) and the role it gives.
struct WindowTypeRole {
  const char* typeName;
  WindowRole role;
};

// Every EWMH window type. A window takes the role of the first type it lists that is known
// here; one listing none is normal, unless it bypasses the window manager (override-redirect:
// menus and tooltips of toolkits that set no type).
const std::vector<WindowTypeRole>& WindowTypeRoles();

}  // namespace morel_xy::x11
