#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "desktop/desktop.h"

namespace morel_xy::kwin {

// What org.kde.KWin.ScreenShot2 says of the pixels it wrote to the caller's pipe: the reply's
// "type", "width", "height", "stride" and "format" (a QImage format). Its "scale" is the
// display's, which the caller already has (RequestFor).
struct ScreenShot2Frame {
  std::string type;  // "raw" for pixels
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t stride = 0;  // bytes from one row to the next
  uint32_t format = 0;
};

// KWin's CaptureArea takes a rectangle in its global logical coordinates and, asked for the
// native resolution, returns the device pixels of it. For `area` (device pixels from the
// top-left corner of a display whose frame in KWin's coordinates is `display`, at `scale`):
// the whole logical rectangle that covers it, and where the area lies in what comes back.
struct CaptureRequest {
  int64_t x = 0;  // logical, global
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;
  PixelRect keep;  // device pixels of the reply that are the area
};
CaptureRequest RequestFor(const PointRect& display, double scale, const PixelRect& area);

// The `keep` part of a reply's pixels (`bytes`, all that was read from the pipe), clipped to
// them, as the seam's image: B, G, R, x bytes, rows `width * 4` apart, its `area` its own
// size at 0, 0 for the caller to place. Formats RGB32 (4), ARGB32 (5) and ARGB32 premultiplied (6)
// are B, G, R, A in memory; RGBX8888 (16), RGBA8888 (17) and RGBA8888 premultiplied (18) are R, G,
// B, A; a premultiplied colour is divided back by its alpha. nullopt, with *error saying why, for
// another type or format, a stride shorter than a row, fewer bytes than the frame holds, or
// nothing of `keep` inside the frame.
std::optional<CapturedImage> ImageFromScreenShot2(const ScreenShot2Frame& frame,
                                                  std::span<const uint8_t> bytes,
                                                  const PixelRect& keep, std::string* error);

}  // namespace morel_xy::kwin
