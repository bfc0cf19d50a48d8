#pragma once

#include <memory>

#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/wayland/wayland_connection.h"

struct zwlr_virtual_pointer_v1;

namespace morel_xy::wlroots {

// A zwlr_virtual_pointer_v1 on the default seat. Requests are queued and go out with the
// frame that ends them.
class VirtualPointer final : public PointerDevice {
 public:
  // nullptr when the compositor offers no virtual pointers.
  static std::unique_ptr<VirtualPointer> Create(WaylandConnection& connection);
  ~VirtualPointer() override;
  VirtualPointer(const VirtualPointer&) = delete;
  VirtualPointer& operator=(const VirtualPointer&) = delete;

  bool MoveAbsolute(uint32_t x, uint32_t y, uint32_t xExtent, uint32_t yExtent) override;
  bool Button(uint32_t button, bool down) override;
  bool WheelSteps(uint32_t axis, int32_t steps) override;
  bool Frame() override;

  // What one wheel notch scrolls, in the axis' units (libinput reports 15 degrees).
  static constexpr double kWheelStepValue = 15.0;

 private:
  VirtualPointer(WaylandConnection& connection, zwlr_virtual_pointer_v1* pointer)
      : m_connection(connection), m_pointer(pointer) {}

  WaylandConnection& m_connection;
  zwlr_virtual_pointer_v1* m_pointer;
};

}  // namespace morel_xy::wlroots
