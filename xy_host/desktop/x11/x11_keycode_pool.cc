#include "desktop/x11/x11_keycode_pool.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <set>

namespace morel_xy {

KeycodePool::KeycodePool(std::function<void(std::chrono::nanoseconds)> sleep)
    : sleep_(std::move(sleep)) {}

std::optional<CoreKeymap> ReadCoreKeymap(Display* display) {
  CoreKeymap keymap;
  XDisplayKeycodes(display, &keymap.minKeycode, &keymap.maxKeycode);
  if (keymap.maxKeycode < keymap.minKeycode) return std::nullopt;
  const int count = keymap.maxKeycode - keymap.minKeycode + 1;
  KeySym* keysyms = XGetKeyboardMapping(display, static_cast<KeyCode>(keymap.minKeycode), count,
                                        &keymap.perKeycode);
  if (!keysyms) return std::nullopt;
  keymap.keysyms.assign(keysyms, keysyms + static_cast<size_t>(count) * keymap.perKeycode);
  XFree(keysyms);
  return keymap;
}

void KeycodePool::Scan(Display* display) {
  scanned_ = true;
  const std::optional<CoreKeymap> keymap = ReadCoreKeymap(display);
  if (!keymap) return;

  // A keycode that a modifier is bound to is not free, even without a keysym.
  std::set<KeyCode> modifierKeycodes;
  if (XModifierKeymap* modmap = XGetModifierMapping(display)) {
    for (int i = 0; i < 8 * modmap->max_keypermod; ++i) {
      if (modmap->modifiermap[i]) modifierKeycodes.insert(modmap->modifiermap[i]);
    }
    XFreeModifiermap(modmap);
  }

  for (int keycode = keymap->minKeycode; keycode <= keymap->maxKeycode; ++keycode) {
    const KeySym* row = keymap->Row(keycode);
    const bool empty =
        std::all_of(row, row + keymap->perKeycode, [](KeySym k) { return k == NoSymbol; });
    if (!empty || modifierKeycodes.count(static_cast<KeyCode>(keycode))) continue;
    slotOfKeycode_[static_cast<KeyCode>(keycode)] = slots_.size();
    slots_.push_back(Slot{static_cast<KeyCode>(keycode)});
  }
}

std::optional<KeyChoice> KeycodePool::Acquire(Display* display, KeySym keysym) {
  if (!scanned_) Scan(display);
  KeySym lower = keysym, upper = keysym;
  XConvertCase(keysym, &lower, &upper);
  const bool hasCase = lower != upper;
  const KeySym key = hasCase ? lower : keysym;
  const bool withShift = hasCase && keysym == upper;
  if (const auto found = slotOfKeysym_.find(key); found != slotOfKeysym_.end()) {
    return KeyChoice{slots_[found->second].keycode, withShift};
  }
  // The least recently used keycode that is not held down.
  Slot* chosen = nullptr;
  for (Slot& slot : slots_) {
    if (slot.pressed) continue;
    if (!chosen || slot.lastUse < chosen->lastUse) chosen = &slot;
  }
  if (!chosen) return std::nullopt;
  const auto quietUntil = chosen->lastUse + kQuietTime;
  const auto now = Clock::now();
  if (chosen->keysym != NoSymbol && now < quietUntil) sleep_(quietUntil - now);
  KeySym levels[2] = {key, hasCase ? upper : key};
  XChangeKeyboardMapping(display, chosen->keycode, 2, levels, 1);
  if (chosen->keysym != NoSymbol) slotOfKeysym_.erase(chosen->keysym);
  chosen->keysym = key;
  chosen->lastUse = Clock::now();
  slotOfKeysym_[key] = static_cast<size_t>(chosen - slots_.data());
  // The press must reach the server after the mapping, and clients must be able to see the new
  // mapping before the press: wait until the server has applied it.
  XSync(display, False);
  sleep_(kSettleTime);
  return KeyChoice{chosen->keycode, withShift};
}

void KeycodePool::MarkPressed(KeyCode keycode) {
  if (const auto found = slotOfKeycode_.find(keycode); found != slotOfKeycode_.end()) {
    slots_[found->second].pressed = true;
    slots_[found->second].lastUse = Clock::now();
  }
}

void KeycodePool::MarkReleased(KeyCode keycode) {
  if (const auto found = slotOfKeycode_.find(keycode); found != slotOfKeycode_.end()) {
    slots_[found->second].pressed = false;
    slots_[found->second].lastUse = Clock::now();
  }
}

void KeycodePool::Forget() {
  scanned_ = false;
  slots_.clear();
  slotOfKeysym_.clear();
  slotOfKeycode_.clear();
}

bool KeycodePool::Contains(KeyCode keycode) const {
  return slotOfKeycode_.count(keycode) != 0;
}

void KeycodePool::Restore(Display* display) {
  for (Slot& slot : slots_) {
    if (slot.keysym == NoSymbol) continue;
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display, slot.keycode, 2, none, 1);
    slot.keysym = NoSymbol;
  }
  slotOfKeysym_.clear();
}

}  // namespace morel_xy
