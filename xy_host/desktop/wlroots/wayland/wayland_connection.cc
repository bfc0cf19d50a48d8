#include "desktop/wlroots/wayland/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "desktop/poll_timeout.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {
namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

uint32_t EventTime() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000 +
                               static_cast<uint64_t>(now.tv_nsec) / 1000000);
}

std::unique_ptr<WaylandConnection> WaylandConnection::Open(std::string* why,
                                                           const char* displayName) {
  std::unique_ptr<WaylandConnection> connection(new WaylandConnection());
  connection->m_display = wl_display_connect(displayName);
  if (!connection->m_display) {
    if (why) *why = "no Wayland compositor answers (WAYLAND_DISPLAY)";
    return nullptr;
  }
  connection->m_registry = wl_display_get_registry(connection->m_display);
  static const wl_registry_listener listener = {
      .global = &WaylandConnection::OnGlobal,
      .global_remove = &WaylandConnection::OnGlobalRemove,
  };
  wl_registry_add_listener(connection->m_registry, &listener, connection.get());
  if (!connection->Roundtrip()) {
    if (why) *why = "the Wayland compositor did not answer";
    return nullptr;
  }
  return connection;
}

WaylandConnection::~WaylandConnection() {
  if (!m_display) return;
  const Globals& g = m_globals;
  if (g.pointerManager) zwlr_virtual_pointer_manager_v1_destroy(g.pointerManager);
  if (g.keyboardManager) zwp_virtual_keyboard_manager_v1_destroy(g.keyboardManager);
  if (g.dataControlManager) zwlr_data_control_manager_v1_destroy(g.dataControlManager);
  if (g.screencopyManager) zwlr_screencopy_manager_v1_destroy(g.screencopyManager);
  if (g.xdgOutputManager) zxdg_output_manager_v1_destroy(g.xdgOutputManager);
  if (g.shm) wl_shm_destroy(g.shm);
  if (g.seat) wl_seat_destroy(g.seat);
  if (m_registry) wl_registry_destroy(m_registry);
  if (alive()) Flush(std::chrono::milliseconds(200));
  wl_display_disconnect(m_display);
}

void WaylandConnection::OnGlobal(void* data, wl_registry* registry, uint32_t name,
                                 const char* interface, uint32_t version) {
  auto* self = static_cast<WaylandConnection*>(data);
  Globals& g = self->m_globals;
  const auto bind = [&](const wl_interface* type, uint32_t highest) {
    return wl_registry_bind(registry, name, type, std::min(version, highest));
  };
  const std::string_view is(interface);
  if (is == wl_seat_interface.name && !g.seat) {
    g.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 1));
  } else if (is == wl_shm_interface.name && !g.shm) {
    g.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
  } else if (is == zwlr_virtual_pointer_manager_v1_interface.name && !g.pointerManager) {
    g.pointerManager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        bind(&zwlr_virtual_pointer_manager_v1_interface, 2));
  } else if (is == zwp_virtual_keyboard_manager_v1_interface.name && !g.keyboardManager) {
    g.keyboardManager = static_cast<zwp_virtual_keyboard_manager_v1*>(
        bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
  } else if (is == zwlr_data_control_manager_v1_interface.name && !g.dataControlManager) {
    // Version 1: the regular selection only, no primary-selection events to answer.
    g.dataControlManager = static_cast<zwlr_data_control_manager_v1*>(
        bind(&zwlr_data_control_manager_v1_interface, 1));
  } else if (is == zwlr_screencopy_manager_v1_interface.name && !g.screencopyManager) {
    g.screencopyVersion = std::min(version, 3u);
    g.screencopyManager =
        static_cast<zwlr_screencopy_manager_v1*>(bind(&zwlr_screencopy_manager_v1_interface, 3));
  } else if (is == zxdg_output_manager_v1_interface.name && !g.xdgOutputManager) {
    g.xdgOutputVersion = std::min(version, 3u);
    g.xdgOutputManager =
        static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
  } else if (is == wl_output_interface.name) {
    const OutputGlobal output{name, version};
    self->m_outputs.push_back(output);
    if (self->m_outputObserver) self->m_outputObserver(output, true);
  }
}

void WaylandConnection::OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
  auto* self = static_cast<WaylandConnection*>(data);
  const auto found = std::find_if(self->m_outputs.begin(), self->m_outputs.end(),
                                  [name](const OutputGlobal& o) { return o.name == name; });
  if (found == self->m_outputs.end()) return;
  const OutputGlobal output = *found;
  self->m_outputs.erase(found);
  if (self->m_outputObserver) self->m_outputObserver(output, false);
}

void WaylandConnection::WatchOutputs(std::function<void(OutputGlobal, bool)> observer) {
  m_outputObserver = std::move(observer);
  if (!m_outputObserver) return;
  for (const OutputGlobal& output : m_outputs) m_outputObserver(output, true);
}

bool WaylandConnection::alive() const {
  return m_display && !m_lost && wl_display_get_error(m_display) == 0;
}

bool WaylandConnection::Lose() {
  m_lost = true;
  return false;
}

bool WaylandConnection::Flush(std::chrono::milliseconds timeout) {
  if (!alive()) return false;
  const Clock::time_point deadline = Clock::now() + timeout;
  while (wl_display_flush(m_display) < 0) {
    if (errno != EAGAIN) return Lose();
    // The compositor is not reading: wait for room, but not for ever.
    pollfd p{wl_display_get_fd(m_display), POLLOUT, 0};
    const int ready = poll(&p, 1, PollTimeout(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    if (p.revents & (POLLERR | POLLHUP)) return Lose();
  }
  return alive() || Lose();
}

bool WaylandConnection::DispatchUntil(const std::function<bool()>& done,
                                      std::chrono::milliseconds timeout) {
  if (!alive()) return false;
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    if (wl_display_dispatch_pending(m_display) < 0) return Lose();
    if (done()) return true;
    if (!Flush(std::chrono::milliseconds(PollTimeout(deadline)))) return false;
    if (wl_display_prepare_read(m_display) != 0) continue;
    pollfd p{wl_display_get_fd(m_display), POLLIN, 0};
    const int ready = poll(&p, 1, PollTimeout(deadline));
    if (ready <= 0) {
      wl_display_cancel_read(m_display);
      if (ready < 0 && errno == EINTR) continue;
      return ready < 0 ? Lose() : false;
    }
    if (wl_display_read_events(m_display) < 0) return Lose();
  }
}

bool WaylandConnection::Roundtrip(std::chrono::milliseconds timeout) {
  if (!alive()) return false;
  bool done = false;
  wl_callback* callback = wl_display_sync(m_display);
  static const wl_callback_listener listener = {
      .done = [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; },
  };
  wl_callback_add_listener(callback, &listener, &done);
  const bool ok = DispatchUntil([&done] { return done; }, timeout);
  wl_callback_destroy(callback);
  return ok;
}

}  // namespace morel_xy::wlroots
