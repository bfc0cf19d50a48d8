#include "impl/keyboard.h"

#include <utf8.h>

#include <chrono>
#include <string>

#include "impl/desktop_access.h"

namespace morel_xy::impl {
namespace detail {

// The keys are named by the virtual key codes the extension's host contract has always used, so
// the same requests mean the same keys on every desktop; each desktop maps them to its own keys.
const std::unordered_map<KeyboardSpecialKey, uint16_t> SPECIAL_KEY_MAP = {
    {KeyboardSpecialKey::Up, 126},       {KeyboardSpecialKey::Right, 124},
    {KeyboardSpecialKey::Down, 125},     {KeyboardSpecialKey::Left, 123},
    {KeyboardSpecialKey::PageUp, 116},   {KeyboardSpecialKey::PageDown, 121},
    {KeyboardSpecialKey::Backspace, 51}, {KeyboardSpecialKey::Delete, 117},
    {KeyboardSpecialKey::Enter, 36},     {KeyboardSpecialKey::Tab, 48},
    {KeyboardSpecialKey::Escape, 53},    {KeyboardSpecialKey::Home, 115},
    {KeyboardSpecialKey::Space, 49},     {KeyboardSpecialKey::End, 119},
    {KeyboardSpecialKey::F1, 122},       {KeyboardSpecialKey::F2, 120},
    {KeyboardSpecialKey::F3, 99},        {KeyboardSpecialKey::F4, 118},
    {KeyboardSpecialKey::F5, 96},        {KeyboardSpecialKey::F6, 97},
    {KeyboardSpecialKey::F7, 98},        {KeyboardSpecialKey::F8, 100},
    {KeyboardSpecialKey::F9, 101},       {KeyboardSpecialKey::F10, 109},
    {KeyboardSpecialKey::F11, 103},      {KeyboardSpecialKey::F12, 111},
    {KeyboardSpecialKey::F13, 105},      {KeyboardSpecialKey::F14, 107},
    {KeyboardSpecialKey::F15, 113},      {KeyboardSpecialKey::Digit0, 29},
    {KeyboardSpecialKey::Digit1, 18},    {KeyboardSpecialKey::Digit2, 19},
    {KeyboardSpecialKey::Digit3, 20},    {KeyboardSpecialKey::Digit4, 21},
    {KeyboardSpecialKey::Digit5, 23},    {KeyboardSpecialKey::Digit6, 22},
    {KeyboardSpecialKey::Digit7, 26},    {KeyboardSpecialKey::Digit8, 28},
    {KeyboardSpecialKey::Digit9, 25},    {KeyboardSpecialKey::A, 0},
    {KeyboardSpecialKey::B, 11},         {KeyboardSpecialKey::C, 8},
    {KeyboardSpecialKey::D, 2},          {KeyboardSpecialKey::E, 14},
    {KeyboardSpecialKey::F, 3},          {KeyboardSpecialKey::G, 5},
    {KeyboardSpecialKey::H, 4},          {KeyboardSpecialKey::I, 34},
    {KeyboardSpecialKey::J, 38},         {KeyboardSpecialKey::K, 40},
    {KeyboardSpecialKey::L, 37},         {KeyboardSpecialKey::M, 46},
    {KeyboardSpecialKey::N, 45},         {KeyboardSpecialKey::O, 31},
    {KeyboardSpecialKey::P, 35},         {KeyboardSpecialKey::Q, 12},
    {KeyboardSpecialKey::R, 15},         {KeyboardSpecialKey::S, 1},
    {KeyboardSpecialKey::T, 17},         {KeyboardSpecialKey::U, 32},
    {KeyboardSpecialKey::V, 9},          {KeyboardSpecialKey::W, 13},
    {KeyboardSpecialKey::X, 7},          {KeyboardSpecialKey::Y, 16},
    {KeyboardSpecialKey::Z, 6},          {KeyboardSpecialKey::Comma, 43},
    {KeyboardSpecialKey::Period, 47},    {KeyboardSpecialKey::Semicolon, 41},
    {KeyboardSpecialKey::Minus, 27},
};

namespace {

constexpr std::chrono::nanoseconds kKeyPacing = std::chrono::milliseconds(1);

struct ModifierKey {
  KeyboardModifierKeys bit;
  uint16_t virtualKey;
  uint64_t flag;
};

// Pressed and released in this order, so a release sequence mirrors its press sequence.
constexpr ModifierKey kModifierKeys[] = {
    {KeyboardModifierKeys::Ctrl, 59, kFlagControl},
    {KeyboardModifierKeys::Alt, 58, kFlagAlternate},
    {KeyboardModifierKeys::Shift, 56, kFlagShift},
    {KeyboardModifierKeys::Meta, 55, kFlagCommand},
};

}  // namespace

bool PostKeyPressEvent(unsigned short code, unsigned long long flags) {
  Desktop& desktop = GetDesktop();
  // A fresh event carries no flags of its own, so "current flags | flags" is `flags`, and the
  // release clears them again.
  if (!desktop.PostKeyEvent(PostedKeyEvent{code, true, flags})) return false;
  desktop.Sleep(kKeyPacing);
  return desktop.PostKeyEvent(PostedKeyEvent{code, false, 0});
}

bool PostUnicodeKeyPressEvent(std::u16string_view units) {
  const std::u16string text(units);
  Desktop& desktop = GetDesktop();
  if (!desktop.PostUnicodeKeyEvent(PostedUnicodeKeyEvent{true, text})) return false;
  return desktop.PostUnicodeKeyEvent(PostedUnicodeKeyEvent{false, text});
}

}  // namespace detail

bool SendCharacterKeys(std::string_view utf8Run) {
  // Checked whole first, so an ill-formed run types nothing and decoding below cannot fail.
  if (!utf8::is_valid(utf8Run.begin(), utf8Run.end())) return false;
  auto it = utf8Run.begin();
  while (it != utf8Run.end()) {
    const auto character = it;
    utf8::unchecked::next(it);
    char16_t units[2];
    const size_t count =
        static_cast<size_t>(utf8::unchecked::utf8to16(character, it, units) - units);
    if (!detail::PostUnicodeKeyPressEvent(std::u16string_view(units, count))) return false;
    GetDesktop().Sleep(detail::kKeyPacing);
  }
  return true;
}

bool SendSpecialKey(KeyboardSpecialKeyEvent chord) {
  const auto found = detail::SPECIAL_KEY_MAP.find(chord.key);
  if (found == detail::SPECIAL_KEY_MAP.end()) {
    return chord.modifiers != KeyboardModifierKeys::None;
  }
  uint64_t flags = 0;
  for (const detail::ModifierKey& modifier : detail::kModifierKeys) {
    if (HasAny(chord.modifiers, modifier.bit)) flags |= modifier.flag;
  }
  return detail::PostKeyPressEvent(found->second, flags);
}

bool SendModifierKeys(KeyboardModifierKeys keys, bool down) {
  if (keys == KeyboardModifierKeys::None) return false;
  for (const detail::ModifierKey& modifier : detail::kModifierKeys) {
    if (!HasAny(keys, modifier.bit)) continue;
    // A refused modifier is skipped: the others still go out, and the caller is told success,
    // as with a platform that silently drops one event.
    GetDesktop().PostKeyEvent(PostedKeyEvent{modifier.virtualKey, down, down ? modifier.flag : 0});
  }
  return true;
}

}  // namespace morel_xy::impl
