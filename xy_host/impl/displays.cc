#include "impl/displays.h"

#include <stdexcept>

namespace morel_xy::impl {

std::vector<DisplayInfo> GetDisplayList() {
  throw std::runtime_error("the display list is not available yet");
}
double GetScreenBackingScaleFactor() {
  throw std::runtime_error("the display list is not available yet");
}
bool CaptureActiveWindow(const DisplayInfo&, Bitmap&) {
  throw std::runtime_error("capture is not available yet");
}

}  // namespace morel_xy::impl
