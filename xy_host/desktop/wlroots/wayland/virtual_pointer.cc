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
  zwlr_virtual_pointer_v1_destroy(pointer_);
  connection_.Flush(std::chrono::milliseconds(200));
}

bool VirtualPointer::MoveAbsolute(uint32_t x, uint32_t y, uint32_t xExtent, uint32_t yExtent) {
  if (!connection_.alive()) return false;
  zwlr_virtual_pointer_v1_motion_absolute(pointer_, EventTime(), x, y, xExtent, yExtent);
  return true;
}

bool VirtualPointer::Button(uint32_t button, bool down) {
  if (!connection_.alive()) return false;
  zwlr_virtual_pointer_v1_button(
      pointer_, EventTime(), button,
      down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
  return true;
}

bool VirtualPointer::WheelSteps(uint32_t axis, int32_t steps) {
  if (!connection_.alive()) return false;
  zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
  zwlr_virtual_pointer_v1_axis_discrete(pointer_, EventTime(), axis,
                                        wl_fixed_from_double(kWheelStepValue * steps), steps);
  return true;
}

bool VirtualPointer::Frame() {
  if (!connection_.alive()) return false;
  zwlr_virtual_pointer_v1_frame(pointer_);
  return connection_.Flush();
}

}  // namespace morel_xy::wlroots
