#include "desktop/x11/x11_screen.h"

namespace morel_xy {

X11Screen::X11Screen(X11Connection& connection) : connection_(connection) {}
X11Screen::~X11Screen() = default;

int32_t X11Screen::GetApplicationPid(const std::string&) {
  return -1;
}
std::optional<std::vector<OnScreenWindow>> X11Screen::ListOnScreenWindows() {
  return std::nullopt;
}
std::vector<Screen> X11Screen::ListScreens() {
  return {};
}
uint32_t X11Screen::MainDisplayNumber() {
  return 0;
}
double X11Screen::MainScreenBackingScaleFactor() {
  return connection_.DesktopScale();
}
std::optional<CapturedImage> X11Screen::CaptureDisplayArea(uint32_t, const PixelRect&) {
  return std::nullopt;
}

}  // namespace morel_xy
