#include "desktop/keysyms.h"

namespace morel_xy {

Keysym KeysymForCodePoint(char32_t codePoint) {
  switch (codePoint) {
    case 0x08:
      return keysym::kBackSpace;
    case 0x09:
      return keysym::kTab;
    case 0x0A:
    case 0x0D:
      return keysym::kReturn;
    case 0x1B:
      return keysym::kEscape;
    case 0x7F:
      return keysym::kDelete;
    default:
      break;
  }
  if ((codePoint >= 0x20 && codePoint <= 0x7E) || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return codePoint;
  }
  if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
    return keysym::kNoSymbol;
  }
  return 0x1000000 + codePoint;
}

}  // namespace morel_xy
