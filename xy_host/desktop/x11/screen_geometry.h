#pragma once

#include <cstdint>

#include "desktop/desktop.h"

namespace morel_xy::x11 {

// A rectangle of X root-window pixels: origin at the root's top-left, y downward.
struct RootRect {
  int64_t x = 0;
  int64_t y = 0;
  int64_t width = 0;
  int64_t height = 0;

  bool operator==(const RootRect&) const = default;
};

// A root-window pixel, in the 16-bit coordinates X events carry.
struct RootPoint {
  int x = 0;
  int y = 0;

  bool operator==(const RootPoint&) const = default;
};

// The part of `a` inside `b`; width and height 0 when they do not meet.
RootRect Intersect(const RootRect& a, const RootRect& b);

// Between root pixels and the host's global points. The primary monitor need not sit at the
// root's origin (a monitor may be left of or above it), so points are counted from its
// top-left corner; a point is `scale` pixels (Xft.dpi / 96).
class PointSpace {
 public:
  // `scale` must be positive; anything else is taken as 1.
  PointSpace(const RootRect& primary, double scale);

  PointRect ToPoints(const RootRect& r) const;
  // The pixel nearest to `p`, clamped to what an X event can carry.
  RootPoint ToRoot(Point p) const;

 private:
  int64_t m_originX;
  int64_t m_originY;
  double m_scale;
};

}  // namespace morel_xy::x11
