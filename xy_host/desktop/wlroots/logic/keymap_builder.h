#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/wlroots/logic/key_slots.h"
#include "desktop/wlroots/logic/keyboard_layout.h"

namespace morel_xy::wlroots {

// A keymap of the host's, compiled and serialised by xkbcommon, with the modifier masks its
// modifier keys set.
struct Keymap {
  std::string text;  // the XKB text the compositor and its clients load
  uint32_t shiftMask = 0;
  uint32_t controlMask = 0;
  uint32_t altMask = 0;
  uint32_t superMask = 0;

  uint32_t MaskOf(Modifier modifier) const;
};

// The keymap of the fixed keys and the text keys as they are now. nullopt when xkbcommon
// refuses it (a keysym it cannot name).
std::optional<Keymap> BuildKeymap(const std::vector<FixedKey>& fixed,
                                  const std::vector<KeySlots::Slot>& slots);

}  // namespace morel_xy::wlroots
