#include "actions/displays.h"

#include <cmath>

#include "actions/truncation.h"
#include "actions/windows.h"

namespace morel_xy {
namespace detail {
namespace {

bool Contains(const PointRect& r, Point p) {
  return r.x <= p.x && p.x < r.x + r.width && r.y <= p.y && p.y < r.y + r.height;
}

}  // namespace

const DesktopDisplay* MainDisplay(const std::vector<DesktopDisplay>& displays) {
  for (const DesktopDisplay& display : displays) {
    if (display.main) return &display;
  }
  return nullptr;
}

PointRect ToBottomUp(const PointRect& frame, const PointRect& mainFrame) {
  return PointRect{frame.x, (mainFrame.y + mainFrame.height) - (frame.y + frame.height),
                   frame.width, frame.height};
}

DisplayInfo ToDisplayInfo(const DesktopDisplay& display,
                          const std::vector<DesktopDisplay>& displays) {
  const DesktopDisplay* main = MainDisplay(displays);
  const PointRect mainFrame = main ? main->frame : PointRect{};
  DisplayInfo info;
  info.id = std::to_string(display.number);
  info.name = display.name;
  info.isPrimary = display.main;
  info.backingScaleFactor = display.scale;
  info.frame = TruncatedRect(ToBottomUp(display.frame, mainFrame));
  info.visibleFrame = TruncatedRect(ToBottomUp(display.workArea, mainFrame));
  return info;
}

const DesktopDisplay* FindDisplay(const std::vector<DesktopDisplay>& displays,
                                  std::string_view id) {
  if (id.empty()) return MainDisplay(displays);
  for (const DesktopDisplay& display : displays) {
    if (std::to_string(display.number) == id) return &display;
  }
  return nullptr;
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
  std::vector<DisplayInfo> list;
  list.reserve(displays.size());
  for (const DesktopDisplay& display : displays) {
    list.push_back(detail::ToDisplayInfo(display, displays));
  }
  return list;
}

double GetScreenBackingScaleFactor(Desktop& desktop, const ProcessTable& processes) {
  const std::vector<DesktopDisplay> displays = desktop.ListDisplays();
  if (displays.empty()) return 0.0;
  if (const std::optional<detail::WindowInfo> window =
          detail::GetActiveBrowserWindow(desktop, processes)) {
    const Point middle{window->bounds.x + window->bounds.width / 2,
                       window->bounds.y + window->bounds.height / 2};
    for (const DesktopDisplay& display : displays) {
      if (detail::Contains(display.frame, middle)) return display.scale;
    }
  }
  const DesktopDisplay* main = detail::MainDisplay(displays);
  return (main ? *main : displays.front()).scale;
}

std::optional<WindowCapture> CaptureActiveWindow(Desktop& desktop, const ProcessTable& processes,
                                                 const DesktopDisplay& display) {
  const std::optional<detail::WindowInfo> window =
      detail::GetActiveBrowserWindow(desktop, processes);
  if (!window) return std::nullopt;
  const std::optional<PixelRect> area =
      detail::WindowAreaOnDisplay(window->bounds, display.frame, display.scale);
  if (!area) return std::nullopt;
  const std::optional<CapturedImage> image = desktop.CaptureDisplayArea(display.number, *area);
  if (!image || image->width <= 0 || image->height <= 0) return std::nullopt;
  const size_t w = static_cast<size_t>(image->width);
  const size_t h = static_cast<size_t>(image->height);
  if (image->bytesPerRow < 4 * w || image->bgrx.size() < image->bytesPerRow * (h - 1) + 4 * w) {
    return std::nullopt;
  }

  WindowCapture capture;
  capture.offsetX = image->area.x - area->x;
  capture.offsetY = image->area.y - area->y;
  Bitmap& bitmap = capture.bitmap;
  bitmap.width = image->width;
  bitmap.height = image->height;
  bitmap.pixels.resize(w * h);
  for (size_t row = 0; row < h; ++row) {
    const uint8_t* from = image->bgrx.data() + row * image->bytesPerRow;
    Color* to = bitmap.pixels.data() + row * w;
    for (size_t k = 0; k < w; ++k) to[k] = Color{from[4 * k], from[4 * k + 1], from[4 * k + 2]};
  }
  return capture;
}

}  // namespace morel_xy
