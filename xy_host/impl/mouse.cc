#include "impl/mouse.h"

#include <chrono>

#include "impl/desktop_access.h"
#include "impl/input_setup.h"

namespace morel_xy::impl {
namespace detail {
namespace {

constexpr std::chrono::nanoseconds kMousePacing = std::chrono::milliseconds(1);

}  // namespace

int GetClickCount(bool mouseDown) {
  Desktop& desktop = GetDesktop();
  const double now = desktop.Now();
  const double interval = desktop.DoubleClickInterval();
  const bool withinInterval = interval > now - gsLastClickTime;
  if (mouseDown) {
    gsClickCount = withinInterval ? gsClickCount + 1 : 1;
    gsLastClickTime = now;
    return gsClickCount;
  }
  if (withinInterval) return gsClickCount;
  gsClickCount = 0;
  return 0;
}

bool PostMouseEvent(double x, double y, int32_t button, PlatformMouseEventType type, int clickState,
                    int eventNumber) {
  Desktop& desktop = GetDesktop();
  if (!desktop.PostMouseEvent(PostedMouseEvent{type, button, x, y, clickState, eventNumber})) {
    return false;
  }
  desktop.Sleep(kMousePacing);
  return true;
}

bool PostMouseEvent(const MouseEvent& event) {
  using T = PlatformMouseEventType;
  const bool isDown = event.type == MouseEventType::MouseDown;
  const bool isUp = event.type == MouseEventType::MouseUp;

  // Out-of-range buttons are posted as moves but counted as the left button.
  T type = T::MouseMoved;
  int32_t button = 0;
  if (isDown || isUp) {
    switch (event.button) {
      case MouseButton::LeftButton:
        type = isDown ? T::LeftMouseDown : T::LeftMouseUp;
        break;
      case MouseButton::RightButton:
        type = isDown ? T::RightMouseDown : T::RightMouseUp;
        button = 1;
        break;
      case MouseButton::MiddleButton:
        type = isDown ? T::OtherMouseDown : T::OtherMouseUp;
        button = 2;
        break;
    }
  }

  int clickState;
  int eventNumber;
  if (event.type == MouseEventType::MouseMove) {
    // A move ends any click series.
    clickState = 0;
    gsLastClickTime = 0.0;
    eventNumber = gsEventNumber;
  } else if (isDown) {
    clickState = GetClickCount(true);
    eventNumber = gsEventNumber++;
    gsButtonEventNumber[button] = eventNumber;
  } else {
    // Releases, and types the host does not know, carry the number of the button's last press.
    clickState = GetClickCount(false);
    eventNumber = gsButtonEventNumber[button];
  }
  return PostMouseEvent(static_cast<double>(event.x), static_cast<double>(event.y), button, type,
                        clickState, eventNumber);
}

}  // namespace detail

bool SendMouseEvent(const MouseEvent& event) {
  MouseEvent& last = detail::gsLastMouseEvent;
  if (event.x != last.x || event.y != last.y) {
    // A press or release elsewhere is preceded by a move, which also ends the click series.
    MouseEvent move{MouseEventType::MouseMove, last.button, event.x, event.y};
    if (!detail::PostMouseEvent(move)) return false;
  }
  last = event;
  return detail::PostMouseEvent(event);
}

bool SendMouseWheelEvent(const MouseWheelEvent& event) {
  // Wheel 1 is the vertical axis: deltaX goes to it, as the extension has always sent it.
  return GetDesktop().PostScrollEvent(PostedScrollEvent{event.deltaX, event.deltaY, event.deltaZ});
}

}  // namespace morel_xy::impl
