#pragma once

#include "desktop/desktop.h"
#include "desktop/x11/x11_capture.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy::x11 {

// Applications, windows, displays and capture of an X session (EWMH, XRandR, XShm). Every
// call asks the server anew; nothing the server reports is kept from call to call. A window
// that vanishes mid-call is left out, and a lost connection makes every call fail the way the
// Desktop contract states. Positions are converted to the host's points by the PointSpace of
// the moment.
class X11Screen {
 public:
  explicit X11Screen(X11Connection& connection);
  ~X11Screen();

  // Viewable, not minimised top-level windows, front to back, desktop windows left out; each
  // with its owner (_NET_WM_PID) and its WM_CLASS class as the application id (the instance
  // for a window without a class).
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows();
  // One display per XRandR monitor: number and name as X11Monitor gives them, the desktop
  // scale for each.
  std::vector<DesktopDisplay> ListDisplays();
  // `area` (pixels from the monitor's top-left corner) clipped to the monitor and the root;
  // the image's area is the clipped one, from the monitor's top-left corner.
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber, const PixelRect& area);

 private:
  X11Connection& m_connection;
  X11Capture m_capture;
};

}  // namespace morel_xy::x11
