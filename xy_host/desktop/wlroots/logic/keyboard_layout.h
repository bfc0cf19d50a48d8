#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "desktop/keysyms.h"

namespace morel_xy::wlroots {

// The keys of the host's own keymap, by Linux input event code (XKB keycode - 8).
//
// Keys that are not characters sit on the code of their key on a real keyboard: browsers take
// a key's meaning (Enter, Escape, an arrow, Control) from its code as much as from its keysym.
// Characters go on the letter and digit block, and only there: the host remaps those keys for
// text, and a code outside the block could be one a browser treats specially (Escape's code 1,
// the browser and media keys).

// A modifier of the keymap, as XKB names the real modifiers.
enum class Modifier : uint8_t { None, Shift, Control, Alt, Super };

struct FixedKey {
  Keysym keysym;
  uint32_t code;
  Modifier modifier;
};

// Keys that never change: modifiers, space, editing, navigation and function keys.
const std::vector<FixedKey>& FixedKeys();
// The fixed key of a keysym; nullopt for keysyms only the text keys can give.
std::optional<FixedKey> FixedKeyFor(Keysym keysym);
// The fixed key on a code; nullopt for the text keys.
std::optional<FixedKey> FixedKeyAt(uint32_t code);

// A key of the letter and digit block with what it gives without and with Shift.
struct TextKey {
  uint32_t code;
  Keysym plain;
  Keysym shifted;
};

// The letter and digit block as a US keyboard has it, punctuation first and letters last (the
// order in which the host gives them up for other characters).
const std::vector<TextKey>& UsTextKeys();

}  // namespace morel_xy::wlroots
