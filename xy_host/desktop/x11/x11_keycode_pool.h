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
// avoids that: it uses every keycode the layout leaves empty, remaps the least recently used
// ones, keeps a keysym on its keycode for as long as possible (a repeated character needs no
// remapping at all), never remaps a keycode within `kQuietTime` of its last use, and waits for
// the server and the clients to take a new mapping before any of its keys is pressed.
//
// Remapping costs that wait, so it is done in batches: when a keysym is missing, the keysyms
// about to be typed after it are mapped in the same change, as many as the free keycodes hold.
// Each keycode holds two keysyms, one plain and one with Shift: a letter with two cases is
// mapped as a keyboard has it (lower case plain, upper case with Shift: some clients, Chromium
// among them, drop an upper-case letter that a key gives without Shift); two other characters
// share a keycode, one on each level.
//
// Not thread-safe; the owner serialises calls.
class KeycodePool {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuietTime{200};
  // How long a new mapping is left to reach the clients before its key is pressed. Some
  // clients (Chromium) reload the keymap in a task of their own after the notification, and
  // look up a key press that arrives earlier in the old keymap, where the keycode is empty.
  static constexpr std::chrono::milliseconds kDefaultSettleTime{30};

  // `sleep` blocks the calling thread; tests and the owner supply the real one.
  explicit KeycodePool(std::function<void(std::chrono::nanoseconds)> sleep,
                       std::chrono::milliseconds settleTime = kDefaultSettleTime);

  // Where the pool has `keysym` now; nullopt when it has not mapped it.
  std::optional<KeyChoice> Find(KeySym keysym) const;
  // A keycode typing `keysym`, mapping it, and as many of `upcoming` (the keysyms to be typed
  // soon, in order, none of them on the layout) as fit and are not mapped yet, in one change.
  // With `plain`, the keysym must be typed without Shift (a key of a chord rather than a
  // character) and gets a keycode of its own. Keycodes holding a keysym of `upcoming` are not
  // remapped while others can be. nullopt when the layout leaves no keycode empty or every one
  // is held down.
  std::optional<KeyChoice> Acquire(Display* display, KeySym keysym, bool plain,
                                   const std::vector<KeySym>& upcoming);
  // Marks a keycode as in use (pressed) or as used just now (released).
  void MarkPressed(KeyCode keycode);
  void MarkReleased(KeyCode keycode);
  // Drops every mapping without restoring it, for when the layout was replaced as a whole (the
  // pool's mappings went with it); the next Acquire scans the new layout.
  void Forget();
  // True for keycodes of the pool.
  bool Contains(KeyCode keycode) const;
  // How many keycodes the pool has.
  size_t Capacity(Display* display);

  // Puts every changed keycode back to what the layout had (nothing), over `display`, and
  // forgets the mappings. The caller flushes or syncs.
  void Restore(Display* display);

 private:
  struct Slot {
    KeyCode keycode = 0;
    KeySym levels[2] = {NoSymbol, NoSymbol};  // plain, with Shift; NoSymbol when untouched
    Clock::time_point lastUse{};
    bool pressed = false;
  };
  struct Place {
    size_t slot = 0;
    int level = 0;
  };
  // What one keycode of a batch is to hold.
  struct Entry {
    KeySym plain = NoSymbol;
    KeySym shifted = NoSymbol;
    bool wholeKeycode = false;  // no other keysym may share the keycode
  };

  void Scan(Display* display);
  // The keycodes a batch may remap, least recently used first.
  std::vector<size_t> Candidates(const std::vector<KeySym>& upcoming) const;
  void Map(Display* display, size_t slot, KeySym plain, KeySym shifted);

  std::function<void(std::chrono::nanoseconds)> sleep_;
  std::chrono::milliseconds settleTime_;
  bool scanned_ = false;
  std::vector<Slot> slots_;
  std::unordered_map<KeySym, Place> placeOfKeysym_;
  std::unordered_map<KeyCode, size_t> slotOfKeycode_;
};

}  // namespace morel_xy
