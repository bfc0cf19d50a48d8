#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <vector>

#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy::x11 {

// One top-level window as the user sees it.
struct X11TopLevel {
  Window client = None;  // the application's own window, which carries its properties
  bool viewable = false;
  bool hidden = false;  // minimised (_NET_WM_STATE_HIDDEN or ICCCM iconic)
  bool overrideRedirect = false;
  RootRect outer;  // the outer frame in root pixels, decorations included
};

// The top-level windows, front to back, mapped or not. Under an EWMH window manager these are
// its clients in _NET_CLIENT_LIST_STACKING order (reversed), framed by _NET_FRAME_EXTENTS;
// otherwise the root's children in stacking order, each standing for the client window
// (WM_STATE) inside it, framed by its own geometry. Windows that vanish while being read are
// left out. nullopt when the connection is lost or the root cannot be read.
std::optional<std::vector<X11TopLevel>> ListTopLevels(const X11Connection& x);

// Only the client windows of ListTopLevels, in the same order, without reading their state
// or geometry (a few round trips fewer per window).
std::optional<std::vector<Window>> ListClients(const X11Connection& x);

}  // namespace morel_xy::x11
