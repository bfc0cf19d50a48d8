#include "mouse_input.h"

#include <stdexcept>

namespace morel_xy {

bool SendMouseEvent(const MouseEvent&) {
  throw std::runtime_error("send_mouse_event is not available yet");
}

bool SendMouseWheelEvent(const MouseWheelEvent&) {
  throw std::runtime_error("send_mouse_wheel_event is not available yet");
}

}  // namespace morel_xy
