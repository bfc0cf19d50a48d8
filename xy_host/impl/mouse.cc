#include "impl/mouse.h"

#include <stdexcept>

namespace morel_xy::impl {

bool SendMouseEvent(const MouseEvent&) {
  throw std::runtime_error("mouse input is not available yet");
}
bool SendMouseWheelEvent(const MouseWheelEvent&) {
  throw std::runtime_error("mouse input is not available yet");
}

}  // namespace morel_xy::impl
