#include "desktop/x11/screen_geometry.h"

#include <algorithm>
#include <cmath>

namespace morel_xy::x11 {
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
    : m_originX(primary.x),
      m_originY(primary.y),
      m_scale(std::isfinite(scale) && scale > 0 ? scale : 1.0) {}

PointRect PointSpace::ToPoints(const RootRect& r) const {
  return PointRect{static_cast<double>(r.x - m_originX) / m_scale,
                   static_cast<double>(r.y - m_originY) / m_scale,
                   static_cast<double>(r.width) / m_scale, static_cast<double>(r.height) / m_scale};
}

RootPoint PointSpace::ToRoot(Point p) const {
  return RootPoint{ToXCoordinate(static_cast<double>(m_originX) + p.x * m_scale),
                   ToXCoordinate(static_cast<double>(m_originY) + p.y * m_scale)};
}

}  // namespace morel_xy::x11
