#include "desktop/x11/x11_input.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <utf8.h>

#include <algorithm>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "desktop/keysyms.h"
#include "desktop/sleep_for.h"
#include "desktop/utf8_reading.h"

namespace morel_xy::x11 {
namespace {

// How far ahead a missing character looks for others to map with it: enough to fill every
// scratch keycode in any real text, little enough that a huge text costs nothing.
constexpr size_t kLookAheadCharacters = 512;

}  // namespace

X11Input::X11Input(X11Connection& connection, std::chrono::milliseconds keymapSettleTime)
    : m_connection(connection),
      m_pool([](std::chrono::nanoseconds d) { SleepFor(d); }, keymapSettleTime) {
  // The host paces input in 1 ms steps; the default 50 us timer slack would stretch each one.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

X11Input::~X11Input() {
  std::lock_guard<std::mutex> lock(m_mutex);
  ReleaseEverythingOverAnyConnection();
}

void X11Input::ConfigureSyntheticInput() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return;
  X11ErrorTrap trap(m_connection);
  XTestGrabControl(m_connection.display(), True);
  trap.Finish();
}

void X11Input::Press(KeyCode keycode, bool down) {
  XTestFakeKeyEvent(m_connection.display(), keycode, down ? True : False, CurrentTime);
  if (down) {
    m_heldKeys.insert(keycode);
  } else {
    m_heldKeys.erase(keycode);
  }
}

void X11Input::Button(unsigned button, bool down) {
  XTestFakeButtonEvent(m_connection.display(), button, down ? True : False, CurrentTime);
  if (down) {
    m_heldButtons.insert(button);
  } else {
    m_heldButtons.erase(button);
  }
}

bool X11Input::Finish(X11ErrorTrap& trap, bool ok) {
  const bool xOk = trap.Finish();
  if (!xOk) ReleaseEverythingOverAnyConnection();
  return ok && xOk;
}

bool X11Input::FinishKeyEvent() {
  XFlush(m_connection.display());
  if (!m_connection.alive()) {
    ReleaseEverythingOnFreshConnection();
    return false;
  }
  return true;
}

void X11Input::ReleaseEverything(Display* display) {
  // Best effort: `display` may belong to another thread's fresh connection, so no trap on the
  // host's own connection here; errors only count against operations already failing.
  // A scratch keycode may be held for a character or for a virtual key the layout lacks; either
  // way the pool must see it released, or it stays out of use for the rest of the session.
  for (KeyCode keycode : m_heldKeys) {
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    m_pool.MarkReleased(keycode);
  }
  for (unsigned button : m_heldButtons) XTestFakeButtonEvent(display, button, False, CurrentTime);
  m_pool.Restore(display);
  XSync(display, False);
  ForgetHeld();
}

void X11Input::ReleaseEverythingOnFreshConnection() {
  std::unique_ptr<X11Connection> fresh = X11Connection::Open();
  if (fresh && fresh->alive()) {
    ReleaseEverything(fresh->display());
    return;
  }
  // No server to talk to: nothing can stay pressed on it either.
  ForgetHeld();
}

void X11Input::ReleaseEverythingOverAnyConnection() {
  if (m_connection.alive()) {
    ReleaseEverything(m_connection.display());
  } else {
    ReleaseEverythingOnFreshConnection();
  }
}

void X11Input::ForgetHeld() {
  m_heldKeys.clear();
  m_heldButtons.clear();
  m_pressedKeysyms.clear();
}

bool X11Input::MovePointer(RootPoint at) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return false;
  X11ErrorTrap trap(m_connection);
  XTestFakeMotionEvent(m_connection.display(), m_connection.screen(), at.x, at.y, CurrentTime);
  return Finish(trap, true);
}

bool X11Input::PressButton(unsigned button, bool down, RootPoint at) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return false;
  X11ErrorTrap trap(m_connection);
  // Every button event carries its position, as a click elsewhere must not land where the
  // user left the pointer.
  XTestFakeMotionEvent(m_connection.display(), m_connection.screen(), at.x, at.y, CurrentTime);
  Button(button, down);
  return Finish(trap, true);
}

bool X11Input::Scroll(int32_t vertical, int32_t horizontal) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return false;
  X11ErrorTrap trap(m_connection);
  // Positive values scroll up or left.
  const auto turn = [this](int32_t lines, unsigned positiveButton, unsigned negativeButton) {
    const unsigned button = lines > 0 ? positiveButton : negativeButton;
    const int64_t count = std::abs(static_cast<int64_t>(lines));
    for (int64_t i = 0; i < count; ++i) {
      Button(button, true);
      Button(button, false);
    }
  };
  turn(vertical, 4, 5);
  turn(horizontal, 6, 7);
  return Finish(trap, true);
}

X11Input::LayoutPlace X11Input::LayoutKey(KeySym keysym) {
  if (!m_layoutLoaded) {
    m_layoutLoaded = true;
    m_layout.clear();
    if (const std::optional<CoreKeymap> keymap = ReadCoreKeymap(m_connection.display())) {
      for (int column = 0; column < keymap->perKeycode; ++column) {
        for (int keycode = keymap->minKeycode; keycode <= keymap->maxKeycode; ++keycode) {
          const KeySym k = keymap->Row(keycode)[column];
          if (k == NoSymbol || m_pool.Contains(static_cast<KeyCode>(keycode))) continue;
          m_layout.emplace(k, LayoutPlace{static_cast<KeyCode>(keycode), column});
        }
      }
    }
  }
  const auto found = m_layout.find(keysym);
  return found == m_layout.end() ? LayoutPlace{} : found->second;
}

bool X11Input::LayoutTypes(KeySym keysym) {
  const LayoutPlace place = LayoutKey(keysym);
  return place.keycode != 0 && place.column <= 1;
}

void X11Input::FollowLayoutChanges() {
  // Every flush also reads what the server sent, so a MappingNotify is already queued by now;
  // looking at an empty queue costs no system call, unlike asking Xlib to read again.
  if (XEventsQueued(m_connection.display(), QueuedAlready) == 0) return;
  XEvent event;
  bool layoutChanged = false;
  bool poolTouched = false;
  while (XCheckTypedEvent(m_connection.display(), MappingNotify, &event)) {
    const XMappingEvent& mapping = event.xmapping;
    if (mapping.request != MappingKeyboard) continue;
    // The pool's own remappings touch one pool keycode each.
    if (mapping.count == 1 && m_pool.Contains(static_cast<KeyCode>(mapping.first_keycode)))
      continue;
    layoutChanged = true;
    for (int i = 0; i < mapping.count; ++i) {
      poolTouched |= m_pool.Contains(static_cast<KeyCode>(mapping.first_keycode + i));
    }
  }
  if (!layoutChanged) return;
  m_layoutLoaded = false;
  // A change over the pool's keycodes is a new layout: the pool's mappings went with the old.
  if (poolTouched) m_pool.Forget();
}

std::vector<KeySym> X11Input::ScratchKeysymsAhead(std::string_view upcoming) {
  // Each keycode holds two characters: more distinct ones than that cannot be in one batch.
  const size_t wanted = 2 * m_pool.Capacity(m_connection.display());
  std::vector<KeySym> ahead;
  std::unordered_set<KeySym> seen;
  auto it = upcoming.begin();
  for (size_t n = 0; n < kLookAheadCharacters && it != upcoming.end() && ahead.size() < wanted;
       ++n) {
    // The text was checked before typing began; a cut-short tail just ends the look-ahead.
    const std::optional<char32_t> codePoint = NextCodePoint(it, upcoming.end());
    if (!codePoint) break;
    const KeySym keysym = KeysymForCodePoint(*codePoint);
    if (keysym == NoSymbol || LayoutTypes(keysym) || !seen.insert(keysym).second) continue;
    ahead.push_back(keysym);
  }
  return ahead;
}

bool X11Input::ChooseKey(KeySym keysym, bool allowShift, std::string_view upcoming,
                         KeyChoice& choice) {
  const LayoutPlace place = LayoutKey(keysym);
  if (place.keycode != 0) {
    // A key is its keycode whatever level the layout puts the keysym on. A character is typed
    // from the layout only at the first level, or at the second with Shift.
    if (!allowShift || place.column == 0) {
      choice = KeyChoice{place.keycode, false};
      return true;
    }
    if (place.column == 1) {
      choice = KeyChoice{place.keycode, true};
      return true;
    }
  }
  std::optional<KeyChoice> scratch = m_pool.Find(keysym);
  if (!scratch || (scratch->withShift && !allowShift)) {
    const std::vector<KeySym> ahead =
        allowShift ? ScratchKeysymsAhead(upcoming) : std::vector<KeySym>{};
    scratch = m_pool.Acquire(m_connection.display(), keysym, !allowShift, ahead);
  }
  if (!scratch || (scratch->withShift && !allowShift)) return false;
  choice = *scratch;
  return true;
}

bool X11Input::PressKey(KeySym keysym, bool down) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return false;
  FollowLayoutChanges();
  X11ErrorTrap trap(m_connection);

  if (!down) {
    // The key this keysym went down on; a release without its press lifts the keysym's key.
    if (const auto found = m_pressedKeysyms.find(keysym); found != m_pressedKeysyms.end()) {
      const KeyCode keycode = found->second;
      m_pressedKeysyms.erase(found);
      Press(keycode, false);
      m_pool.MarkReleased(keycode);
      return FinishKeyEvent();
    }
  }

  KeyChoice choice;
  if (IsModifierKey(keysym)) {
    // A modifier is only ever the layout's own: a scratch keycode would carry no modifier.
    choice.keycode = LayoutKey(keysym).keycode;
    if (choice.keycode == 0) return Finish(trap, false);
  } else if (!ChooseKey(keysym, false, {}, choice)) {
    return Finish(trap, false);
  }
  Press(choice.keycode, down);
  if (down) {
    m_pool.MarkPressed(choice.keycode);
    m_pressedKeysyms[keysym] = choice.keycode;
  } else {
    m_pool.MarkReleased(choice.keycode);
  }
  return FinishKeyEvent();
}

bool X11Input::TypeCharacter(char32_t character, std::string_view upcoming) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return false;
  FollowLayoutChanges();
  X11ErrorTrap trap(m_connection);

  const KeySym keysym = KeysymForCodePoint(character);
  if (keysym == NoSymbol) return Finish(trap, false);
  KeyChoice choice;
  if (!ChooseKey(keysym, true, upcoming, choice)) return Finish(trap, false);
  const KeyCode shift = LayoutKey(XK_Shift_L).keycode;
  // A held Shift already gives the level; no Shift key in the layout cannot.
  if (choice.withShift && shift == 0) return Finish(trap, false);
  const bool pressShift = choice.withShift && !m_heldKeys.count(shift);
  if (pressShift) Press(shift, true);
  Press(choice.keycode, true);
  Press(choice.keycode, false);
  m_pool.MarkReleased(choice.keycode);
  if (pressShift) Press(shift, false);
  if (!FinishKeyEvent()) return false;
  // While the coming keys are typed, scratch keycodes whose quiet time is over take what the
  // text will need next, so that fewer characters have to wait for a mapping.
  if (m_pool.InUse()) m_pool.Refill(m_connection.display(), ScratchKeysymsAhead(upcoming));
  return true;
}

void X11Input::ReleaseForTermination() {
  // Kept locked to the end: the request thread posts nothing after the release; it waits for a
  // post in progress to finish first. The host's connection belongs to that thread, so the
  // release goes over a connection of its own.
  m_mutex.lock();
  ReleaseEverythingOnFreshConnection();
}

std::string X11Input::MissingModifierKeys() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return "the X server is gone";
  FollowLayoutChanges();
  std::string missing;
  for (const KeySym keysym : {XK_Control_L, XK_Alt_L, XK_Shift_L, XK_Super_L}) {
    if (LayoutKey(keysym).keycode != 0) continue;
    if (!missing.empty()) missing += ", ";
    missing += XKeysymToString(keysym);
  }
  return missing;
}

size_t X11Input::ScratchKeycodes() {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (!m_connection.alive()) return 0;
  return m_pool.Capacity(m_connection.display());
}

}  // namespace morel_xy::x11
