#pragma once

#include <memory>

#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/wayland/wayland_connection.h"

struct zwp_virtual_keyboard_v1;

namespace morel_xy::wlroots {

// A zwp_virtual_keyboard_v1 on the default seat. Every key and modifier change is sent at
// once, so the host's pacing is the pacing clients see.
class VirtualKeyboard final : public KeyboardDevice {
 public:
  // nullptr when the compositor offers no virtual keyboards. The caller gives it a keymap
  // before anything else: some clients fail on a keyboard without one.
  static std::unique_ptr<VirtualKeyboard> Create(WaylandConnection& connection);
  ~VirtualKeyboard() override;
  VirtualKeyboard(const VirtualKeyboard&) = delete;
  VirtualKeyboard& operator=(const VirtualKeyboard&) = delete;

  bool SetKeymap(const std::string& xkbKeymap) override;
  bool Key(uint32_t keycode, bool down) override;
  bool Modifiers(uint32_t depressed) override;

 private:
  VirtualKeyboard(WaylandConnection& connection, zwp_virtual_keyboard_v1* keyboard)
      : m_connection(connection), m_keyboard(keyboard) {}

  WaylandConnection& m_connection;
  zwp_virtual_keyboard_v1* m_keyboard;
};

}  // namespace morel_xy::wlroots
