#include "impl/keyboard.h"

#include <stdexcept>

namespace morel_xy::impl {

bool SendCharacterKeys(const std::wstring&) {
  throw std::runtime_error("keyboard input is not available yet");
}
bool SendSpecialKey(KeyboardSpecialKeyEvent) {
  throw std::runtime_error("keyboard input is not available yet");
}
bool SendModifierKeys(KeyboardModifierKeys, bool) {
  throw std::runtime_error("keyboard input is not available yet");
}

}  // namespace morel_xy::impl
