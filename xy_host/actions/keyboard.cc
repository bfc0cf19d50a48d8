#include "actions/keyboard.h"

#include <utf8.h>

#include <chrono>
#include <iterator>

namespace morel_xy {
namespace {

constexpr std::chrono::nanoseconds kKeyPacing = std::chrono::milliseconds(1);

enum class Order { AsPressed, Reversed };

// Releases the modifiers of `held`, in their press order or the reverse. False when one release
// was refused (the others are still released).
bool ReleaseModifiers(Desktop& desktop, KeyboardModifierKeys held, Order order) {
  bool ok = true;
  const auto release = [&](const ModifierKey& modifier) {
    if (HasAny(held, modifier.bit) && !desktop.PressKey(modifier.keysym, false)) ok = false;
  };
  if (order == Order::AsPressed) {
    for (const ModifierKey& modifier : MODIFIER_KEYS) release(modifier);
  } else {
    for (auto it = std::rbegin(MODIFIER_KEYS); it != std::rend(MODIFIER_KEYS); ++it) release(*it);
  }
  return ok;
}

// Presses the modifiers of `keys` in order; at the first refusal releases those pressed and
// answers false.
bool PressModifiers(Desktop& desktop, KeyboardModifierKeys keys) {
  KeyboardModifierKeys held = KeyboardModifierKeys::None;
  for (const ModifierKey& modifier : MODIFIER_KEYS) {
    if (!HasAny(keys, modifier.bit)) continue;
    if (!desktop.PressKey(modifier.keysym, true)) {
      ReleaseModifiers(desktop, held, Order::Reversed);
      return false;
    }
    held = held | modifier.bit;
  }
  return true;
}

}  // namespace

namespace detail {

bool PostKeyPressEvent(Desktop& desktop, Keysym key, KeyboardModifierKeys modifiers) {
  if (!PressModifiers(desktop, modifiers)) return false;
  bool ok = desktop.PressKey(key, true);
  if (ok) {
    desktop.Sleep(kKeyPacing);
    ok = desktop.PressKey(key, false);
  }
  // Whatever happened to the key, no modifier stays held: it would change every later key and
  // click of the user's session.
  return ReleaseModifiers(desktop, modifiers, Order::Reversed) && ok;
}

}  // namespace detail

bool SendCharacterKeys(Desktop& desktop, std::string_view utf8Run) {
  // Checked whole first, so an ill-formed run types nothing and decoding below cannot fail.
  if (!utf8::is_valid(utf8Run.begin(), utf8Run.end())) return false;
  auto it = utf8Run.begin();
  while (it != utf8Run.end()) {
    const char32_t character = utf8::unchecked::next(it);
    const std::string_view upcoming(it, utf8Run.end());
    if (!desktop.TypeCharacter(character, upcoming)) return false;
    desktop.Sleep(kKeyPacing);
  }
  return true;
}

bool SendSpecialKey(Desktop& desktop, KeyboardSpecialKeyEvent chord) {
  const auto found = detail::SPECIAL_KEY_MAP.find(chord.key);
  if (found == detail::SPECIAL_KEY_MAP.end()) {
    return chord.modifiers != KeyboardModifierKeys::None;
  }
  return detail::PostKeyPressEvent(desktop, found->second, chord.modifiers);
}

bool SendModifierKeys(Desktop& desktop, KeyboardModifierKeys keys, bool down) {
  if (keys == KeyboardModifierKeys::None) return false;
  // The table's order both ways, as modified clicks have always sent them; a chord releases
  // in reverse instead (PostKeyPressEvent).
  return down ? PressModifiers(desktop, keys) : ReleaseModifiers(desktop, keys, Order::AsPressed);
}

}  // namespace morel_xy
