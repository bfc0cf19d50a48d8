#include "impl/displays.h"

#include <charconv>
#include <cmath>

#include "impl/desktop_access.h"
#include "impl/windows.h"
#include "truncation.h"

namespace morel_xy::impl {
namespace {

const Screen* FindScreen(const std::vector<Screen>& screens, uint32_t number) {
  for (const Screen& screen : screens) {
    if (screen.displayNumber == number) return &screen;
  }
  return nullptr;
}

}  // namespace

std::vector<DisplayInfo> GetDisplayList() {
  Desktop& desktop = GetDesktop();
  const uint32_t mainNumber = desktop.MainDisplayNumber();
  std::vector<DisplayInfo> list;
  for (const Screen& screen : desktop.ListScreens()) {
    DisplayInfo info;
    info.id = std::to_string(screen.displayNumber);
    info.name = screen.name;
    info.isPrimary = screen.displayNumber == mainNumber;
    info.backingScaleFactor = screen.backingScaleFactor;
    info.frame = TruncatedRect(screen.frame);
    info.visibleFrame = TruncatedRect(screen.visibleFrame);
    list.push_back(std::move(info));
  }
  return list;
}

double GetScreenBackingScaleFactor() {
  return GetDesktop().MainScreenBackingScaleFactor();
}

namespace detail {

std::optional<PixelRect> WindowAreaOnDisplay(const PlatformRect& windowBounds,
                                             const PlatformRect& display,
                                             const PlatformRect& mainDisplay, double scale) {
  if (!(std::isfinite(scale) && scale > 0)) return std::nullopt;
  // The display's top-left corner in the windows' space: x is shared; y flips about the main
  // display's top edge.
  const double displayLeft = display.x;
  const double displayTop = (mainDisplay.y + mainDisplay.height) - (display.y + display.height);
  const double left = (windowBounds.x - displayLeft) * scale;
  const double top = (windowBounds.y - displayTop) * scale;
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

bool CaptureActiveWindow(const DisplayInfo& display, Bitmap& bitmap) {
  detail::WindowInfo window;
  if (!detail::GetActiveBrowserWindow(window)) return false;

  uint32_t number = 0;
  const char* idEnd = display.id.data() + display.id.size();
  const auto parsed = std::from_chars(display.id.data(), idEnd, number);
  if (parsed.ec != std::errc() || parsed.ptr != idEnd) return false;

  // The display's position is needed at full precision (its DisplayInfo frames are truncated),
  // so the screens are asked for again; a display gone since the lookup fails the capture.
  Desktop& desktop = GetDesktop();
  const std::vector<Screen> screens = desktop.ListScreens();
  const Screen* screen = FindScreen(screens, number);
  const Screen* mainScreen = FindScreen(screens, desktop.MainDisplayNumber());
  if (!screen || !mainScreen) return false;

  const std::optional<PixelRect> area = detail::WindowAreaOnDisplay(
      window.bounds, screen->frame, mainScreen->frame, display.backingScaleFactor);
  if (!area) return false;
  const std::optional<CapturedImage> image = desktop.CaptureDisplayArea(number, *area);
  if (!image || image->width <= 0 || image->height <= 0) return false;
  const size_t w = static_cast<size_t>(image->width);
  const size_t h = static_cast<size_t>(image->height);
  if (image->bytesPerRow < 4 * w || image->rgba.size() < image->bytesPerRow * (h - 1) + 4 * w) {
    return false;
  }

  Bitmap captured;
  captured.width = image->width;
  captured.height = image->height;
  captured.pixels.resize(w * h);
  for (size_t row = 0; row < h; ++row) {
    const uint8_t* from = image->rgba.data() + row * image->bytesPerRow;
    Color* to = captured.pixels.data() + row * w;
    for (size_t k = 0; k < w; ++k) {
      to[k] = Color{from[4 * k + 2], from[4 * k + 1], from[4 * k + 0]};
    }
  }
  bitmap = std::move(captured);
  return true;
}

}  // namespace morel_xy::impl
