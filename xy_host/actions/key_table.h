#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "desktop/keysyms.h"

namespace morel_xy {

// The keys a chord of "send_text" can name, one row each: the key, the X keysym of its key
// (a letter by its lower-case keysym and a digit by the top row's, so the key is found wherever
// the current layout puts it), and its "KEY_" names, aliases after the first. A new key is one
// more row.
#define MOREL_XY_SPECIAL_KEYS(KEY)                                \
  KEY(Up, keysym::kUp, "KEY_UP")                                  \
  KEY(Right, keysym::kRight, "KEY_RIGHT")                         \
  KEY(Down, keysym::kDown, "KEY_DOWN")                            \
  KEY(Left, keysym::kLeft, "KEY_LEFT")                            \
  KEY(PageUp, keysym::kPageUp, "KEY_PGUP", "KEY_PAGE_UP")         \
  KEY(PageDown, keysym::kPageDown, "KEY_PGDN", "KEY_PAGE_DOWN")   \
  KEY(Backspace, keysym::kBackSpace, "KEY_BKSP", "KEY_BACKSPACE") \
  KEY(Delete, keysym::kDelete, "KEY_DEL", "KEY_DELETE")           \
  KEY(Enter, keysym::kReturn, "KEY_ENTER")                        \
  KEY(Tab, keysym::kTab, "KEY_TAB")                               \
  KEY(Escape, keysym::kEscape, "KEY_ESC", "KEY_ESCAPE")           \
  KEY(Home, keysym::kHome, "KEY_HOME")                            \
  KEY(Space, keysym::kSpace, "KEY_SPACE")                         \
  KEY(End, keysym::kEnd, "KEY_END")                               \
  KEY(F1, keysym::kF1 + 0, "KEY_F1")                              \
  KEY(F2, keysym::kF1 + 1, "KEY_F2")                              \
  KEY(F3, keysym::kF1 + 2, "KEY_F3")                              \
  KEY(F4, keysym::kF1 + 3, "KEY_F4")                              \
  KEY(F5, keysym::kF1 + 4, "KEY_F5")                              \
  KEY(F6, keysym::kF1 + 5, "KEY_F6")                              \
  KEY(F7, keysym::kF1 + 6, "KEY_F7")                              \
  KEY(F8, keysym::kF1 + 7, "KEY_F8")                              \
  KEY(F9, keysym::kF1 + 8, "KEY_F9")                              \
  KEY(F10, keysym::kF1 + 9, "KEY_F10")                            \
  KEY(F11, keysym::kF1 + 10, "KEY_F11")                           \
  KEY(F12, keysym::kF1 + 11, "KEY_F12")                           \
  KEY(F13, keysym::kF1 + 12, "KEY_F13")                           \
  KEY(F14, keysym::kF1 + 13, "KEY_F14")                           \
  KEY(F15, keysym::kF1 + 14, "KEY_F15")                           \
  KEY(Digit0, Keysym{'0'}, "KEY_0", "KEY_NUM0")                   \
  KEY(Digit1, Keysym{'1'}, "KEY_1", "KEY_NUM1")                   \
  KEY(Digit2, Keysym{'2'}, "KEY_2", "KEY_NUM2")                   \
  KEY(Digit3, Keysym{'3'}, "KEY_3", "KEY_NUM3")                   \
  KEY(Digit4, Keysym{'4'}, "KEY_4", "KEY_NUM4")                   \
  KEY(Digit5, Keysym{'5'}, "KEY_5", "KEY_NUM5")                   \
  KEY(Digit6, Keysym{'6'}, "KEY_6", "KEY_NUM6")                   \
  KEY(Digit7, Keysym{'7'}, "KEY_7", "KEY_NUM7")                   \
  KEY(Digit8, Keysym{'8'}, "KEY_8", "KEY_NUM8")                   \
  KEY(Digit9, Keysym{'9'}, "KEY_9", "KEY_NUM9")                   \
  KEY(A, Keysym{'a'}, "KEY_A")                                    \
  KEY(B, Keysym{'b'}, "KEY_B")                                    \
  KEY(C, Keysym{'c'}, "KEY_C")                                    \
  KEY(D, Keysym{'d'}, "KEY_D")                                    \
  KEY(E, Keysym{'e'}, "KEY_E")                                    \
  KEY(F, Keysym{'f'}, "KEY_F")                                    \
  KEY(G, Keysym{'g'}, "KEY_G")                                    \
  KEY(H, Keysym{'h'}, "KEY_H")                                    \
  KEY(I, Keysym{'i'}, "KEY_I")                                    \
  KEY(J, Keysym{'j'}, "KEY_J")                                    \
  KEY(K, Keysym{'k'}, "KEY_K")                                    \
  KEY(L, Keysym{'l'}, "KEY_L")                                    \
  KEY(M, Keysym{'m'}, "KEY_M")                                    \
  KEY(N, Keysym{'n'}, "KEY_N")                                    \
  KEY(O, Keysym{'o'}, "KEY_O")                                    \
  KEY(P, Keysym{'p'}, "KEY_P")                                    \
  KEY(Q, Keysym{'q'}, "KEY_Q")                                    \
  KEY(R, Keysym{'r'}, "KEY_R")                                    \
  KEY(S, Keysym{'s'}, "KEY_S")                                    \
  KEY(T, Keysym{'t'}, "KEY_T")                                    \
  KEY(U, Keysym{'u'}, "KEY_U")                                    \
  KEY(V, Keysym{'v'}, "KEY_V")                                    \
  KEY(W, Keysym{'w'}, "KEY_W")                                    \
  KEY(X, Keysym{'x'}, "KEY_X")                                    \
  KEY(Y, Keysym{'y'}, "KEY_Y")                                    \
  KEY(Z, Keysym{'z'}, "KEY_Z")                                    \
  KEY(Comma, keysym::kComma, "KEY_COMMA")                         \
  KEY(Period, keysym::kPeriod, "KEY_PERIOD")                      \
  KEY(Semicolon, keysym::kSemicolon, "KEY_SEMICOLON")             \
  KEY(Minus, keysym::kMinus, "KEY_MINUS")

// A key of the table is its keysym; None names no key.
enum class KeyboardSpecialKey : uint32_t {
  None = 0,
#define MOREL_XY_KEY_ENUMERATOR(key, sym, ...) key = sym,
  MOREL_XY_SPECIAL_KEYS(MOREL_XY_KEY_ENUMERATOR)
#undef MOREL_XY_KEY_ENUMERATOR
};

// Modifier bits of a chord.
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

// One modifier: its bit, the keysym of its key, and its "KEY_" names. The rows are in the order
// the modifiers are pressed (and released in reverse), which is also the order a chord's names
// are matched in.
struct ModifierKey {
  KeyboardModifierKeys bit;
  Keysym keysym;
  std::array<std::string_view, 3> names;  // unused places are empty
};

inline constexpr ModifierKey MODIFIER_KEYS[] = {
    {KeyboardModifierKeys::Ctrl, keysym::kControlL, {"KEY_CTRL"}},
    {KeyboardModifierKeys::Alt, keysym::kAltL, {"KEY_ALT", "KEY_OPTION"}},
    {KeyboardModifierKeys::Shift, keysym::kShiftL, {"KEY_SHIFT"}},
    {KeyboardModifierKeys::Meta, keysym::kSuperL, {"KEY_META", "KEY_WIN", "KEY_CMD"}},
};

// One chord: modifiers and at most one key (None for a modifiers-only chord).
struct KeyboardSpecialKeyEvent {
  KeyboardModifierKeys modifiers = KeyboardModifierKeys::None;
  KeyboardSpecialKey key = KeyboardSpecialKey::None;

  bool operator==(const KeyboardSpecialKeyEvent&) const = default;
};

namespace detail {

// Every "KEY_" name of the key table, aliases included (the modifiers' are in MODIFIER_KEYS).
extern const std::unordered_map<std::string, KeyboardSpecialKey> STRING_TO_SPECIAL_KEY_MAP;
// Every key of the key table -> the keysym of its key.
extern const std::unordered_map<KeyboardSpecialKey, Keysym> SPECIAL_KEY_MAP;

}  // namespace detail
}  // namespace morel_xy
