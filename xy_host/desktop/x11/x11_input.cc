#include "desktop/x11/x11_input.h"

namespace morel_xy {

X11Input::X11Input(X11Connection& connection) : connection_(connection) {}
X11Input::~X11Input() = default;

void X11Input::ConfigureSyntheticInput() {}
bool X11Input::PostMouseEvent(const PostedMouseEvent&) {
  return false;
}
bool X11Input::PostScrollEvent(const PostedScrollEvent&) {
  return false;
}
bool X11Input::PostKeyEvent(const PostedKeyEvent&) {
  return false;
}
bool X11Input::PostUnicodeKeyEvent(const PostedUnicodeKeyEvent&) {
  return false;
}
double X11Input::DoubleClickInterval() {
  return 0.4;
}

}  // namespace morel_xy
