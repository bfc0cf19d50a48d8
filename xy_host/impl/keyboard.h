#pragma once

#include <string_view>
#include <unordered_map>

#include "desktop/desktop.h"
#include "keyboard_types.h"

namespace morel_xy::impl {

// Types a run of UTF-8 text, one character at a time, 1 ms apart, whatever the keyboard
// layout. False, typing nothing, on ill-formed UTF-8; false when the desktop refuses a
// character (what was typed stays typed).
bool SendCharacterKeys(Desktop& desktop, std::string_view utf8Run);
// Types one chord: its modifier keys pressed, its key pressed and released 1 ms later, the
// modifiers released in reverse order. A modifiers-only chord types nothing and succeeds; an
// empty chord fails. Modifiers pressed are released even when the key is refused.
bool SendSpecialKey(Desktop& desktop, KeyboardSpecialKeyEvent chord);
// Presses (`down`) or releases the given modifier keys in the order Ctrl, Alt, Shift, Meta.
// False only for no keys at all: a refused modifier is skipped.
bool SendModifierKeys(Desktop& desktop, KeyboardModifierKeys keys, bool down);

namespace detail {

// Special key -> the keysym of its key (69 entries). Letters are their lower-case keysyms and
// digits the top-row ones, so the key is found wherever the current layout puts it.
extern const std::unordered_map<KeyboardSpecialKey, Keysym> SPECIAL_KEY_MAP;

// The modifier keys' keysyms: Control, Alt, Shift and Super (the Meta, Windows or Command key).
Keysym ModifierKeysym(KeyboardModifierKeys modifier);

// `key` pressed and released 1 ms apart with `modifiers` held around it.
bool PostKeyPressEvent(Desktop& desktop, Keysym key, KeyboardModifierKeys modifiers);

}  // namespace detail
}  // namespace morel_xy::impl
