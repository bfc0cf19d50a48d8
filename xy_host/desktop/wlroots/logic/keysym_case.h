#pragma once

#include "desktop/keysyms.h"

namespace morel_xy::wlroots {

// The lower- and upper-case keysyms of a letter with two cases ("ω" and "Ω" for either), the
// way a keyboard puts them on one key; both are `keysym` itself for every other keysym.
struct KeysymCase {
  Keysym lower = keysym::kNoSymbol;
  Keysym upper = keysym::kNoSymbol;

  bool HasTwo() const { return lower != upper; }
};
KeysymCase CaseOf(Keysym keysym);

}  // namespace morel_xy::wlroots
