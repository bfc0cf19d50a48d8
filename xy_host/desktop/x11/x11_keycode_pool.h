#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace morel_xy {

// Where a keysym is typed from: its keycode, and whether Shift must be held.
struct KeyChoice {
  KeyCode keycode = 0;
  bool withShift = false;
};

// The core keyboard mapping: `perKeycode` keysyms for each keycode from `minKeycode` to
// `maxKeycode`, row by row. Read with plain core requests, which just fail on a lost connection
// (Xlib's XKB-backed keysym functions crash then).
struct CoreKeymap {
  int minKeycode = 0;
  int maxKeycode = 0;
  int perKeycode = 0;
  std::vector<KeySym> keysyms;

  const KeySym* Row(int keycode) const {
    return keysyms.data() + static_cast<size_t>(keycode - minKeycode) * perKeycode;
  }
};
// nullopt when the server reports no keycodes or the request fails.
std::optional<CoreKeymap> ReadCoreKeymap(Display* display);

// Scratch keycodes for typing keysyms the current layout has no key for.
//
// Clients read the keymap lazily: a client still busy with earlier events looks a key press up
// in the keymap as it is when it gets to it, not as it was when the key was pressed. Remapping
// one spare keycode per character therefore types wrong characters into busy clients. The pool
// avoids that: it uses every keycode the layout leaves empty, hands out the least recently used
// one, keeps a keysym on its keycode for as long as possible (a repeated character needs no
// remapping at all), never remaps a keycode within `kQuietTime` of its last use, and waits for
// the server to apply a new mapping before the key is pressed.
//
// Not thread-safe; the owner serialises calls.
class KeycodePool {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuietTime{200};
  // How long a new mapping is left to reach the clients before its key is pressed. Some
  // clients (Chromium) reload the keymap in a task of their own after the notification, and
  // look up a key press that arrives earlier in the old keymap, where the keycode is empty.
  static constexpr std::chrono::milliseconds kSettleTime{30};

  // `sleep` blocks the calling thread; tests and the owner supply the real one.
  explicit KeycodePool(std::function<void(std::chrono::nanoseconds)> sleep);

  // A keycode typing `keysym`, mapping one if needed. A letter with two cases is mapped as a
  // real keyboard has it, lower case first and upper case with Shift: some clients (Chromium)
  // drop an upper-case letter that a key gives without Shift. Any other keysym is mapped at
  // both shift levels. nullopt when the layout leaves no keycode empty.
  std::optional<KeyChoice> Acquire(Display* display, KeySym keysym);
  // Marks a keycode as in use (pressed) or as used just now (released).
  void MarkPressed(KeyCode keycode);
  void MarkReleased(KeyCode keycode);
  // Drops every mapping without restoring it, for when the layout was replaced as a whole (the
  // pool's mappings went with it); the next Acquire scans the new layout.
  void Forget();
  // True for keycodes of the pool.
  bool Contains(KeyCode keycode) const;

  // Puts every changed keycode back to what the layout had (nothing), over `display`, and
  // forgets the mappings. The caller flushes or syncs.
  void Restore(Display* display);

 private:
  struct Slot {
    KeyCode keycode = 0;
    KeySym keysym = NoSymbol;  // what the pool mapped there (a letter's lower case); NoSymbol
                               // when untouched
    Clock::time_point lastUse{};
    bool pressed = false;
  };

  void Scan(Display* display);

  std::function<void(std::chrono::nanoseconds)> sleep_;
  bool scanned_ = false;
  std::vector<Slot> slots_;
  std::unordered_map<KeySym, size_t> slotOfKeysym_;
  std::unordered_map<KeyCode, size_t> slotOfKeycode_;
};

}  // namespace morel_xy
