#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "keyboard_types.h"

namespace morel_xy::impl {

// Types a run of UTF-16 code units (held in wchar_t) as Unicode key presses, 1 ms apart.
bool SendCharacterKeys(const std::wstring& text);
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
// Key-down and key-up typing 1 or 2 UTF-16 code units.
bool PostUnicodeKeyPressEvent(const wchar_t* units, size_t count);

}  // namespace detail
}  // namespace morel_xy::impl
