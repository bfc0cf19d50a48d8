#pragma once

#include <memory>

#include "desktop/wlroots/logic/wlroots_ports.h"
#include "desktop/wlroots/wayland/wayland_connection.h"
#include "desktop/wlroots/wayland/wayland_outputs.h"

struct wl_shm_pool;

namespace morel_xy::wlroots {

// Captures through zwlr_screencopy_manager_v1 into shared memory.
//
// With a whole-number scale only the needed area is copied (the protocol takes regions in
// logical units, which then fall on whole pixels); otherwise the whole output is copied and
// cut. The shared-memory file is kept from capture to capture and grown when needed: a fresh
// one each time would make the compositor fault in every page of it again.
class Screencopy final : public ScreenCapturer {
 public:
  // nullptr when the compositor offers no screencopy or no shared memory.
  static std::unique_ptr<Screencopy> Create(WaylandConnection& connection, WaylandOutputs& outputs);
  ~Screencopy() override;
  Screencopy(const Screencopy&) = delete;
  Screencopy& operator=(const Screencopy&) = delete;

  std::optional<CapturedImage> Capture(uint32_t outputId, const PixelRect& area) override;

  struct Frame;

 private:
  Screencopy(WaylandConnection& connection, WaylandOutputs& outputs)
      : m_connection(connection), m_outputs(outputs) {}
  // Copies the output (or the logical `region` of it) into the shared memory; the frame's
  // buffer description and flags on success.
  bool Copy(uint32_t outputId, const PixelRect* region, Frame& frame);
  bool EnsureMemory(size_t bytes);
  void ReleaseMemory();

  WaylandConnection& m_connection;
  WaylandOutputs& m_outputs;
  int m_fd = -1;
  void* m_memory = nullptr;
  size_t m_size = 0;
  wl_shm_pool* m_pool = nullptr;
};

}  // namespace morel_xy::wlroots
