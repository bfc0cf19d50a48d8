#pragma once

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "desktop/desktop.h"
#include "desktop/x11/screen_geometry.h"
#include "desktop/x11/x11_connection.h"
#include "desktop/x11/x11_keycode_pool.h"

namespace morel_xy::x11 {

// Synthetic input through XTest, in root pixels and keysyms.
//
// Keysyms become the keys of the current layout; characters the layout has no key for are
// typed through scratch keycodes (KeycodePool). Every event is flushed to the server at once,
// so the host's pacing is the pacing clients see.
//
// Nothing stays pressed: the keys and buttons this object holds down are released, and the
// scratch keycodes put back, when it is destroyed, when the process is ended by a signal (see
// ReleaseForTermination), and when an X error or a lost connection interrupts a sequence; the
// failed operation then returns false and later ones carry on.
//
// Thread-safety: the posting methods are called from the host's request thread;
// ReleaseForTermination may come from another thread.
class X11Input {
 public:
  explicit X11Input(X11Connection& connection,
                    std::chrono::milliseconds keymapSettleTime = KeycodePool::kDefaultSettleTime);
  ~X11Input();
  X11Input(const X11Input&) = delete;
  X11Input& operator=(const X11Input&) = delete;

  // Lets synthetic input through while another client grabs the server. Nothing else changes.
  void ConfigureSyntheticInput();
  // Moves the pointer. False on X failure.
  bool MovePointer(RootPoint at);
  // A move to `at`, then the transition of X button `button` (1 left, 2 middle, 3 right).
  bool PressButton(unsigned button, bool down, RootPoint at);
  // One press and release of button 4/5 (vertical: up/down) or 6/7 (horizontal: left/right)
  // per line.
  bool Scroll(int32_t vertical, int32_t horizontal);
  // Presses or releases the key of `keysym` without adding Shift. A key the layout lacks is
  // typed through a scratch keycode, unless it is a modifier. False when no key can be had, or
  // on X failure.
  bool PressKey(KeySym keysym, bool down);
  // Presses and releases the key typing `character`, with Shift when its level needs it.
  // `upcoming` is the UTF-8 text typed next: when the character needs a scratch keycode, the
  // characters after it that need one too are mapped in the same change. False when no key can
  // type it, or on X failure.
  bool TypeCharacter(char32_t character, std::string_view upcoming);

  // Releases what this object holds and restores the keymap on a connection of its own, then
  // keeps every posting method out for good: for a process that is about to end.
  void ReleaseForTermination();

  // What the layout lacks for chords: the modifier keys it has no key for, by name ("Super_L");
  // empty when it has them all.
  std::string MissingModifierKeys();
  // How many keycodes the layout leaves free for the characters it lacks.
  size_t ScratchKeycodes();

 private:
  // Where the layout has a keysym: its keycode (0 when nowhere) and the column of the core
  // mapping (0 plain, 1 with Shift, higher for other groups and levels).
  struct LayoutPlace {
    KeyCode keycode = 0;
    int column = 0;
  };
  // The layout is read with plain core requests and kept here, rather than through Xlib's
  // keysym functions: those load XKB state lazily and crash when the connection is lost in the
  // middle; a core request just fails.
  LayoutPlace LayoutKey(KeySym keysym);
  // Whether the layout types `keysym` as a character: at its first level, or its second with
  // Shift.
  bool LayoutTypes(KeySym keysym);
  // What a key or character needs: its keycode and whether Shift selects its level. `upcoming`
  // is the text to come, for batching scratch keycodes.
  bool ChooseKey(KeySym keysym, bool allowShift, std::string_view upcoming, KeyChoice& choice);
  // The keysyms of the coming text that the layout lacks, in order, up to as many missing from
  // the scratch keycodes as a batch can map.
  std::vector<KeySym> ScratchKeysymsAhead(std::string_view upcoming);
  // Notices layout changes made by others (a MappingNotify this object did not cause) and
  // drops what it knows of the layout and the scratch keycodes.
  void FollowLayoutChanges();

  void Press(KeyCode keycode, bool down);
  void Button(unsigned button, bool down);
  // Ends one operation: waits for the server, checks for X errors and a lost connection, and
  // on such a failure releases everything held. Returns `ok` and whether X succeeded.
  bool Finish(X11ErrorTrap& trap, bool ok);
  // Ends a key transition: flushes without waiting for the server, so typing costs no round
  // trip per character. A lost connection shows at once (false); an X error (which the
  // keycodes sent here cannot cause) is caught by the next operation that waits for the server.
  bool FinishKeyEvent();
  // Releases every held key and button and restores the keymap over `display`, then syncs.
  void ReleaseEverything(Display* display);
  // The same over a connection of its own (for a lost connection or another thread).
  void ReleaseEverythingOnFreshConnection();
  // ReleaseEverything over the host's connection while it is alive, else over a fresh one.
  void ReleaseEverythingOverAnyConnection();
  // Forgets every held key and button once they were released (or cannot be).
  void ForgetHeld();

  // Serialises the posting methods with ReleaseForTermination.
  std::mutex m_mutex;
  X11Connection& m_connection;
  KeycodePool m_pool;
  bool m_layoutLoaded = false;
  // keysym -> its place in the layout; the lowest column wins.
  std::unordered_map<KeySym, LayoutPlace> m_layout;
  std::set<KeyCode> m_heldKeys;
  std::set<unsigned> m_heldButtons;
  // The keycode each keysym held down by PressKey was pressed on, so its release lifts the
  // same key even if the keysym has moved since.
  std::map<KeySym, KeyCode> m_pressedKeysyms;
};

}  // namespace morel_xy::x11
