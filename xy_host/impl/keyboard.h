#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "keyboard_types.h"

namespace morel_xy::impl {

// Types a run of UTF-8 text, one Unicode key press per character, 1 ms apart; a character
// beyond U+FFFF is one press of its surrogate pair. False, typing nothing, on ill-formed UTF-8;
// false when the keyboard refuses an event (what was typed stays typed).
bool SendCharacterKeys(std::string_view utf8Run);
// Types one chord: its key with the modifiers as flags. A modifiers-only chord types nothing
// and succeeds; an empty chord fails.
bool SendSpecialKey(KeyboardSpecialKeyEvent chord);
// Presses (`down`) or releases the given modifier keys in the order Ctrl, Alt, Shift, Meta.
bool SendModifierKeys(KeyboardModifierKeys keys, bool down);

namespace detail {

// Special key -> virtual key code (69 entries).
extern const std::unordered_map<KeyboardSpecialKey, uint16_t> SPECIAL_KEY_MAP;

// Key-down with `flags` added, 1 ms, key-up with `flags` removed.
bool PostKeyPressEvent(unsigned short code, unsigned long long flags);
// Key-down and key-up typing one character: 1 UTF-16 code unit or a surrogate pair.
bool PostUnicodeKeyPressEvent(std::u16string_view units);

}  // namespace detail
}  // namespace morel_xy::impl
