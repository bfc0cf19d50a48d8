#include "desktop/x11/x11_keycode_pool.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <set>
#include <unordered_set>

namespace morel_xy::x11 {

KeycodePool::KeycodePool(std::function<void(std::chrono::nanoseconds)> sleep,
                         std::chrono::milliseconds settleTime)
    : m_sleep(std::move(sleep)), m_settleTime(settleTime) {}

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
  m_scanned = true;
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
    m_slotOfKeycode[static_cast<KeyCode>(keycode)] = m_slots.size();
    m_slots.push_back(Slot{static_cast<KeyCode>(keycode)});
  }
}

size_t KeycodePool::Capacity(Display* display) {
  if (!m_scanned) Scan(display);
  return m_slots.size();
}

std::optional<KeyChoice> KeycodePool::Find(KeySym keysym) {
  const auto found = m_placeOfKeysym.find(keysym);
  if (found == m_placeOfKeysym.end()) return std::nullopt;
  const Slot& slot = m_slots[found->second.slot];
  if (const auto now = Clock::now(); now < slot.settledAt) m_sleep(slot.settledAt - now);
  return KeyChoice{slot.keycode, found->second.level == 1};
}

bool KeycodePool::PlanBatch(KeySym first, bool plain, const std::vector<KeySym>& upcoming,
                            Plan& plan) const {
  plan.entries.clear();
  plan.kept.assign(m_slots.size(), false);
  size_t keptCount = 0;
  // Keycodes held down are out of reach, unless they hold a wanted keysym anyway.
  size_t pressedElsewhere = 0;
  for (const Slot& slot : m_slots) pressedElsewhere += slot.pressed;
  // Keysyms to map by where they may go: a whole keycode, the Shift level only, or either
  // level.
  size_t whole = 0, shiftedOnly = 0, either = 0;
  const auto fits = [&] {
    const size_t paired = std::max(shiftedOnly, (shiftedOnly + either + 1) / 2);
    return keptCount + pressedElsewhere + whole + paired <= m_slots.size();
  };
  std::unordered_set<KeySym> considered;
  const auto want = [&](KeySym k, bool mustBePlain) {
    if (!considered.insert(k).second) return true;
    const auto found = m_placeOfKeysym.find(k);
    if (found != m_placeOfKeysym.end() && !(mustBePlain && found->second.level != 0)) {
      const size_t slot = found->second.slot;
      if (plan.kept[slot]) return true;
      ++keptCount;
      pressedElsewhere -= m_slots[slot].pressed;
      if (fits()) {
        plan.kept[slot] = true;
        return true;
      }
      --keptCount;
      pressedElsewhere += m_slots[slot].pressed;
      return false;
    }
    KeySym lower = k, upper = k;
    XConvertCase(k, &lower, &upper);
    Entry entry{k, Level::kEither};
    if (mustBePlain) {
      entry.level = Level::kWhole;
    } else if (lower != upper && k == upper) {
      entry.level = Level::kShifted;
    }
    size_t& count = entry.level == Level::kWhole     ? whole
                    : entry.level == Level::kShifted ? shiftedOnly
                                                     : either;
    ++count;
    if (!fits()) {
      --count;
      return false;
    }
    plan.entries.push_back(entry);
    return true;
  };
  if (first != NoSymbol && !want(first, plain)) return false;
  for (const KeySym k : upcoming) {
    if (!want(k, false)) break;
  }
  return true;
}

KeycodePool::Clock::time_point KeycodePool::Apply(Display* display, const Plan& plan,
                                                  const std::vector<size_t>& free) {
  // Keycodes being filled, each with a level that may still be free. Entries are placed in
  // the order of need, so what is needed first gets a keycode even when the rest do not fit.
  struct Filling {
    size_t slot;
    KeySym levels[2];
  };
  std::vector<Filling> fillings;
  const auto open = [&](KeySym plainKeysym, KeySym shiftedKeysym) {
    if (fillings.size() == free.size()) return false;
    fillings.push_back(Filling{free[fillings.size()], {plainKeysym, shiftedKeysym}});
    return true;
  };
  const auto share = [&](int level, KeySym k) {
    for (Filling& filling : fillings) {
      if (filling.levels[level] == NoSymbol && filling.levels[1 - level] != k) {
        filling.levels[level] = k;
        return true;
      }
    }
    return false;
  };
  for (const Entry& entry : plan.entries) {
    bool placed = false;
    switch (entry.level) {
      case Level::kWhole:
        placed = open(entry.keysym, entry.keysym);
        break;
      case Level::kShifted:
        placed = share(1, entry.keysym) || open(NoSymbol, entry.keysym);
        break;
      case Level::kEither:
        placed = share(1, entry.keysym) || share(0, entry.keysym) || open(entry.keysym, NoSymbol);
        break;
    }
    if (!placed) break;
  }

  for (Filling& filling : fillings) {
    // A keysym alone on its keycode: a character that needs no particular level types with or
    // without Shift; a letter keeps its other case beside it, as keyboards have it.
    for (const int level : {0, 1}) {
      KeySym& other = filling.levels[1 - level];
      if (other != NoSymbol) continue;
      KeySym lower = filling.levels[level], upper = lower;
      XConvertCase(filling.levels[level], &lower, &upper);
      other = level == 0 ? upper : lower;
    }
    Map(display, filling.slot, filling.levels[0], filling.levels[1]);
  }
  // The presses must reach the server after the mappings: wait until it has applied them.
  // The clients then need a moment of their own before these keys are pressed.
  XSync(display, False);
  const Clock::time_point settledAt = Clock::now() + m_settleTime;
  for (const Filling& filling : fillings) m_slots[filling.slot].settledAt = settledAt;
  return settledAt;
}

std::optional<KeyChoice> KeycodePool::Acquire(Display* display, KeySym keysym, bool plain,
                                              const std::vector<KeySym>& upcoming) {
  if (!m_scanned) Scan(display);
  Plan plan;
  if (!PlanBatch(keysym, plain, upcoming, plan)) return std::nullopt;

  // The keycodes to remap: those holding nothing wanted, the soonest quiet first. The keysym
  // is first in the plan, so it gets the first of them. Waiting for the soonest is unavoidable;
  // the ones quiet a settling time later come along, as that wait is due anyway; the rest are
  // left to Refill, which takes them while the keys mapped now are typed.
  const auto quietAt = [this](size_t i) {
    const Slot& slot = m_slots[i];
    return slot.levels[0] == NoSymbol ? Clock::time_point{} : slot.lastPress + kQuietTime;
  };
  std::vector<size_t> free;
  for (size_t i = 0; i < m_slots.size(); ++i) {
    if (!m_slots[i].pressed && !plan.kept[i]) free.push_back(i);
  }
  if (free.empty()) return std::nullopt;
  std::stable_sort(free.begin(), free.end(),
                   [&](size_t a, size_t b) { return quietAt(a) < quietAt(b); });
  const Clock::time_point horizon = std::max(Clock::now(), quietAt(free.front())) + m_settleTime;
  while (free.size() > 1 && quietAt(free.back()) > horizon) free.pop_back();
  const Clock::time_point quietUntil = quietAt(free.back());
  if (const auto now = Clock::now(); now < quietUntil) m_sleep(quietUntil - now);
  Apply(display, plan, free);
  return Find(keysym);
}

void KeycodePool::Refill(Display* display, const std::vector<KeySym>& upcoming) {
  if (!m_scanned || upcoming.empty()) return;
  Plan plan;
  if (!PlanBatch(NoSymbol, false, upcoming, plan) || plan.entries.empty()) return;
  // Only keycodes that may be remapped now, without waiting.
  const Clock::time_point now = Clock::now();
  std::vector<size_t> free;
  for (size_t i = 0; i < m_slots.size(); ++i) {
    const Slot& slot = m_slots[i];
    if (slot.pressed || plan.kept[i]) continue;
    if (slot.levels[0] != NoSymbol && now < slot.lastPress + kQuietTime) continue;
    free.push_back(i);
  }
  if (free.empty()) return;
  std::stable_sort(free.begin(), free.end(), [this](size_t a, size_t b) {
    return m_slots[a].lastPress < m_slots[b].lastPress;
  });
  Apply(display, plan, free);
}

void KeycodePool::Map(Display* display, size_t index, KeySym plain, KeySym shifted) {
  Slot& slot = m_slots[index];
  for (const KeySym old : slot.levels) {
    // A keysym moved to another keycode since keeps its new place.
    if (const auto found = m_placeOfKeysym.find(old);
        found != m_placeOfKeysym.end() && found->second.slot == index) {
      m_placeOfKeysym.erase(found);
    }
  }
  slot.levels[0] = plain;
  slot.levels[1] = shifted;
  XChangeKeyboardMapping(display, slot.keycode, 2, slot.levels, 1);
  // A keysym on both levels is typed from the plain one.
  m_placeOfKeysym[shifted] = Place{index, 1};
  m_placeOfKeysym[plain] = Place{index, 0};
}

void KeycodePool::MarkPressed(KeyCode keycode) {
  if (const auto found = m_slotOfKeycode.find(keycode); found != m_slotOfKeycode.end()) {
    m_slots[found->second].pressed = true;
    m_slots[found->second].lastPress = Clock::now();
  }
}

void KeycodePool::MarkReleased(KeyCode keycode) {
  if (const auto found = m_slotOfKeycode.find(keycode); found != m_slotOfKeycode.end()) {
    m_slots[found->second].pressed = false;
    m_slots[found->second].lastPress = Clock::now();
  }
}

void KeycodePool::Forget() {
  m_scanned = false;
  m_slots.clear();
  m_placeOfKeysym.clear();
  m_slotOfKeycode.clear();
}

bool KeycodePool::Contains(KeyCode keycode) const {
  return m_slotOfKeycode.count(keycode) != 0;
}

void KeycodePool::Restore(Display* display) {
  for (Slot& slot : m_slots) {
    if (slot.levels[0] == NoSymbol && slot.levels[1] == NoSymbol) continue;
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display, slot.keycode, 2, none, 1);
    slot.levels[0] = slot.levels[1] = NoSymbol;
  }
  m_placeOfKeysym.clear();
}

}  // namespace morel_xy::x11
