#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include "desktop/keysyms.h"
#include "desktop/wlroots/logic/keyboard_layout.h"
#include "desktop/wlroots/logic/keysym_case.h"

namespace morel_xy::wlroots {

// Where a keysym is typed: a key, and whether Shift selects it.
struct KeyPlace {
  uint32_t code = 0;
  bool shift = false;

  bool operator==(const KeyPlace&) const = default;
};

// The text keys of the host's keymap and what each gives, plain and with Shift.
//
// Characters the keymap lacks are put on keys in batches: one keymap change brings in as many
// of the coming characters as the keys hold, so a text in a new script costs one change per
// batch rather than one per character. A letter with two cases takes a key of its own, lower
// case plain and upper case with Shift, as keyboards have it (browsers drop an upper-case
// letter that comes without Shift); other characters share keys two by two. The keys given
// up are those used least recently; a key that is held, or that holds a character of the
// batch, is never given up.
//
// Not thread-safe; the owner serialises calls.
class KeySlots {
 public:
  using Clock = std::chrono::steady_clock;
  using CaseFunction = std::function<KeysymCase(Keysym)>;

  struct Slot {
    uint32_t code = 0;
    Keysym levels[2] = {keysym::kNoSymbol, keysym::kNoSymbol};
    Clock::time_point lastUse{};
    bool held = false;

    bool operator==(const Slot& other) const {
      return code == other.code && levels[0] == other.levels[0] && levels[1] == other.levels[1];
    }
  };

  // Starts from `keys` (in the order they are given up when equally old).
  explicit KeySlots(const std::vector<TextKey>& keys, CaseFunction caseOf = CaseOf);

  // Where the keymap has `keysym`, on either level.
  std::optional<KeyPlace> Find(Keysym keysym) const;

  // Puts the keysyms of `wanted` on keys, in order, keeping those already there: the first
  // must find a place (false when every key is held or in the batch); the others are brought
  // in while keys remain. `changed` tells whether the keymap must be sent again.
  bool Place(const std::vector<Keysym>& wanted, Clock::time_point now, bool& changed);

  void MarkHeld(uint32_t code, bool held, Clock::time_point now);

  const std::vector<Slot>& slots() const { return m_slots; }

 private:
  // The key to give up next: not held, not reserved, least recently used; nullopt if none.
  std::optional<size_t> Victim(const std::vector<bool>& reserved) const;

  CaseFunction m_caseOf;
  std::vector<Slot> m_slots;
};

}  // namespace morel_xy::wlroots
