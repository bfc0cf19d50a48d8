#include "desktop/wlroots/wayland/virtual_keyboard.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {

std::unique_ptr<VirtualKeyboard> VirtualKeyboard::Create(WaylandConnection& connection) {
  zwp_virtual_keyboard_manager_v1* manager = connection.globals().keyboardManager;
  if (!manager || !connection.globals().seat) return nullptr;
  zwp_virtual_keyboard_v1* keyboard =
      zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(manager, connection.globals().seat);
  if (!keyboard) return nullptr;
  return std::unique_ptr<VirtualKeyboard>(new VirtualKeyboard(connection, keyboard));
}

VirtualKeyboard::~VirtualKeyboard() {
  zwp_virtual_keyboard_v1_destroy(m_keyboard);
  m_connection.Flush(std::chrono::milliseconds(200));
}

bool VirtualKeyboard::SetKeymap(const std::string& xkbKeymap) {
  if (!m_connection.alive()) return false;
  // The compositor maps the file: the text and its terminating NUL.
  const int fd = memfd_create("morel-keymap", MFD_CLOEXEC);
  if (fd < 0) return false;
  const size_t size = xkbKeymap.size() + 1;
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, xkbKeymap.c_str() + written, size - written);
    if (n <= 0) {
      close(fd);
      return false;
    }
    written += static_cast<size_t>(n);
  }
  zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                 static_cast<uint32_t>(size));
  // The request holds its own copy of the descriptor.
  close(fd);
  return m_connection.Roundtrip();
}

bool VirtualKeyboard::Key(uint32_t keycode, bool down) {
  if (!m_connection.alive()) return false;
  zwp_virtual_keyboard_v1_key(
      m_keyboard, EventTime(), keycode,
      down ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  return m_connection.Flush();
}

bool VirtualKeyboard::Modifiers(uint32_t depressed) {
  if (!m_connection.alive()) return false;
  zwp_virtual_keyboard_v1_modifiers(m_keyboard, depressed, 0, 0, 0);
  return m_connection.Flush();
}

}  // namespace morel_xy::wlroots
