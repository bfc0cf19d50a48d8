#include "desktop/wlroots/wayland/virtual_pointer.h"

#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {

std::unique_ptr<VirtualPointer> VirtualPointer::Create(WaylandConnection& connection) {
  zwlr_virtual_pointer_manager_v1* manager = connection.globals().pointerManager;
  if (!manager) return nullptr;
  zwlr_virtual_pointer_v1* pointer =
      zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, connection.globals().seat);
  if (!pointer) return nullptr;
  return std::unique_ptr<VirtualPointer>(new VirtualPointer(connection, pointer));
}

VirtualPointer::~VirtualPointer() {
  zwlr_virtual_pointer_v1_destroy(m_pointer);
  m_connection.Flush(std::chrono::milliseconds(200));
}

bool VirtualPointer::MoveAbsolute(uint32_t x, uint32_t y, uint32_t xExtent, uint32_t yExtent) {
  if (!m_connection.alive()) return false;
  zwlr_virtual_pointer_v1_motion_absolute(m_pointer, EventTime(), x, y, xExtent, yExtent);
  return true;
}

bool VirtualPointer::Button(uint32_t button, bool down) {
  if (!m_connection.alive()) return false;
  zwlr_virtual_pointer_v1_button(
      m_pointer, EventTime(), button,
      down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  return true;
}

bool VirtualPointer::WheelSteps(uint32_t axis, int32_t steps) {
  if (!m_connection.alive()) return false;
  zwlr_virtual_pointer_v1_axis_source(m_pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
  zwlr_virtual_pointer_v1_axis_discrete(m_pointer, EventTime(), axis,
                                        wl_fixed_from_double(kWheelStepValue * steps), steps);
  return true;
}

bool VirtualPointer::Frame() {
  if (!m_connection.alive()) return false;
  zwlr_virtual_pointer_v1_frame(m_pointer);
  return m_connection.Flush();
}

}  // namespace morel_xy::wlroots
