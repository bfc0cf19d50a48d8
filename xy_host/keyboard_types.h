#pragma once

#include <cstdint>

namespace morel_xy {

// Modifier bits of a key chord.
enum class KeyboardModifierKeys : uint32_t {
  None = 0,
  Ctrl = 1,
  Alt = 2,
  Shift = 4,
  Meta = 8,
};

constexpr KeyboardModifierKeys operator|(KeyboardModifierKeys a, KeyboardModifierKeys b) {
  return static_cast<KeyboardModifierKeys>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
constexpr KeyboardModifierKeys operator&(KeyboardModifierKeys a, KeyboardModifierKeys b) {
  return static_cast<KeyboardModifierKeys>(static_cast<uint32_t>(a) & static_cast<uint32_t>(b));
}
constexpr bool HasAny(KeyboardModifierKeys keys, KeyboardModifierKeys bits) {
  return (keys & bits) != KeyboardModifierKeys::None;
}

// The special keys a chord can name. 68 is unassigned.
enum class KeyboardSpecialKey : uint32_t {
  None = 0,
  Up = 1,
  Right = 2,
  Down = 3,
  Left = 4,
  PageUp = 5,
  PageDown = 6,
  Backspace = 7,
  Delete = 8,
  Enter = 9,
  Tab = 10,
  Escape = 11,
  Home = 12,
  Space = 13,
  End = 14,
  F1 = 15,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  F13,
  F14,
  F15,
  Digit0 = 30,
  Digit1,
  Digit2,
  Digit3,
  Digit4,
  Digit5,
  Digit6,
  Digit7,
  Digit8,
  Digit9,
  A = 40,
  B,
  C,
  D,
  E,
  F,
  G,
  H,
  I,
  J,
  K,
  L,
  M,
  N,
  O,
  P,
  Q,
  R,
  S,
  T,
  U,
  V,
  W,
  X,
  Y,
  Z,
  Comma = 66,
  Period = 67,
  Semicolon = 69,
  Minus = 70,
};

// One chord: modifiers and at most one key (None for a modifiers-only chord).
struct KeyboardSpecialKeyEvent {
  KeyboardModifierKeys modifiers = KeyboardModifierKeys::None;
  KeyboardSpecialKey key = KeyboardSpecialKey::None;

  bool operator==(const KeyboardSpecialKeyEvent&) const = default;
};

}  // namespace morel_xy
