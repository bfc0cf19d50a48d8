#include "desktop/wlroots/logic/keysym_case.h"

#include <unicode/uchar.h>
#include <xkbcommon/xkbcommon.h>

namespace morel_xy::wlroots {

KeysymCase CaseOf(Keysym keysym) {
  const KeysymCase same{keysym, keysym};
  const uint32_t codePoint = xkb_keysym_to_utf32(keysym);
  if (codePoint == 0) return same;
  const UChar32 lower = u_tolower(static_cast<UChar32>(codePoint));
  const UChar32 upper = u_toupper(static_cast<UChar32>(codePoint));
  // Only a true pair: each maps to the other, so typing one with or without Shift gives
  // back exactly the character asked for (not "ß" -> "ẞ" -> "ß" through a third form).
  if (lower == upper || u_toupper(lower) != upper || u_tolower(upper) != lower) return same;
  const Keysym lowerKeysym = KeysymForCodePoint(static_cast<char32_t>(lower));
  const Keysym upperKeysym = KeysymForCodePoint(static_cast<char32_t>(upper));
  if (lowerKeysym == keysym::kNoSymbol || upperKeysym == keysym::kNoSymbol) return same;
  return KeysymCase{lowerKeysym, upperKeysym};
}

}  // namespace morel_xy::wlroots
