#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

namespace morel_xy::x11 {

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
// avoids that: it uses every keycode the layout leaves empty, keeps a keysym on its keycode for
// as long as possible (a repeated character needs no remapping at all), never remaps a keycode
// within `kQuietTime` of its last press, and lets a new mapping reach the clients before any of
// its keys is pressed.
//
// Remapping costs those waits, so it is done many keycodes at a time, and ahead of need: the
// text to come is known, so what it needs soonest is kept or mapped, as a cache that knows the
// future would choose, and keycodes whose quiet time is over are refilled while the keys
// mapped earlier are typed. Each keycode holds two keysyms, one plain and one with Shift. An
// upper-case letter is only ever given with Shift (some clients, Chromium among them, drop one
// that a key gives without it); lower-case letters and characters without case go to either
// level, two to a keycode.
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

  // Where the pool has `keysym` now, waiting first for a mapping still on its way to the
  // clients; nullopt when it has not mapped it.
  std::optional<KeyChoice> Find(KeySym keysym);
  // A keycode typing `keysym`, mapping it in one change with as many of `upcoming` (the
  // keysyms to be typed next, in order, none of them on the layout) as the keycodes hold: those
  // needed soonest are kept or mapped, the others make room, after their quiet time. With
  // `plain`, the keysym must be typed without Shift (a key of a chord rather than a character)
  // and gets a keycode of its own. nullopt when the layout leaves no keycode empty or every
  // one is held down.
  std::optional<KeyChoice> Acquire(Display* display, KeySym keysym, bool plain,
                                   const std::vector<KeySym>& upcoming);
  // Maps what `upcoming` will need and the pool lacks onto keycodes that are quiet now and hold
  // nothing it needs sooner, without waiting for anything. Does nothing before the pool's
  // first use.
  void Refill(Display* display, const std::vector<KeySym>& upcoming);
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
  // Whether the pool has mapped anything since it was scanned or restored.
  bool InUse() const { return !m_placeOfKeysym.empty(); }

  // Puts every changed keycode back to what the layout had (nothing), over `display`, and
  // forgets the mappings. The caller flushes or syncs.
  void Restore(Display* display);

 private:
  struct Slot {
    KeyCode keycode = 0;
    KeySym levels[2] = {NoSymbol, NoSymbol};  // plain, with Shift; NoSymbol when untouched
    Clock::time_point lastPress{};            // of its key, pressed or released
    Clock::time_point settledAt{};            // when its mapping has reached the clients
    bool pressed = false;
  };
  struct Place {
    size_t slot = 0;
    int level = 0;
  };
  // Where a keysym to be mapped may go. An upper-case letter goes on the Shift level, as
  // keyboards have it; a key of a chord takes a whole keycode, so that it types the same with
  // or without Shift; any other keysym takes whichever level is free.
  enum class Level { kWhole, kShifted, kEither };
  struct Entry {
    KeySym keysym = NoSymbol;
    Level level = Level::kEither;
  };
  // What the keycodes should hold after a change: the keysyms to map, in order of need, and
  // the keycodes that already hold a wanted keysym.
  struct Plan {
    std::vector<Entry> entries;
    std::vector<bool> kept;
  };

  void Scan(Display* display);
  // Plans for `first` (unless NoSymbol) and then `upcoming`, as many as the keycodes hold.
  // False when `first` cannot have a keycode (every one is held down).
  bool PlanBatch(KeySym first, bool plain, const std::vector<KeySym>& upcoming, Plan& plan) const;
  // Maps the plan's entries, in order, onto `free` keycodes (taken in order) until either runs
  // out; the mappings reach the server before this returns and the clients at the returned
  // time.
  Clock::time_point Apply(Display* display, const Plan& plan, const std::vector<size_t>& free);
  void Map(Display* display, size_t slot, KeySym plain, KeySym shifted);

  std::function<void(std::chrono::nanoseconds)> m_sleep;
  std::chrono::milliseconds m_settleTime;
  bool m_scanned = false;
  std::vector<Slot> m_slots;
  std::unordered_map<KeySym, Place> m_placeOfKeysym;
  std::unordered_map<KeyCode, size_t> m_slotOfKeycode;
};

}  // namespace morel_xy::x11
