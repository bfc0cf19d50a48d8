#include "desktop/x11/screen_geometry.h"

#include <algorithm>
#include <cmath>

namespace morel_xy {
namespace {

int ToXCoordinate(double pixels) {
  if (std::isnan(pixels)) return 0;
  return static_cast<int>(std::clamp(std::round(pixels), -32768.0, 32767.0));
}

}  // namespace

RootRect Intersect(const RootRect& a, const RootRect& b) {
  const int64_t left = std::max(a.x, b.x);
  const int64_t top = std::max(a.y, b.y);
  const int64_t right = std::min(a.x + a.width, b.x + b.width);
  const int64_t bottom = std::min(a.y + a.height, b.y + b.height);
  if (right <= left || bottom <= top) return RootRect{left, top, 0, 0};
  return RootRect{left, top, right - left, bottom - top};
}

PointSpace::PointSpace(const RootRect& primary, double scale)
    : originX_(primary.x),
      originY_(primary.y),
      scale_(std::isfinite(scale) && scale > 0 ? scale : 1.0) {}

PointRect PointSpace::ToPoints(const RootRect& r) const {
  return PointRect{static_cast<double>(r.x - originX_) / scale_,
                   static_cast<double>(r.y - originY_) / scale_,
                   static_cast<double>(r.width) / scale_, static_cast<double>(r.height) / scale_};
}

RootPoint PointSpace::ToRoot(Point p) const {
  return RootPoint{ToXCoordinate(static_cast<double>(originX_) + p.x * scale_),
                   ToXCoordinate(static_cast<double>(originY_) + p.y * scale_)};
}

}  // namespace morel_xy
