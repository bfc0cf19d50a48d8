#include "desktop/x11/x11_keycode_pool.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <set>
#include <unordered_set>

namespace morel_xy {

KeycodePool::KeycodePool(std::function<void(std::chrono::nanoseconds)> sleep,
                         std::chrono::milliseconds settleTime)
    : sleep_(std::move(sleep)), settleTime_(settleTime) {}

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

size_t KeycodePool::Capacity(Display* display) {
  if (!scanned_) Scan(display);
  return slots_.size();
}

std::optional<KeyChoice> KeycodePool::Find(KeySym keysym) const {
  const auto found = placeOfKeysym_.find(keysym);
  if (found == placeOfKeysym_.end()) return std::nullopt;
  return KeyChoice{slots_[found->second.slot].keycode, found->second.level == 1};
}

std::vector<size_t> KeycodePool::Candidates(const std::vector<KeySym>& upcoming) const {
  std::unordered_set<size_t> needed;
  for (const KeySym keysym : upcoming) {
    if (const auto found = placeOfKeysym_.find(keysym); found != placeOfKeysym_.end()) {
      needed.insert(found->second.slot);
    }
  }
  std::vector<size_t> free, all;
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].pressed) continue;
    all.push_back(i);
    if (!needed.count(i)) free.push_back(i);
  }
  // What the coming text still needs is remapped only when nothing else is left.
  std::vector<size_t>& candidates = free.empty() ? all : free;
  std::stable_sort(candidates.begin(), candidates.end(),
                   [this](size_t a, size_t b) { return slots_[a].lastUse < slots_[b].lastUse; });
  return std::move(candidates);
}

void KeycodePool::Map(Display* display, size_t index, KeySym plain, KeySym shifted) {
  Slot& slot = slots_[index];
  for (const KeySym old : slot.levels) {
    // A keysym moved to another keycode since keeps its new place.
    if (const auto found = placeOfKeysym_.find(old);
        found != placeOfKeysym_.end() && found->second.slot == index) {
      placeOfKeysym_.erase(found);
    }
  }
  slot.levels[0] = plain;
  slot.levels[1] = shifted;
  slot.lastUse = Clock::now();
  XChangeKeyboardMapping(display, slot.keycode, 2, slot.levels, 1);
  placeOfKeysym_[plain] = Place{index, 0};
  if (shifted != plain) placeOfKeysym_[shifted] = Place{index, 1};
}

std::optional<KeyChoice> KeycodePool::Acquire(Display* display, KeySym keysym, bool plain,
                                              const std::vector<KeySym>& upcoming) {
  if (!scanned_) Scan(display);

  // What to map: the keysym itself first, then the coming ones the pool lacks.
  std::vector<Entry> entries;
  std::unordered_set<KeySym> batched;
  const auto add = [&](KeySym k, bool mustBePlain) {
    KeySym lower = k, upper = k;
    XConvertCase(k, &lower, &upper);
    if (batched.count(lower) || batched.count(upper)) return;
    if (lower != upper) {
      entries.push_back(Entry{lower, upper, true});
    } else if (mustBePlain) {
      entries.push_back(Entry{k, k, true});
    } else {
      entries.push_back(Entry{k, NoSymbol, false});
    }
    batched.insert(lower);
    batched.insert(upper);
  };
  add(keysym, plain);
  for (const KeySym k : upcoming) {
    if (!placeOfKeysym_.count(k)) add(k, false);
  }

  // Entries onto keycodes, least recently used first; two that need no keycode of their own
  // share one. What does not fit waits for the next batch.
  const std::vector<size_t> candidates = Candidates(upcoming);
  if (candidates.empty()) return std::nullopt;
  struct Assignment {
    size_t slot;
    KeySym plain;
    KeySym shifted;
  };
  std::vector<Assignment> assignments;
  constexpr size_t kNone = static_cast<size_t>(-1);
  size_t halfFilled = kNone;  // the assignment with a level still free
  for (const Entry& entry : entries) {
    if (!entry.wholeKeycode && halfFilled != kNone) {
      assignments[halfFilled].shifted = entry.plain;
      halfFilled = kNone;
      continue;
    }
    if (assignments.size() == candidates.size()) break;
    assignments.push_back(Assignment{candidates[assignments.size()], entry.plain, entry.shifted});
    if (!entry.wholeKeycode) halfFilled = assignments.size() - 1;
  }
  // A keysym alone on its keycode types with or without Shift.
  if (halfFilled != kNone) assignments[halfFilled].shifted = assignments[halfFilled].plain;

  // One wait for the quietest of the keycodes to be remapped, instead of one per keycode.
  Clock::time_point quietUntil{};
  for (const Assignment& a : assignments) {
    const Slot& slot = slots_[a.slot];
    if (slot.levels[0] != NoSymbol) quietUntil = std::max(quietUntil, slot.lastUse + kQuietTime);
  }
  if (const auto now = Clock::now(); now < quietUntil) sleep_(quietUntil - now);
  for (const Assignment& a : assignments) Map(display, a.slot, a.plain, a.shifted);
  // The presses must reach the server after the mappings, and clients must be able to see the
  // new mappings before the presses: wait until the server has applied them, then let the
  // clients catch up.
  XSync(display, False);
  sleep_(settleTime_);
  return Find(keysym);
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
  placeOfKeysym_.clear();
  slotOfKeycode_.clear();
}

bool KeycodePool::Contains(KeyCode keycode) const {
  return slotOfKeycode_.count(keycode) != 0;
}

void KeycodePool::Restore(Display* display) {
  for (Slot& slot : slots_) {
    if (slot.levels[0] == NoSymbol && slot.levels[1] == NoSymbol) continue;
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display, slot.keycode, 2, none, 1);
    slot.levels[0] = slot.levels[1] = NoSymbol;
  }
  placeOfKeysym_.clear();
}

}  // namespace morel_xy
