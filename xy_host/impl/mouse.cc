#include "impl/mouse.h"

#include <chrono>
#include <optional>

namespace morel_xy::impl {
namespace detail {
namespace {

constexpr std::chrono::nanoseconds kMousePacing = std::chrono::milliseconds(1);

std::optional<PointerButton> ToPointerButton(MouseButton button) {
  switch (button) {
    case MouseButton::LeftButton:
      return PointerButton::Left;
    case MouseButton::RightButton:
      return PointerButton::Right;
    case MouseButton::MiddleButton:
      return PointerButton::Middle;
  }
  return std::nullopt;
}

}  // namespace

bool PostMouseEvent(Desktop& desktop, const MouseEvent& event) {
  const Point at{static_cast<double>(event.x), static_cast<double>(event.y)};
  const bool isDown = event.type == MouseEventType::MouseDown;
  const bool isUp = event.type == MouseEventType::MouseUp;
  const std::optional<PointerButton> button = ToPointerButton(event.button);
  const bool posted = (isDown || isUp) && button ? desktop.PressButton(*button, isDown, at)
                                                 : desktop.MovePointer(at);
  if (!posted) return false;
  desktop.Sleep(kMousePacing);
  return true;
}

}  // namespace detail

bool SendMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event) {
  if (event.x != lastMouseEvent.x || event.y != lastMouseEvent.y) {
    // A press or release elsewhere is preceded by a move, so the window under the new position
    // sees the pointer enter before the button changes.
    const MouseEvent move{MouseEventType::MouseMove, lastMouseEvent.button, event.x, event.y};
    if (!detail::PostMouseEvent(desktop, move)) return false;
  }
  lastMouseEvent = event;
  return detail::PostMouseEvent(desktop, event);
}

bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event) {
  return desktop.Scroll(event.deltaX, event.deltaY);
}

}  // namespace morel_xy::impl
