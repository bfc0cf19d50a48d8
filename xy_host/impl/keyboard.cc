#include "impl/keyboard.h"

#include <utf8.h>

#include <chrono>

namespace morel_xy::impl {
namespace detail {
namespace {

constexpr std::chrono::nanoseconds kKeyPacing = std::chrono::milliseconds(1);

// Pressed in this order, released in the reverse order.
constexpr KeyboardModifierKeys kModifierOrder[] = {
    KeyboardModifierKeys::Ctrl, KeyboardModifierKeys::Alt, KeyboardModifierKeys::Shift,
    KeyboardModifierKeys::Meta};

std::unordered_map<KeyboardSpecialKey, Keysym> BuildSpecialKeyMap() {
  using K = KeyboardSpecialKey;
  std::unordered_map<K, Keysym> map = {
      {K::Up, keysym::kUp},
      {K::Right, keysym::kRight},
      {K::Down, keysym::kDown},
      {K::Left, keysym::kLeft},
      {K::PageUp, keysym::kPageUp},
      {K::PageDown, keysym::kPageDown},
      {K::Backspace, keysym::kBackSpace},
      {K::Delete, keysym::kDelete},
      {K::Enter, keysym::kReturn},
      {K::Tab, keysym::kTab},
      {K::Escape, keysym::kEscape},
      {K::Home, keysym::kHome},
      {K::Space, keysym::kSpace},
      {K::End, keysym::kEnd},
      {K::Comma, keysym::kComma},
      {K::Period, keysym::kPeriod},
      {K::Semicolon, keysym::kSemicolon},
      {K::Minus, keysym::kMinus},
  };
  // Function keys, digits and letters are consecutive in both vocabularies.
  for (uint32_t n = 0; n < 15; ++n) {
    map.emplace(static_cast<K>(static_cast<uint32_t>(K::F1) + n), keysym::kF1 + n);
  }
  for (uint32_t d = 0; d < 10; ++d) {
    map.emplace(static_cast<K>(static_cast<uint32_t>(K::Digit0) + d), keysym::kDigit0 + d);
  }
  for (uint32_t l = 0; l < 26; ++l) {
    map.emplace(static_cast<K>(static_cast<uint32_t>(K::A) + l), keysym::kLetterA + l);
  }
  return map;
}

}  // namespace

const std::unordered_map<KeyboardSpecialKey, Keysym> SPECIAL_KEY_MAP = BuildSpecialKeyMap();

Keysym ModifierKeysym(KeyboardModifierKeys modifier) {
  switch (modifier) {
    case KeyboardModifierKeys::Ctrl:
      return keysym::kControlL;
    case KeyboardModifierKeys::Alt:
      return keysym::kAltL;
    case KeyboardModifierKeys::Shift:
      return keysym::kShiftL;
    case KeyboardModifierKeys::Meta:
      return keysym::kSuperL;
    default:
      return keysym::kNoSymbol;
  }
}

bool PostKeyPressEvent(Desktop& desktop, Keysym key, KeyboardModifierKeys modifiers) {
  KeyboardModifierKeys held = KeyboardModifierKeys::None;
  bool ok = true;
  for (const KeyboardModifierKeys modifier : kModifierOrder) {
    if (!HasAny(modifiers, modifier)) continue;
    if (!desktop.PressKey(ModifierKeysym(modifier), true)) {
      ok = false;
      break;
    }
    held = held | modifier;
  }
  if (ok && (ok = desktop.PressKey(key, true))) {
    desktop.Sleep(kKeyPacing);
    ok = desktop.PressKey(key, false);
  }
  // Whatever happened to the key, no modifier stays held: it would change every later key and
  // click of the user's session.
  for (auto it = std::rbegin(kModifierOrder); it != std::rend(kModifierOrder); ++it) {
    if (HasAny(held, *it) && !desktop.PressKey(ModifierKeysym(*it), false)) ok = false;
  }
  return ok;
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
    desktop.Sleep(detail::kKeyPacing);
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
  for (const KeyboardModifierKeys modifier : detail::kModifierOrder) {
    // A refused modifier is skipped: the others still go out, and the caller is told success,
    // as with a platform that silently drops one event.
    if (HasAny(keys, modifier)) desktop.PressKey(detail::ModifierKeysym(modifier), down);
  }
  return true;
}

}  // namespace morel_xy::impl
