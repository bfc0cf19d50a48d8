#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>

#include "desktop/backend.h"
#include "desktop/desktop.h"
#include "desktop/termination_guard.h"
#include "desktop/wlroots/logic/wlroots_keyboard.h"
#include "desktop/wlroots/logic/wlroots_ports.h"

namespace morel_xy::wlroots {

// What a wlroots desktop is made of. Any part may be missing (null) when the compositor does
// not offer it: the methods that need it then fail.
struct WlrootsParts {
  PointerDevice* pointer = nullptr;
  KeyboardDevice* keyboard = nullptr;
  Clipboard* clipboard = nullptr;
  OutputSource* outputs = nullptr;
  ScreenCapturer* capturer = nullptr;
  WindowSource* windows = nullptr;
  std::function<void(std::chrono::nanoseconds)> sleep;
  // Waits until the compositor has handled every request sent (a round trip). A compositor
  // drops what it has not read yet when its client goes away: a release must be handled
  // before the process ends.
  std::function<bool()> sync;
  // Owns the objects above; released after the desktop let go of everything it held.
  std::shared_ptr<void> owner;
};

// The desktop of a wlroots compositor: input through its virtual pointer and keyboard, the
// displays from its outputs, captures by screencopy, and the windows from sway's IPC. Input
// left pressed is released when it is destroyed and, through the guard it owns, when a signal
// ends the process.
//
// Positions cross in global points (the layout's logical coordinates, origin at the main
// output's top-left corner). Input devices need a moment after they are made before the
// compositor passes their events on: the first input waits until kDeviceWarmUp has passed
// since the desktop was made, and sends one event that changes nothing.
//
// Thread-safety: one request thread calls the Desktop methods; the guard's release comes from
// the thread that watches for termination signals and waits for a method in progress.
class WlrootsDesktop final : public Desktop {
 public:
  static constexpr std::chrono::milliseconds kDeviceWarmUp{200};

  explicit WlrootsDesktop(WlrootsParts parts);
  ~WlrootsDesktop() override;

  bool MovePointer(Point at) override;
  bool PressButton(PointerButton button, bool down, Point at) override;
  bool Scroll(int32_t vertical, int32_t horizontal) override;
  bool PressKey(Keysym keysym, bool down) override;
  bool TypeCharacter(char32_t character, std::string_view upcoming) override;
  void Sleep(std::chrono::nanoseconds duration) override;
  std::optional<std::vector<TopLevelWindow>> ListOnScreenWindows() override;
  std::vector<DesktopDisplay> ListDisplays() override;
  std::optional<CapturedImage> CaptureDisplayArea(uint32_t displayNumber,
                                                  const PixelRect& area) override;

  // Which part a capability lacks: the protocol the compositor does not offer, or sway's IPC;
  // empty when every part it needs is there.
  std::string Missing(Capability capability);

 private:
  // Waits out the devices' warm-up, once.
  void WarmUpDevices();
  bool MoveTo(Point at);
  // Releases held buttons and keys and gives the clipboard back; `m_mutex` held.
  void ReleaseHeldLocked();

  std::mutex m_mutex;
  WlrootsParts m_parts;
  std::unique_ptr<WlrootsKeyboard> m_keyboard;
  std::chrono::steady_clock::time_point m_madeAt;
  bool m_warmedUp = false;
  bool m_keyboardStarted = false;
  std::optional<Point> m_pointerAt;
  std::set<uint32_t> m_heldButtons;
  // Declared last, so it is gone before the parts its release uses. The release keeps the lock:
  // nothing is pressed after it.
  TerminationGuard m_guard{[this] {
    m_mutex.lock();
    ReleaseHeldLocked();
  }};
};

}  // namespace morel_xy::wlroots
