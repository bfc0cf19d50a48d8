#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace morel_test {

// The whole core keyboard mapping, to compare before and after.
inline std::vector<KeySym> KeyboardMapping(Display* display) {
  int minKeycode = 0, maxKeycode = 0, perKeycode = 0;
  XDisplayKeycodes(display, &minKeycode, &maxKeycode);
  KeySym* keysyms = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode),
                                        maxKeycode - minKeycode + 1, &perKeycode);
  std::vector<KeySym> all;
  if (!keysyms) return all;
  all.push_back(static_cast<KeySym>(perKeycode));
  all.insert(all.end(), keysyms,
             keysyms + static_cast<size_t>(maxKeycode - minKeycode + 1) * perKeycode);
  XFree(keysyms);
  return all;
}

// The first keysym the server maps `keycode` to now (a fresh core request, unlike Xlib's cached
// keymap, which misses remappings this connection has not yet read about).
inline KeySym KeysymOf(Display* display, int keycode) {
  int perKeycode = 0;
  KeySym* keysyms = XGetKeyboardMapping(display, static_cast<KeyCode>(keycode), 1, &perKeycode);
  if (!keysyms) return NoSymbol;
  const KeySym first = perKeycode > 0 ? keysyms[0] : NoSymbol;
  XFree(keysyms);
  return first;
}

// The keycodes the server has down.
inline std::vector<int> KeysDown(Display* display) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  std::vector<int> down;
  for (int i = 0; i < 256; ++i) {
    if (keys[i / 8] & (1 << (i % 8))) down.push_back(i);
  }
  return down;
}

// The pointer position on the root window and the button/modifier mask.
struct PointerState {
  int x = 0;
  int y = 0;
  unsigned mask = 0;
};
inline PointerState QueryPointer(Display* display) {
  Window root, child;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y, &mask);
  return PointerState{rootX, rootY, mask};
}

constexpr unsigned kAnyButtonMask =
    Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;

}  // namespace morel_test
