#pragma once

#include <cstdint>

#include "desktop/desktop.h"

namespace morel_xy {

// A rectangle of X root-window pixels: origin at the root's top-left, y downward.
struct RootRect {
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;

  bool operator==(const RootRect&) const = default;
};

// The part of `a` inside `b`; width and height 0 when they do not meet.
RootRect Intersect(const RootRect& a, const RootRect& b);

// Root pixels to the display space the host reports: points (pixels / scale) with the origin
// at the bottom-left corner of the primary monitor, y upward.
PlatformRect ToBottomUpPoints(const RootRect& r, const RootRect& primary, double scale);

// Root pixels to the window space the host reports: points with the origin at the top-left
// corner of the primary monitor, y downward.
PlatformRect ToTopDownPoints(const RootRect& r, const RootRect& primary, double scale);

}  // namespace morel_xy
