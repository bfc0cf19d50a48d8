#include "desktop/wlroots/logic/keysym_case.h"

#include <locale.h>
#include <wctype.h>
#include <xkbcommon/xkbcommon.h>

namespace morel_xy::wlroots {
namespace {

// The C library's Unicode case tables, whatever locale the process runs in: the C.UTF-8 locale
// is built into glibc. Made once, kept for the life of the process.
locale_t UnicodeCaseLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

}  // namespace

KeysymCase CaseOf(Keysym keysym) {
  const KeysymCase same{keysym, keysym};
  const uint32_t codePoint = xkb_keysym_to_utf32(keysym);
  const locale_t locale = UnicodeCaseLocale();
  if (codePoint == 0 || locale == locale_t{}) return same;
  const auto lowerOf = [locale](wint_t c) { return towlower_l(c, locale); };
  const auto upperOf = [locale](wint_t c) { return towupper_l(c, locale); };
  const wint_t lower = lowerOf(codePoint);
  const wint_t upper = upperOf(codePoint);
  // Only a true pair that holds the character itself: each maps to the other, so typing one
  // with or without Shift gives back exactly the character asked for (not "ß" -> "ẞ" -> "ß"
  // through a third form, nor a title-case "ǅ" as "ǆ" or "Ǆ").
  if (lower == upper || upperOf(lower) != upper || lowerOf(upper) != lower) return same;
  if (codePoint != lower && codePoint != upper) return same;
  const Keysym lowerKeysym = KeysymForCodePoint(static_cast<char32_t>(lower));
  const Keysym upperKeysym = KeysymForCodePoint(static_cast<char32_t>(upper));
  if (lowerKeysym == keysym::kNoSymbol || upperKeysym == keysym::kNoSymbol) return same;
  return KeysymCase{lowerKeysym, upperKeysym};
}

}  // namespace morel_xy::wlroots
