#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct zwlr_virtual_pointer_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_screencopy_manager_v1;
struct zxdg_output_manager_v1;

namespace morel_xy::wlroots {

// One connection to the Wayland compositor and the globals the wlroots desktop uses.
//
// Every wait is bounded: a compositor that stops answering makes the call fail after
// kTimeout, and one that is gone makes every later call fail at once. Nothing here writes to
// stdout or stderr.
//
// Not thread-safe; one thread uses a connection.
class WaylandConnection {
 public:
  static constexpr std::chrono::milliseconds kTimeout{2000};

  struct Globals {
    wl_seat* seat = nullptr;
    wl_shm* shm = nullptr;
    zwlr_virtual_pointer_manager_v1* pointerManager = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboardManager = nullptr;
    zwlr_data_control_manager_v1* dataControlManager = nullptr;
    zwlr_screencopy_manager_v1* screencopyManager = nullptr;
    uint32_t screencopyVersion = 0;
    zxdg_output_manager_v1* xdgOutputManager = nullptr;
    uint32_t xdgOutputVersion = 0;
  };

  // An output global: its registry name and version.
  struct OutputGlobal {
    uint32_t name = 0;
    uint32_t version = 0;
  };

  // Connects to the compositor named by WAYLAND_DISPLAY (or `displayName` when given) and
  // learns its globals. nullptr, with the reason in `why`, when none answers.
  static std::unique_ptr<WaylandConnection> Open(std::string* why,
                                                 const char* displayName = nullptr);
  ~WaylandConnection();
  WaylandConnection(const WaylandConnection&) = delete;
  WaylandConnection& operator=(const WaylandConnection&) = delete;

  wl_display* display() const { return m_display; }
  wl_registry* registry() const { return m_registry; }
  const Globals& globals() const { return m_globals; }
  // False once the compositor is gone or broke the connection.
  bool alive() const;

  // Sends every queued request. False when the connection is lost or the compositor stops
  // reading for `timeout`.
  bool Flush(std::chrono::milliseconds timeout = kTimeout);
  // Dispatches events until `done()` holds. False on a lost connection or after `timeout`.
  bool DispatchUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds timeout = kTimeout);
  // Waits until the compositor has handled every request sent so far, and dispatches the
  // events it sent meanwhile.
  bool Roundtrip(std::chrono::milliseconds timeout = kTimeout);

  // Output globals are announced and withdrawn at any time; `observer` hears of those known
  // already at once, then of every change while events are dispatched.
  void WatchOutputs(std::function<void(OutputGlobal, bool added)> observer);

 private:
  WaylandConnection() = default;
  static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
  static void OnGlobalRemove(void* data, wl_registry* registry, uint32_t name);
  bool Lose();

  wl_display* m_display = nullptr;
  wl_registry* m_registry = nullptr;
  Globals m_globals;
  bool m_lost = false;
  std::vector<OutputGlobal> m_outputs;
  std::function<void(OutputGlobal, bool)> m_outputObserver;
};

// Milliseconds of the monotonic clock, as input events carry them.
uint32_t EventTime();

}  // namespace morel_xy::wlroots
