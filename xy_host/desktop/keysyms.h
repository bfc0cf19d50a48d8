#pragma once

#include <cstdint>

namespace morel_xy {

// A key as X keysyms name it: the one key vocabulary that X11, xkbcommon, the Wayland
// compositors' virtual keyboards and the remote-desktop interfaces all share. The values are
// the X protocol's; only those the host uses are named here.
using Keysym = uint32_t;

namespace keysym {

inline constexpr Keysym kNoSymbol = 0;
inline constexpr Keysym kSpace = 0x0020;
inline constexpr Keysym kComma = 0x002c;
inline constexpr Keysym kMinus = 0x002d;
inline constexpr Keysym kPeriod = 0x002e;
inline constexpr Keysym kDigit0 = 0x0030;  // the top-row digits follow in order
inline constexpr Keysym kSemicolon = 0x003b;
inline constexpr Keysym kLetterA = 0x0061;  // lower-case letters follow in order
inline constexpr Keysym kBackSpace = 0xff08;
inline constexpr Keysym kTab = 0xff09;
inline constexpr Keysym kReturn = 0xff0d;
inline constexpr Keysym kEscape = 0xff1b;
inline constexpr Keysym kHome = 0xff50;
inline constexpr Keysym kLeft = 0xff51;
inline constexpr Keysym kUp = 0xff52;
inline constexpr Keysym kRight = 0xff53;
inline constexpr Keysym kDown = 0xff54;
inline constexpr Keysym kPageUp = 0xff55;    // X's Prior
inline constexpr Keysym kPageDown = 0xff56;  // X's Next
inline constexpr Keysym kEnd = 0xff57;
inline constexpr Keysym kInsert = 0xff63;
inline constexpr Keysym kMenu = 0xff67;
inline constexpr Keysym kKeypadEnter = 0xff8d;
inline constexpr Keysym kF1 = 0xffbe;  // F2 to F35 follow in order
inline constexpr Keysym kShiftL = 0xffe1;
inline constexpr Keysym kShiftR = 0xffe2;
inline constexpr Keysym kControlL = 0xffe3;
inline constexpr Keysym kControlR = 0xffe4;
inline constexpr Keysym kAltL = 0xffe9;
inline constexpr Keysym kAltR = 0xffea;
inline constexpr Keysym kSuperL = 0xffeb;
inline constexpr Keysym kSuperR = 0xffec;
inline constexpr Keysym kDelete = 0xffff;

}  // namespace keysym

// The keysym that types one Unicode code point: Latin-1 characters by their classic keysyms,
// the control characters that have keys (line feed and carriage return as Return, tab,
// backspace, escape, delete) by those keys, every other character by its Unicode keysym
// (0x1000000 + code point). kNoSymbol for values that are not characters (surrogates, beyond
// U+10FFFF).
Keysym KeysymForCodePoint(char32_t codePoint);

}  // namespace morel_xy
