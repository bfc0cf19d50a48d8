#include "impl/displays.h"

#include <charconv>
#include <cmath>

#include "impl/windows.h"
#include "truncation.h"

namespace morel_xy::impl {

namespace detail {

PointRect ToBottomUp(const PointRect& frame, const PointRect& mainFrame) {
  return PointRect{frame.x, (mainFrame.y + mainFrame.height) - (frame.y + frame.height),
                   frame.width, frame.height};
}

std::optional<PixelRect> WindowAreaOnDisplay(const PointRect& windowBounds,
                                             const PointRect& displayFrame, double scale) {
  if (!(std::isfinite(scale) && scale > 0)) return std::nullopt;
  const double left = (windowBounds.x - displayFrame.x) * scale;
  const double top = (windowBounds.y - displayFrame.y) * scale;
  const double right = left + windowBounds.width * scale;
  const double bottom = top + windowBounds.height * scale;
  // Whole pixels covering the area, as an image crop rounds a fractional rectangle outwards.
  constexpr double kLimit = 1e12;
  for (double v : {left, top, right, bottom}) {
    if (!(std::isfinite(v) && std::fabs(v) < kLimit)) return std::nullopt;
  }
  const int64_t x0 = static_cast<int64_t>(std::floor(left));
  const int64_t y0 = static_cast<int64_t>(std::floor(top));
  const int64_t x1 = static_cast<int64_t>(std::ceil(right));
  const int64_t y1 = static_cast<int64_t>(std::ceil(bottom));
  if (x1 <= x0 || y1 <= y0) return std::nullopt;
  return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

}  // namespace detail

std::vector<DisplayInfo> GetDisplayList(Desktop& desktop) {
  const std::vector<DesktopDisplay> displays = desktop.ListDisplays();
  PointRect mainFrame;
  for (const DesktopDisplay& display : displays) {
    if (display.main) mainFrame = display.frame;
  }
  std::vector<DisplayInfo> list;
  list.reserve(displays.size());
  for (const DesktopDisplay& display : displays) {
    DisplayInfo info;
    info.id = std::to_string(display.number);
    info.name = display.name;
    info.isPrimary = display.main;
    info.backingScaleFactor = display.scale;
    info.frame = TruncatedRect(detail::ToBottomUp(display.frame, mainFrame));
    info.visibleFrame = TruncatedRect(detail::ToBottomUp(display.workArea, mainFrame));
    list.push_back(std::move(info));
  }
  return list;
}

double GetScreenBackingScaleFactor(Desktop& desktop) {
  return desktop.ScaleFactor();
}

bool CaptureActiveWindow(Desktop& desktop, const DisplayInfo& display, Bitmap& bitmap) {
  detail::WindowInfo window;
  if (!detail::GetActiveBrowserWindow(desktop, window)) return false;

  uint32_t number = 0;
  const char* idEnd = display.id.data() + display.id.size();
  const auto parsed = std::from_chars(display.id.data(), idEnd, number);
  if (parsed.ec != std::errc() || parsed.ptr != idEnd) return false;

  // The display's position is needed at full precision (its DisplayInfo frames are truncated),
  // so the displays are asked for again; a display gone since the lookup fails the capture.
  std::optional<PointRect> displayFrame;
  for (const DesktopDisplay& candidate : desktop.ListDisplays()) {
    if (candidate.number == number) displayFrame = candidate.frame;
  }
  if (!displayFrame) return false;

  const std::optional<PixelRect> area =
      detail::WindowAreaOnDisplay(window.bounds, *displayFrame, display.backingScaleFactor);
  if (!area) return false;
  const std::optional<CapturedImage> image = desktop.CaptureDisplayArea(number, *area);
  if (!image || image->width <= 0 || image->height <= 0) return false;
  const size_t w = static_cast<size_t>(image->width);
  const size_t h = static_cast<size_t>(image->height);
  if (image->bytesPerRow < 4 * w || image->bgrx.size() < image->bytesPerRow * (h - 1) + 4 * w) {
    return false;
  }

  Bitmap captured;
  captured.width = image->width;
  captured.height = image->height;
  captured.pixels.resize(w * h);
  for (size_t row = 0; row < h; ++row) {
    const uint8_t* from = image->bgrx.data() + row * image->bytesPerRow;
    Color* to = captured.pixels.data() + row * w;
    for (size_t k = 0; k < w; ++k) to[k] = Color{from[4 * k], from[4 * k + 1], from[4 * k + 2]};
  }
  bitmap = std::move(captured);
  return true;
}

}  // namespace morel_xy::impl
