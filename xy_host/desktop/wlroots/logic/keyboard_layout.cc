#include "desktop/wlroots/logic/keyboard_layout.h"

namespace morel_xy::wlroots {

const std::vector<FixedKey>& FixedKeys() {
  using namespace keysym;
  static const std::vector<FixedKey> kKeys = [] {
    std::vector<FixedKey> keys = {
        {kEscape, 1, Modifier::None},       {kBackSpace, 14, Modifier::None},
        {kTab, 15, Modifier::None},         {kReturn, 28, Modifier::None},
        {kControlL, 29, Modifier::Control}, {kShiftL, 42, Modifier::Shift},
        {kShiftR, 54, Modifier::Shift},     {kAltL, 56, Modifier::Alt},
        {kSpace, 57, Modifier::None},       {kF1 + 10, 87, Modifier::None},  // F11
        {kF1 + 11, 88, Modifier::None},     {kKeypadEnter, 96, Modifier::None},
        {kControlR, 97, Modifier::Control}, {kAltR, 100, Modifier::Alt},
        {kHome, 102, Modifier::None},       {kUp, 103, Modifier::None},
        {kPageUp, 104, Modifier::None},     {kLeft, 105, Modifier::None},
        {kRight, 106, Modifier::None},      {kEnd, 107, Modifier::None},
        {kDown, 108, Modifier::None},       {kPageDown, 109, Modifier::None},
        {kInsert, 110, Modifier::None},     {kDelete, 111, Modifier::None},
        {kSuperL, 125, Modifier::Super},    {kSuperR, 126, Modifier::Super},
        {kMenu, 127, Modifier::None},
    };
    // F1 to F10 on 59 to 68, F13 to F24 on 183 to 194.
    for (uint32_t n = 0; n < 10; ++n) keys.push_back({kF1 + n, 59 + n, Modifier::None});
    for (uint32_t n = 12; n < 24; ++n) keys.push_back({kF1 + n, 183 + (n - 12), Modifier::None});
    return keys;
  }();
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
