#include "desktop/wlroots/logic/key_slots.h"

#include <algorithm>

namespace morel_xy::wlroots {

KeySlots::KeySlots(const std::vector<TextKey>& keys, CaseFunction caseOf)
    : m_caseOf(std::move(caseOf)) {
  for (const TextKey& key : keys) {
    Slot slot;
    slot.code = key.code;
    slot.levels[0] = key.plain;
    slot.levels[1] = key.shifted;
    m_slots.push_back(slot);
  }
}

std::optional<KeyPlace> KeySlots::Find(Keysym keysym) const {
  if (keysym == keysym::kNoSymbol) return std::nullopt;
  for (const Slot& slot : m_slots) {
    if (slot.levels[0] == keysym) return KeyPlace{slot.code, false};
  }
  for (const Slot& slot : m_slots) {
    if (slot.levels[1] == keysym) return KeyPlace{slot.code, true};
  }
  return std::nullopt;
}

std::optional<size_t> KeySlots::Victim(const std::vector<bool>& reserved) const {
  std::optional<size_t> victim;
  for (size_t i = 0; i < m_slots.size(); ++i) {
    if (m_slots[i].held || reserved[i]) continue;
    if (!victim || m_slots[i].lastUse < m_slots[*victim].lastUse) victim = i;
  }
  return victim;
}

bool KeySlots::Place(const std::vector<Keysym>& wanted, Clock::time_point now, bool& changed) {
  changed = false;
  std::vector<bool> reserved(m_slots.size(), false);
  // Keys already holding a character of the batch stay as they are.
  for (size_t i = 0; i < m_slots.size(); ++i) {
    for (Keysym keysym : wanted) {
      if (keysym != keysym::kNoSymbol &&
          (m_slots[i].levels[0] == keysym || m_slots[i].levels[1] == keysym)) {
        reserved[i] = true;
      }
    }
  }
  // A key given to one character of this batch whose Shift level is still free.
  std::optional<size_t> halfFree;
  for (size_t n = 0; n < wanted.size(); ++n) {
    const Keysym keysym = wanted[n];
    if (keysym == keysym::kNoSymbol) {
      if (n == 0) return false;
      continue;
    }
    if (Find(keysym)) continue;
    const KeysymCase kase = m_caseOf(keysym);
    if (!kase.HasTwo() && halfFree) {
      m_slots[*halfFree].levels[1] = keysym;
      halfFree.reset();
      changed = true;
      continue;
    }
    const std::optional<size_t> victim = Victim(reserved);
    if (!victim) return n > 0;
    Slot& slot = m_slots[*victim];
    reserved[*victim] = true;
    changed = true;
    if (kase.HasTwo()) {
      slot.levels[0] = kase.lower;
      slot.levels[1] = kase.upper;
    } else {
      slot.levels[0] = keysym;
      slot.levels[1] = keysym::kNoSymbol;
      halfFree = *victim;
    }
    // Newly placed keys count as used now, so the rest of this text does not give them up
    // before they are typed.
    slot.lastUse = now;
  }
  return true;
}

void KeySlots::MarkHeld(uint32_t code, bool held, Clock::time_point now) {
  for (Slot& slot : m_slots) {
    if (slot.code != code) continue;
    slot.held = held;
    slot.lastUse = now;
  }
}

}  // namespace morel_xy::wlroots
