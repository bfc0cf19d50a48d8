#pragma once

#include <string_view>

#include "actions/key_table.h"
#include "desktop/desktop.h"

namespace morel_xy {

// Types a run of UTF-8 text, one character at a time, 1 ms apart, whatever the keyboard
// layout. False, typing nothing, on ill-formed UTF-8; false when the desktop refuses a
// character (what was typed stays typed).
bool SendCharacterKeys(Desktop& desktop, std::string_view utf8Run);
// Types one chord: its modifier keys pressed, its key pressed and released 1 ms later, the
// modifiers released in reverse order. A modifiers-only chord types nothing and succeeds; an
// empty chord fails. Modifiers pressed are released even when the key is refused.
bool SendSpecialKey(Desktop& desktop, KeyboardSpecialKeyEvent chord);
// Presses (`down`) or releases the given modifier keys in the order of MODIFIER_KEYS. False for
// no keys at all, and when the desktop refuses one: a refused press releases the modifiers it
// had pressed (nothing stays held) and presses no more; a refused release still releases the
// others.
bool SendModifierKeys(Desktop& desktop, KeyboardModifierKeys keys, bool down);

namespace detail {

// `key` pressed and released 1 ms apart with `modifiers` held around it.
bool PostKeyPressEvent(Desktop& desktop, Keysym key, KeyboardModifierKeys modifiers);

}  // namespace detail
}  // namespace morel_xy
