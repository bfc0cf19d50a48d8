#pragma once

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/desktop.h"
#include "desktop/x11/x11_connection.h"
#include "desktop/x11/x11_keycode_pool.h"

namespace morel_xy {

// Synthetic input through XTest.
//
// Positions arrive in points and are posted in X pixels (points x the desktop scale). Virtual
// keys become the keys of the current layout; Unicode characters the layout has no key for are
// typed through scratch keycodes (KeycodePool). Every event is flushed to the server at once,
// so the host's pacing is the pacing clients see.
//
// Nothing stays pressed: the keys and buttons this object holds down are released, and the
// scratch keycodes put back, when it is destroyed, when SIGTERM, SIGINT or SIGHUP ends the
// process (see CleanUpOnTerminationSignals), and when an X error or a lost connection
// interrupts a sequence; the failed operation then returns false and later ones carry on.
//
// Thread-safety: the posting methods are called from the host's request thread; the signal
// watcher takes the same lock to clean up.
class X11Input {
 public:
  explicit X11Input(X11Connection& connection);
  ~X11Input();
  X11Input(const X11Input&) = delete;
  X11Input& operator=(const X11Input&) = delete;

  // Lets synthetic input through while another client grabs the server. Nothing else changes.
  void ConfigureSyntheticInput();
  // A move to the event's position, then the button transition (if any). False on X failure.
  bool PostMouseEvent(const PostedMouseEvent& event);
  // One press and release of button 4/5 (wheel 1) or 6/7 (wheel 2) per line; wheel 3 has no
  // X counterpart. At most kMaxWheelLines per wheel and event.
  bool PostScrollEvent(const PostedScrollEvent& event);
  // One transition of a virtual key. On a key-down, the modifier keys of `event.flags` that are
  // not already held are pressed first; the key-up releases them after the key. False for a
  // code outside the host's key vocabulary, or on X failure.
  bool PostKeyEvent(const PostedKeyEvent& event);
  // Presses or releases the key typing `event.units` (one character). False when the units are
  // not one character, no key can type it, or on X failure.
  bool PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& event);
  // The XSETTINGS Net/DoubleClickTime in seconds, 0.4 when no settings manager publishes it.
  double DoubleClickInterval();

  // Blocks SIGTERM, SIGINT and SIGHUP in the calling thread (call it from the main thread
  // before any other thread starts) and starts a thread that, on such a signal, releases what
  // the live X11Input holds on a connection of its own, restores its keymap, and ends the
  // process with 128 + the signal number. Later calls do nothing.
  static void CleanUpOnTerminationSignals();

  static constexpr int kMaxWheelLines = 1000;

 private:
  // What a character or key needs: its keycode and whether Shift selects its level.
  bool ChooseKey(KeySym keysym, bool allowShift, KeyChoice& choice);
  // Where the layout has `keysym`: its keycode (0 when nowhere) and the column of the core
  // mapping (0 plain, 1 with Shift, higher for other groups and levels).
  struct LayoutPlace {
    KeyCode keycode = 0;
    int column = 0;
  };
  //
  // The layout is read with plain core requests and kept here, rather than through Xlib's
  // keysym functions: those load XKB state lazily and crash when the connection is lost in the
  // middle; a core request just fails.
  LayoutPlace LayoutKey(KeySym keysym);
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
  // Forgets every held key, button and chord once they were released (or cannot be).
  void ForgetHeld();

  X11Connection& connection_;
  KeycodePool pool_;
  bool layoutLoaded_ = false;
  // keysym -> its place in the layout; the lowest column wins.
  std::unordered_map<KeySym, LayoutPlace> layout_;
  std::set<KeyCode> heldKeys_;
  std::set<unsigned> heldButtons_;
  // Modifier keycodes pressed for the key-down of a virtual key, released with its key-up.
  std::map<uint16_t, std::vector<KeyCode>> chordModifiers_;
  // The key pressed for each character held down, and whether Shift was pressed with it.
  std::map<std::u16string, KeyChoice> unicodePresses_;
};

}  // namespace morel_xy
