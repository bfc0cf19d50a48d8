#include "desktop/x11/x11_input.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <thread>

#include "desktop/system_clock.h"
#include "desktop/x11/x11_keysyms.h"
#include "desktop/x11/x11_xsettings.h"

namespace morel_xy {
namespace {

// Serialises the posting methods with the signal watcher's clean-up.
std::mutex gInputMutex;
std::set<X11Input*> gLiveInputs;

constexpr double kDefaultDoubleClickSeconds = 0.4;

// X11 coordinates travel as 16-bit values.
int ToXCoordinate(double points, double scale) {
  const double pixels = std::round(points * scale);
  return static_cast<int>(std::clamp(pixels, -32768.0, 32767.0));
}

struct ModifierFlag {
  uint64_t flag;
  KeySym keysym;
};

// Pressed in this order for a chord, released in the reverse order.
constexpr ModifierFlag kModifierFlags[] = {
    {kFlagControl, XK_Control_L},
    {kFlagAlternate, XK_Alt_L},
    {kFlagShift, XK_Shift_L},
    {kFlagCommand, XK_Super_L},
};

bool IsModifierVirtualKey(uint16_t virtualKey) {
  return virtualKey >= 55 && virtualKey <= 59 && virtualKey != 57;
}

}  // namespace

X11Input::X11Input(X11Connection& connection)
    : connection_(connection), pool_([](std::chrono::nanoseconds d) { SleepFor(d); }) {
  // The host paces input in 1 ms steps; the default 50 us timer slack would stretch each one.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::lock_guard<std::mutex> lock(gInputMutex);
  gLiveInputs.insert(this);
}

X11Input::~X11Input() {
  std::lock_guard<std::mutex> lock(gInputMutex);
  gLiveInputs.erase(this);
  ReleaseEverythingOverAnyConnection();
}

void X11Input::ConfigureSyntheticInput() {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return;
  X11ErrorTrap trap(connection_);
  XTestGrabControl(connection_.display(), True);
  trap.Finish();
}

void X11Input::Press(KeyCode keycode, bool down) {
  XTestFakeKeyEvent(connection_.display(), keycode, down ? True : False, CurrentTime);
  if (down) {
    heldKeys_.insert(keycode);
  } else {
    heldKeys_.erase(keycode);
  }
}

void X11Input::Button(unsigned button, bool down) {
  XTestFakeButtonEvent(connection_.display(), button, down ? True : False, CurrentTime);
  if (down) {
    heldButtons_.insert(button);
  } else {
    heldButtons_.erase(button);
  }
}

bool X11Input::Finish(X11ErrorTrap& trap, bool ok) {
  const bool xOk = trap.Finish();
  if (!xOk) ReleaseEverythingOverAnyConnection();
  return ok && xOk;
}

bool X11Input::FinishKeyEvent() {
  XFlush(connection_.display());
  if (!connection_.alive()) {
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
  for (KeyCode keycode : heldKeys_) {
    XTestFakeKeyEvent(display, keycode, False, CurrentTime);
    pool_.MarkReleased(keycode);
  }
  for (unsigned button : heldButtons_) XTestFakeButtonEvent(display, button, False, CurrentTime);
  pool_.Restore(display);
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
  if (connection_.alive()) {
    ReleaseEverything(connection_.display());
  } else {
    ReleaseEverythingOnFreshConnection();
  }
}

void X11Input::ForgetHeld() {
  heldKeys_.clear();
  heldButtons_.clear();
  chordModifiers_.clear();
  unicodePresses_.clear();
}

bool X11Input::PostMouseEvent(const PostedMouseEvent& event) {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return false;
  const double scale = connection_.DesktopScale();
  X11ErrorTrap trap(connection_);
  Display* display = connection_.display();
  // Every event carries its position, as a click elsewhere must not land where the user left
  // the pointer.
  XTestFakeMotionEvent(display, connection_.screen(), ToXCoordinate(event.x, scale),
                       ToXCoordinate(event.y, scale), CurrentTime);
  using T = PlatformMouseEventType;
  switch (event.type) {
    case T::LeftMouseDown:
      Button(1, true);
      break;
    case T::LeftMouseUp:
      Button(1, false);
      break;
    case T::RightMouseDown:
      Button(3, true);
      break;
    case T::RightMouseUp:
      Button(3, false);
      break;
    case T::OtherMouseDown:
      Button(2, true);
      break;
    case T::OtherMouseUp:
      Button(2, false);
      break;
    case T::MouseMoved:
      break;
  }
  return Finish(trap, true);
}

bool X11Input::PostScrollEvent(const PostedScrollEvent& event) {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return false;
  X11ErrorTrap trap(connection_);
  // Positive values scroll up (wheel 1) or left (wheel 2).
  const auto turn = [this](int32_t lines, unsigned positiveButton, unsigned negativeButton) {
    const unsigned button = lines > 0 ? positiveButton : negativeButton;
    const int64_t count = std::min<int64_t>(std::abs(static_cast<int64_t>(lines)), kMaxWheelLines);
    for (int64_t i = 0; i < count; ++i) {
      Button(button, true);
      Button(button, false);
    }
  };
  turn(event.wheel1, 4, 5);
  turn(event.wheel2, 6, 7);
  return Finish(trap, true);
}

X11Input::LayoutPlace X11Input::LayoutKey(KeySym keysym) {
  if (!layoutLoaded_) {
    layoutLoaded_ = true;
    layout_.clear();
    if (const std::optional<CoreKeymap> keymap = ReadCoreKeymap(connection_.display())) {
      for (int column = 0; column < keymap->perKeycode; ++column) {
        for (int keycode = keymap->minKeycode; keycode <= keymap->maxKeycode; ++keycode) {
          const KeySym k = keymap->Row(keycode)[column];
          if (k == NoSymbol || pool_.Contains(static_cast<KeyCode>(keycode))) continue;
          layout_.emplace(k, LayoutPlace{static_cast<KeyCode>(keycode), column});
        }
      }
    }
  }
  const auto found = layout_.find(keysym);
  return found == layout_.end() ? LayoutPlace{} : found->second;
}

void X11Input::FollowLayoutChanges() {
  // Every flush also reads what the server sent, so a MappingNotify is already queued by now;
  // looking at an empty queue costs no system call, unlike asking Xlib to read again.
  if (XEventsQueued(connection_.display(), QueuedAlready) == 0) return;
  XEvent event;
  bool layoutChanged = false;
  bool poolTouched = false;
  while (XCheckTypedEvent(connection_.display(), MappingNotify, &event)) {
    const XMappingEvent& mapping = event.xmapping;
    if (mapping.request != MappingKeyboard) continue;
    // The pool's own remappings touch one pool keycode each.
    if (mapping.count == 1 && pool_.Contains(static_cast<KeyCode>(mapping.first_keycode))) continue;
    layoutChanged = true;
    for (int i = 0; i < mapping.count; ++i) {
      poolTouched |= pool_.Contains(static_cast<KeyCode>(mapping.first_keycode + i));
    }
  }
  if (!layoutChanged) return;
  layoutLoaded_ = false;
  // A change over the pool's keycodes is a new layout: the pool's mappings went with the old.
  if (poolTouched) pool_.Forget();
}

bool X11Input::ChooseKey(KeySym keysym, bool allowShift, KeyChoice& choice) {
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
  const std::optional<KeyChoice> scratch = pool_.Acquire(connection_.display(), keysym);
  if (!scratch || (scratch->withShift && !allowShift)) return false;
  choice = KeyChoice{scratch->keycode, scratch->withShift};
  return true;
}

bool X11Input::PostKeyEvent(const PostedKeyEvent& event) {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return false;
  FollowLayoutChanges();
  const KeySym keysym = KeysymForVirtualKey(event.virtualKey);
  if (keysym == NoSymbol) return false;
  X11ErrorTrap trap(connection_);

  if (IsModifierVirtualKey(event.virtualKey)) {
    // A modifier key pressed or released on its own; its flag is the key itself.
    const KeyCode keycode = LayoutKey(keysym).keycode;
    if (keycode == 0) return Finish(trap, false);
    Press(keycode, event.down);
    return FinishKeyEvent();
  }

  KeyChoice choice;
  if (!ChooseKey(keysym, false, choice)) return Finish(trap, false);

  if (event.down) {
    std::vector<KeyCode>& pressed = chordModifiers_[event.virtualKey];
    for (const ModifierFlag& modifier : kModifierFlags) {
      if ((event.flags & modifier.flag) == 0) continue;
      const KeyCode modifierKeycode = LayoutKey(modifier.keysym).keycode;
      if (modifierKeycode == 0 || heldKeys_.count(modifierKeycode)) continue;
      Press(modifierKeycode, true);
      pressed.push_back(modifierKeycode);
    }
    Press(choice.keycode, true);
    pool_.MarkPressed(choice.keycode);
  } else {
    Press(choice.keycode, false);
    pool_.MarkReleased(choice.keycode);
    if (const auto found = chordModifiers_.find(event.virtualKey); found != chordModifiers_.end()) {
      for (auto it = found->second.rbegin(); it != found->second.rend(); ++it) Press(*it, false);
      chordModifiers_.erase(found);
    }
  }
  return FinishKeyEvent();
}

bool X11Input::PostUnicodeKeyEvent(const PostedUnicodeKeyEvent& event) {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return false;
  FollowLayoutChanges();
  X11ErrorTrap trap(connection_);

  if (!event.down) {
    const auto found = unicodePresses_.find(event.units);
    // A release without its press has nothing to release.
    if (found == unicodePresses_.end()) return Finish(trap, true);
    const KeyChoice press = found->second;
    unicodePresses_.erase(found);
    Press(press.keycode, false);
    pool_.MarkReleased(press.keycode);
    if (press.withShift) Press(LayoutKey(XK_Shift_L).keycode, false);
    return FinishKeyEvent();
  }

  const KeySym keysym = KeysymForCodePoint(CodePointOfUtf16(event.units));
  if (keysym == NoSymbol) return Finish(trap, false);
  KeyChoice choice;
  if (!ChooseKey(keysym, true, choice)) return Finish(trap, false);
  const KeyCode shift = LayoutKey(XK_Shift_L).keycode;
  const bool withShift = choice.withShift && shift != 0 && !heldKeys_.count(shift);
  // A held Shift already gives the level; no Shift key in the layout cannot.
  if (choice.withShift && shift == 0) return Finish(trap, false);
  if (withShift) Press(shift, true);
  Press(choice.keycode, true);
  pool_.MarkPressed(choice.keycode);
  unicodePresses_[event.units] = KeyChoice{choice.keycode, withShift};
  return FinishKeyEvent();
}

double X11Input::DoubleClickInterval() {
  std::lock_guard<std::mutex> lock(gInputMutex);
  if (!connection_.alive()) return kDefaultDoubleClickSeconds;
  X11ErrorTrap trap(connection_);
  const std::optional<int32_t> milliseconds =
      ReadXSettingsInteger(connection_, "Net/DoubleClickTime");
  if (!trap.Finish() || !milliseconds || *milliseconds <= 0 || *milliseconds > 60000) {
    return kDefaultDoubleClickSeconds;
  }
  return *milliseconds / 1000.0;
}

void X11Input::CleanUpOnTerminationSignals() {
  static std::once_flag started;
  std::call_once(started, [] {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
      int signal = 0;
      while (sigwait(&signals, &signal) != 0) {
      }
      // Holding the lock to the end keeps the request thread from posting anything after the
      // clean-up; it waits for a post in progress to finish first.
      gInputMutex.lock();
      for (X11Input* input : gLiveInputs) input->ReleaseEverythingOnFreshConnection();
      _exit(128 + signal);
    }).detach();
  });
}

}  // namespace morel_xy
