#include "desktop/x11/screen_geometry.h"

#include <algorithm>

namespace morel_xy {

RootRect Intersect(const RootRect& a, const RootRect& b) {
  const int64_t left = std::max(a.x, b.x);
  const int64_t top = std::max(a.y, b.y);
  const int64_t right = std::min(a.x + a.width, b.x + b.width);
  const int64_t bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return RootRect{left, top, 0, 0};
  return RootRect{left, top, right - left, bottom - top};
}

PlatformRect ToBottomUpPoints(const RootRect& r, const RootRect& primary, double scale) {
  const double s = scale > 0 ? scale : 1.0;
  const int64_t primaryBottom = primary.y + primary.height;
  return PlatformRect{static_cast<double>(r.x - primary.x) / s,
                      static_cast<double>(primaryBottom - (r.y + r.height)) / s,
                      static_cast<double>(r.width) / s, static_cast<double>(r.height) / s};
}

PlatformRect ToTopDownPoints(const RootRect& r, const RootRect& primary, double scale) {
  const double s = scale > 0 ? scale : 1.0;
  return PlatformRect{static_cast<double>(r.x - primary.x) / s,
                      static_cast<double>(r.y - primary.y) / s, static_cast<double>(r.width) / s,
                      static_cast<double>(r.height) / s};
}

}  // namespace morel_xy
