#pragma once

#include "desktop/desktop.h"
#include "desktop/x11/x11_connection.h"

namespace morel_xy {

// Applications, windows, displays and capture through Xlib, EWMH, XRandR and XShm.
class X11Screen {
 public:
  explicit X11Screen(X11Connection& connection);
  ~X11Screen();

  int32_t GetApplicationPid(const std::string& bundleId);
  std::optional<std::vector<OnScreenWindow>> ListOnScreenWindows();
  std::vector<Screen> ListScreens();
  uint32_t MainDisplayNumber();
  double MainScreenBackingScaleFactor();
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber, const PixelRect& area);

 private:
  X11Connection& connection_;
};

}  // namespace morel_xy
