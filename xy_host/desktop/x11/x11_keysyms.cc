#include "desktop/x11/x11_keysyms.h"

#include <X11/keysym.h>

#include <unordered_map>

namespace morel_xy {

KeySym KeysymForVirtualKey(uint16_t virtualKey) {
  static const std::unordered_map<uint16_t, KeySym> kKeysyms = {
      // Arrows, navigation and editing.
      {126, XK_Up},
      {124, XK_Right},
      {125, XK_Down},
      {123, XK_Left},
      {116, XK_Prior},
      {121, XK_Next},
      {51, XK_BackSpace},
      {117, XK_Delete},
      {36, XK_Return},
      {48, XK_Tab},
      {53, XK_Escape},
      {115, XK_Home},
      {49, XK_space},
      {119, XK_End},
      // Function keys.
      {122, XK_F1},
      {120, XK_F2},
      {99, XK_F3},
      {118, XK_F4},
      {96, XK_F5},
      {97, XK_F6},
      {98, XK_F7},
      {100, XK_F8},
      {101, XK_F9},
      {109, XK_F10},
      {103, XK_F11},
      {111, XK_F12},
      {105, XK_F13},
      {107, XK_F14},
      {113, XK_F15},
      // Top-row digits.
      {29, XK_0},
      {18, XK_1},
      {19, XK_2},
      {20, XK_3},
      {21, XK_4},
      {23, XK_5},
      {22, XK_6},
      {26, XK_7},
      {28, XK_8},
      {25, XK_9},
      // Letters.
      {0, XK_a},
      {11, XK_b},
      {8, XK_c},
      {2, XK_d},
      {14, XK_e},
      {3, XK_f},
      {5, XK_g},
      {4, XK_h},
      {34, XK_i},
      {38, XK_j},
      {40, XK_k},
      {37, XK_l},
      {46, XK_m},
      {45, XK_n},
      {31, XK_o},
      {35, XK_p},
      {12, XK_q},
      {15, XK_r},
      {1, XK_s},
      {17, XK_t},
      {32, XK_u},
      {9, XK_v},
      {13, XK_w},
      {7, XK_x},
      {16, XK_y},
      {6, XK_z},
      // Punctuation.
      {43, XK_comma},
      {47, XK_period},
      {41, XK_semicolon},
      {27, XK_minus},
      // Modifier keys; Command is the Super key of PC keyboards.
      {59, XK_Control_L},
      {58, XK_Alt_L},
      {56, XK_Shift_L},
      {55, XK_Super_L},
  };
  const auto found = kKeysyms.find(virtualKey);
  return found == kKeysyms.end() ? NoSymbol : found->second;
}

KeySym KeysymForCodePoint(uint32_t codePoint) {
  switch (codePoint) {
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0A:
    case 0x0D:
      return XK_Return;
    case 0x1B:
      return XK_Escape;
    case 0x7F:
      return XK_Delete;
    default:
      break;
  }
  if ((codePoint >= 0x20 && codePoint <= 0x7E) || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return codePoint;
  }
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) return NoSymbol;
  return 0x1000000 + codePoint;
}

uint32_t CodePointOfUtf16(const std::u16string& units) {
  constexpr uint32_t kInvalid = 0xFFFFFFFF;
  if (units.size() == 1) {
    const uint32_t unit = units[0];
    return (unit >= 0xD800 && unit <= 0xDFFF) ? kInvalid : unit;
  }
  if (units.size() == 2) {
    const uint32_t high = units[0], low = units[1];
    if (high < 0xD800 || high > 0xDBFF || low < 0xDC00 || low > 0xDFFF) return kInvalid;
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
  }
  return kInvalid;
}

}  // namespace morel_xy
