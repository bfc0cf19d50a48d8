#pragma once

#include <X11/X.h>

#include <cstdint>
#include <string>

namespace morel_xy {

// The X keysym of one of the host's virtual key codes (the codes of the special keys and the
// four modifier keys 59 Control, 58 Option, 56 Shift, 55 Command); NoSymbol for any other code.
// Letters map to their lower-case keysyms and digits to the top-row ones, so the key is found
// wherever the current layout puts it.
KeySym KeysymForVirtualKey(uint16_t virtualKey);

// The keysym that types one Unicode code point: Latin-1 characters by their classic keysyms,
// the control characters that have keys (line feed, carriage return, tab, backspace, escape,
// delete) by those keys, every other character by its Unicode keysym (0x1000000 + code point).
// NoSymbol for values that are not characters (surrogates, beyond U+10FFFF).
KeySym KeysymForCodePoint(uint32_t codePoint);

// The code point of one character given as one UTF-16 unit or a surrogate pair; nullopt-like
// 0xFFFFFFFF when the units are not exactly one character.
uint32_t CodePointOfUtf16(const std::u16string& units);

}  // namespace morel_xy
