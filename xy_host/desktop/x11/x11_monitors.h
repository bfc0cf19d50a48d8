#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy::x11 {

// One monitor of the X screen.
struct X11Monitor {
  // The display number the host reports: the XID of the monitor's first output, or, for a
  // monitor made without outputs (xrandr --setmonitor ... none), its name atom with bit 30 set,
  // so the two kinds never collide (XIDs and atoms stay below 2^29).
  uint32_t number = 0;
  std::string name;  // EDID product name, else the output's name, else the monitor's name
  bool primary = false;
  RootRect bounds;    // root pixels
  RootRect workArea;  // root pixels: _NET_WORKAREA clipped to the monitor, else the monitor
};

// How much of each monitor to read: its name and work area cost a few round trips more.
enum class MonitorDetail { kGeometry, kFull };

// The active monitors in XRandR's order, read anew on every call. Exactly one is primary
// (when XRandR names none, the one at the root's origin, else the first). Without XRandR 1.5 the
// whole root is one monitor. With kGeometry, `name` is empty and `workArea` is the monitor.
// Empty when the connection is lost.
std::vector<X11Monitor> ListMonitors(const X11Connection& x,
                                     MonitorDetail detail = MonitorDetail::kFull);

// The host's point space as it is now: from the primary monitor and the desktop scale.
// nullopt when the connection is lost.
std::optional<PointSpace> CurrentPointSpace(const X11Connection& x);

}  // namespace morel_xy::x11
