#include "desktop/wlroots/logic/keyboard_layout.h"

namespace morel_xy::wlroots {

const std::vector<FixedKey>& FixedKeys() {
  static const std::vector<FixedKey> kKeys = {
      {0xff1b, 1, Modifier::None},      // Escape
      {0xff08, 14, Modifier::None},     // BackSpace
      {0xff09, 15, Modifier::None},     // Tab
      {0xff0d, 28, Modifier::None},     // Return
      {0xffe3, 29, Modifier::Control},  // Control_L
      {0xffe1, 42, Modifier::Shift},    // Shift_L
      {0xffe2, 54, Modifier::Shift},    // Shift_R
      {0xffe9, 56, Modifier::Alt},      // Alt_L
      {0x0020, 57, Modifier::None},     // space
      {0xffbe, 59, Modifier::None},     // F1 .. F10
      {0xffbf, 60, Modifier::None},    {0xffc0, 61, Modifier::None},  {0xffc1, 62, Modifier::None},
      {0xffc2, 63, Modifier::None},    {0xffc3, 64, Modifier::None},  {0xffc4, 65, Modifier::None},
      {0xffc5, 66, Modifier::None},    {0xffc6, 67, Modifier::None},  {0xffc7, 68, Modifier::None},
      {0xffc8, 87, Modifier::None},     // F11
      {0xffc9, 88, Modifier::None},     // F12
      {0xff8d, 96, Modifier::None},     // KP_Enter
      {0xffe4, 97, Modifier::Control},  // Control_R
      {0xffea, 100, Modifier::Alt},     // Alt_R
      {0xff50, 102, Modifier::None},    // Home
      {0xff52, 103, Modifier::None},    // Up
      {0xff55, 104, Modifier::None},    // Prior (Page Up)
      {0xff51, 105, Modifier::None},    // Left
      {0xff53, 106, Modifier::None},    // Right
      {0xff57, 107, Modifier::None},    // End
      {0xff54, 108, Modifier::None},    // Down
      {0xff56, 109, Modifier::None},    // Next (Page Down)
      {0xff63, 110, Modifier::None},    // Insert
      {0xffff, 111, Modifier::None},    // Delete
      {0xffeb, 125, Modifier::Super},   // Super_L
      {0xffec, 126, Modifier::Super},   // Super_R
      {0xff67, 127, Modifier::None},    // Menu
      {0xffca, 183, Modifier::None},    // F13 .. F24
      {0xffcb, 184, Modifier::None},   {0xffcc, 185, Modifier::None}, {0xffcd, 186, Modifier::None},
      {0xffce, 187, Modifier::None},   {0xffcf, 188, Modifier::None}, {0xffd0, 189, Modifier::None},
      {0xffd1, 190, Modifier::None},   {0xffd2, 191, Modifier::None}, {0xffd3, 192, Modifier::None},
      {0xffd4, 193, Modifier::None},   {0xffd5, 194, Modifier::None},
  };
  return kKeys;
}

std::optional<FixedKey> FixedKeyFor(Keysym keysym) {
  for (const FixedKey& key : FixedKeys()) {
    if (key.keysym == keysym) return key;
  }
  return std::nullopt;
}

std::optional<FixedKey> FixedKeyAt(uint32_t code) {
  for (const FixedKey& key : FixedKeys()) {
    if (key.code == code) return key;
  }
  return std::nullopt;
}

const std::vector<TextKey>& UsTextKeys() {
  static const std::vector<TextKey> kKeys = {
      {12, '-', '_'},  {13, '=', '+'}, {26, '[', '{'},  {27, ']', '}'}, {39, ';', ':'},
      {40, '\'', '"'}, {41, '`', '~'}, {43, '\\', '|'}, {51, ',', '<'}, {52, '.', '>'},
      {53, '/', '?'},  {2, '1', '!'},  {3, '2', '@'},   {4, '3', '#'},  {5, '4', '$'},
      {6, '5', '%'},   {7, '6', '^'},  {8, '7', '&'},   {9, '8', '*'},  {10, '9', '('},
      {11, '0', ')'},  {16, 'q', 'Q'}, {17, 'w', 'W'},  {18, 'e', 'E'}, {19, 'r', 'R'},
      {20, 't', 'T'},  {21, 'y', 'Y'}, {22, 'u', 'U'},  {23, 'i', 'I'}, {24, 'o', 'O'},
      {25, 'p', 'P'},  {30, 'a', 'A'}, {31, 's', 'S'},  {32, 'd', 'D'}, {33, 'f', 'F'},
      {34, 'g', 'G'},  {35, 'h', 'H'}, {36, 'j', 'J'},  {37, 'k', 'K'}, {38, 'l', 'L'},
      {44, 'z', 'Z'},  {45, 'x', 'X'}, {46, 'c', 'C'},  {47, 'v', 'V'}, {48, 'b', 'B'},
      {49, 'n', 'N'},  {50, 'm', 'M'},
  };
  return kKeys;
}

}  // namespace morel_xy::wlroots
