#include "desktop/wlroots/wayland/screencopy.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cmath>
#include <cstring>

#include "desktop/wlroots/logic/output_layout.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

namespace morel_xy::wlroots {

struct Screencopy::Frame {
  // The shared-memory buffer the compositor offers; format 0 (ARGB8888) is a real format, so
  // whether one was offered is kept apart.
  bool offered = false;
  uint32_t format = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t stride = 0;
  bool buffersDone = false;  // version 3 lists every buffer type before the copy may start
  bool yInverted = false;
  bool ready = false;
  bool failed = false;
};

namespace {

using Frame = Screencopy::Frame;

bool Supported(uint32_t format) {
  return format == WL_SHM_FORMAT_ARGB8888 || format == WL_SHM_FORMAT_XRGB8888 ||
         format == WL_SHM_FORMAT_ABGR8888 || format == WL_SHM_FORMAT_XBGR8888;
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {
    .buffer =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width, uint32_t height,
           uint32_t stride) {
          auto* frame = static_cast<Frame*>(data);
          if (frame->offered && Supported(frame->format)) return;
          frame->offered = true;
          frame->format = format;
          frame->width = width;
          frame->height = height;
          frame->stride = stride;
        },
    .flags =
        [](void* data, zwlr_screencopy_frame_v1*, uint32_t flags) {
          static_cast<Frame*>(data)->yInverted = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
    .ready = [](void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t,
                uint32_t) { static_cast<Frame*>(data)->ready = true; },
    .failed = [](void* data,
                 zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->failed = true; },
    .damage = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {},
    .linux_dmabuf = [](void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {},
    .buffer_done = [](void* data,
                      zwlr_screencopy_frame_v1*) { static_cast<Frame*>(data)->buffersDone = true; },
};

}  // namespace

std::unique_ptr<Screencopy> Screencopy::Create(WaylandConnection& connection,
                                               WaylandOutputs& outputs) {
  if (!connection.globals().screencopyManager || !connection.globals().shm) return nullptr;
  return std::unique_ptr<Screencopy>(new Screencopy(connection, outputs));
}

Screencopy::~Screencopy() {
  ReleaseMemory();
}

void Screencopy::ReleaseMemory() {
  if (m_pool) wl_shm_pool_destroy(m_pool);
  if (m_memory) munmap(m_memory, m_size);
  if (m_fd >= 0) close(m_fd);
  m_pool = nullptr;
  m_memory = nullptr;
  m_size = 0;
  m_fd = -1;
}

bool Screencopy::EnsureMemory(size_t bytes) {
  if (bytes <= m_size) return true;
  ReleaseMemory();
  // The pool's size travels as a 32-bit signed value.
  if (bytes > static_cast<size_t>(INT32_MAX)) return false;
  m_fd = memfd_create("morel-capture", MFD_CLOEXEC);
  if (m_fd < 0) return false;
  if (ftruncate(m_fd, static_cast<off_t>(bytes)) != 0) {
    ReleaseMemory();
    return false;
  }
  m_memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
  if (m_memory == MAP_FAILED) {
    m_memory = nullptr;
    ReleaseMemory();
    return false;
  }
  m_size = bytes;
  m_pool = wl_shm_create_pool(m_connection.globals().shm, m_fd, static_cast<int32_t>(bytes));
  return true;
}

bool Screencopy::Copy(uint32_t outputId, const PixelRect* region, Frame& frame) {
  wl_output* output = m_outputs.Handle(outputId);
  if (!output || !m_connection.alive()) return false;
  zwlr_screencopy_manager_v1* manager = m_connection.globals().screencopyManager;
  zwlr_screencopy_frame_v1* copy =
      region ? zwlr_screencopy_manager_v1_capture_output_region(
                   manager, 0, output, static_cast<int32_t>(region->x),
                   static_cast<int32_t>(region->y), static_cast<int32_t>(region->width),
                   static_cast<int32_t>(region->height))
             : zwlr_screencopy_manager_v1_capture_output(manager, 0, output);
  zwlr_screencopy_frame_v1_add_listener(copy, &kFrameListener, &frame);
  const bool listsBuffers = m_connection.globals().screencopyVersion >= 3;
  bool ok = m_connection.DispatchUntil([&frame, listsBuffers] {
    return frame.failed || (frame.offered && (!listsBuffers || frame.buffersDone));
  });
  const size_t bytes = static_cast<size_t>(frame.stride) * frame.height;
  ok = ok && !frame.failed && Supported(frame.format) && frame.width > 0 && frame.height > 0 &&
       frame.stride >= frame.width * 4 && EnsureMemory(bytes);
  wl_buffer* buffer = nullptr;
  if (ok) {
    buffer = wl_shm_pool_create_buffer(m_pool, 0, static_cast<int32_t>(frame.width),
                                       static_cast<int32_t>(frame.height),
                                       static_cast<int32_t>(frame.stride), frame.format);
    zwlr_screencopy_frame_v1_copy(copy, buffer);
    ok =
        m_connection.DispatchUntil([&frame] { return frame.ready || frame.failed; }) && frame.ready;
  }
  if (buffer) wl_buffer_destroy(buffer);
  zwlr_screencopy_frame_v1_destroy(copy);
  return ok;
}

std::optional<CapturedImage> Screencopy::Capture(uint32_t outputId, const PixelRect& area) {
  const std::optional<OutputInfo> info = m_outputs.Known(outputId);
  if (!info) return std::nullopt;
  const double scale = OutputLayout::Scale(*info);
  const int64_t whole = std::llround(scale);
  // The region, in logical units, whose pixels cover the area; where it starts, in pixels.
  std::optional<PixelRect> region;
  int64_t originX = 0, originY = 0;
  if (whole >= 1 && std::abs(scale - static_cast<double>(whole)) < 1e-9) {
    const int64_t left = area.x / whole, top = area.y / whole;
    const int64_t right = (area.x + area.width + whole - 1) / whole;
    const int64_t bottom = (area.y + area.height + whole - 1) / whole;
    region = PixelRect{left, top, right - left, bottom - top};
    originX = left * whole;
    originY = top * whole;
  }
  Frame frame;
  if (!Copy(outputId, region ? &*region : nullptr, frame)) return std::nullopt;
  // The copy must hold the whole area where it is expected.
  if (static_cast<int64_t>(frame.width) < area.x - originX + area.width ||
      static_cast<int64_t>(frame.height) < area.y - originY + area.height) {
    return std::nullopt;
  }
  CapturedImage image;
  image.width = static_cast<int32_t>(area.width);
  image.height = static_cast<int32_t>(area.height);
  image.bytesPerRow = static_cast<size_t>(area.width) * 4;
  image.bgrx.resize(image.bytesPerRow * static_cast<size_t>(area.height));
  const bool swapRedBlue =
      frame.format == WL_SHM_FORMAT_ABGR8888 || frame.format == WL_SHM_FORMAT_XBGR8888;
  const auto* base = static_cast<const uint8_t*>(m_memory);
  for (int64_t row = 0; row < area.height; ++row) {
    int64_t sourceRow = area.y - originY + row;
    if (frame.yInverted) sourceRow = static_cast<int64_t>(frame.height) - 1 - sourceRow;
    const uint8_t* from = base + static_cast<size_t>(sourceRow) * frame.stride +
                          static_cast<size_t>(area.x - originX) * 4;
    uint8_t* to = image.bgrx.data() + static_cast<size_t>(row) * image.bytesPerRow;
    if (!swapRedBlue) {
      std::memcpy(to, from, image.bytesPerRow);
      continue;
    }
    for (int64_t x = 0; x < area.width; ++x) {
      to[4 * x + 0] = from[4 * x + 2];
      to[4 * x + 1] = from[4 * x + 1];
      to[4 * x + 2] = from[4 * x + 0];
      to[4 * x + 3] = from[4 * x + 3];
    }
  }
  return image;
}

}  // namespace morel_xy::wlroots
