#include "mouse_input.h"

#include <chrono>
#include <initializer_list>

#include "impl/keyboard.h"
#include "impl/mouse.h"

namespace morel_xy {
namespace {

constexpr std::chrono::nanoseconds kDoubleClickPause = std::chrono::milliseconds(10);

MouseEvent WithType(const MouseEvent& event, MouseEventType type) {
  MouseEvent copy = event;
  copy.type = type;
  return copy;
}

// Posts the steps in order; false at the first refused one, leaving the rest unposted.
bool PostSteps(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event,
               std::initializer_list<MouseEventType> steps) {
  for (MouseEventType type : steps) {
    if (!impl::SendMouseEvent(desktop, lastMouseEvent, WithType(event, type))) return false;
  }
  return true;
}

// Clicks `count` times with the double-click pause between them. A triple click needs it as
// much as a double click: Firefox (GTK) lost the third press of a triple click whose clicks
// came 2 ms apart, now and then.
bool Clicks(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) desktop.Sleep(kDoubleClickPause);
    if (!PostSteps(desktop, lastMouseEvent, event,
                   {MouseEventType::MouseDown, MouseEventType::MouseUp})) {
      return false;
    }
  }
  return true;
}

bool ModifiedClick(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event,
                   KeyboardModifierKeys modifier) {
  impl::SendModifierKeys(desktop, modifier, true);
  const bool clicked = PostSteps(desktop, lastMouseEvent, event,
                                 {MouseEventType::MouseDown, MouseEventType::MouseUp});
  // Released even after a refused click: a modifier left down would change every later key and
  // click of the user's session.
  const bool released = impl::SendModifierKeys(desktop, modifier, false);
  return clicked && released;
}

}  // namespace

bool SendMouseEvent(Desktop& desktop, MouseEvent& lastMouseEvent, const MouseEvent& event) {
  using T = MouseEventType;
  switch (event.type) {
    case T::Click:
      return PostSteps(desktop, lastMouseEvent, event, {T::MouseDown, T::MouseUp});
    case T::DoubleClick:
      return Clicks(desktop, lastMouseEvent, event, 2);
    case T::TripleClick:
      return Clicks(desktop, lastMouseEvent, event, 3);
    case T::CtrlClick:
      return ModifiedClick(desktop, lastMouseEvent, event, KeyboardModifierKeys::Ctrl);
    case T::ShiftClick:
      return ModifiedClick(desktop, lastMouseEvent, event, KeyboardModifierKeys::Shift);
    case T::MouseMove:
    case T::MouseDown:
    case T::MouseUp:
      break;
  }
  // Moves, presses, releases and every type the host does not know.
  return impl::SendMouseEvent(desktop, lastMouseEvent, event);
}

bool SendMouseWheelEvent(Desktop& desktop, const MouseWheelEvent& event) {
  return impl::SendMouseWheelEvent(desktop, event);
}

}  // namespace morel_xy
