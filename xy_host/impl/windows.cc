#include "impl/windows.h"

#include <stdexcept>

namespace morel_xy::impl {

bool GetActiveBrowserOuterRect(Rect&) {
  throw std::runtime_error("the browser window lookup is not available yet");
}

}  // namespace morel_xy::impl
