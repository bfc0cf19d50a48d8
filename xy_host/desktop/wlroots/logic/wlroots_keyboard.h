#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "desktop/keysyms.h"
#include "desktop/wlroots/logic/clipboard_paste.h"
#include "desktop/wlroots/logic/key_slots.h"
#include "desktop/wlroots/logic/keymap_builder.h"
#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// Keys and text through a virtual keyboard that reads its keys in the host's own keymap.
//
// Keys come from the keymap's fixed keys (modifiers, editing, navigation, function keys) or
// its text keys; characters the keymap lacks are put on text keys in batches (KeySlots), the
// new keymap is sent and left to settle, and only then are the keys pressed. Characters
// beyond U+FFFF are pasted (ClipboardPaste). The modifier state is the keyboard's to report:
// it follows the modifier keys this object holds.
//
// Not thread-safe; the owner serialises calls.
class WlrootsKeyboard {
 public:
  using Clock = KeySlots::Clock;
  // How long a new keymap is left to reach the focused client before a key of it is pressed:
  // the compositor passes it on at once, but the client compiles it before it reads keys.
  static constexpr std::chrono::milliseconds kSettleTime{20};

  // `clipboard` may be null (the compositor offers none): characters beyond U+FFFF then fail.
  WlrootsKeyboard(KeyboardDevice& device, Clipboard* clipboard,
                  std::function<void(std::chrono::nanoseconds)> sleep,
                  std::function<Clock::time_point()> now = Clock::now);
  ~WlrootsKeyboard();
  WlrootsKeyboard(const WlrootsKeyboard&) = delete;
  WlrootsKeyboard& operator=(const WlrootsKeyboard&) = delete;

  // Sends the first keymap. False when the device refuses it.
  bool Start();
  // As Desktop::PressKey and Desktop::TypeCharacter.
  bool PressKey(Keysym keysym, bool down);
  bool TypeCharacter(char32_t character, std::string_view upcoming);
  // Releases every key this object holds and gives the clipboard back. Later calls work on.
  void ReleaseEverything();

  const KeySlots& slots() const { return m_slots; }
  int keymapsSent() const { return m_keymapsSent; }

 private:
  bool SendKeymap();
  // A key of the current keymap for `keysym` on any level, placing it on a text key if
  // needed (with the characters of `upcoming` in the same batch).
  std::optional<KeyPlace> KeyFor(Keysym keysym, std::string_view upcoming);
  bool Key(uint32_t code, bool down);
  bool PressKeyWithinRun(Keysym keysym, bool down);
  // Pastes `character` and the characters beyond U+FFFF that follow it in `upcoming`, as one
  // paste: the following ones are then skipped when they come.
  bool PasteRun(char32_t character, std::string_view upcoming);
  uint32_t ModifierMask() const;
  bool ShiftHeld() const;

  KeyboardDevice& m_device;
  std::unique_ptr<ClipboardPaste> m_paste;
  std::function<void(std::chrono::nanoseconds)> m_sleep;
  std::function<Clock::time_point()> m_now;
  KeySlots m_slots;
  std::optional<Keymap> m_keymap;
  int m_keymapsSent = 0;
  // Every key held down, with how many presses hold it.
  std::map<uint32_t, int> m_heldCodes;
  // The key each keysym pressed through PressKey went to, so its release finds it after the
  // keymap changed.
  std::map<Keysym, uint32_t> m_heldKeysyms;
  // Characters pasted ahead of their turn, in order.
  std::u32string m_pastedAhead;
};

}  // namespace morel_xy::wlroots
