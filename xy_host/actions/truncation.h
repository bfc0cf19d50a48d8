#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "desktop/desktop.h"
#include "records/rect.h"

namespace morel_xy {

// `value` truncated toward zero to 32 bits, the conversion the host applies to platform
// geometry. A value no 32-bit integer can hold saturates instead of converting undefinedly,
// and NaN gives 0.
inline int32_t TruncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  const double t = std::trunc(value);
  if (t <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  if (t >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(t);
}

// A rectangle of points with each field truncated as above.
inline Rect TruncatedRect(const PointRect& r) {
  return Rect{TruncateToInt32(r.x), TruncateToInt32(r.y), TruncateToInt32(r.width),
              TruncateToInt32(r.height)};
}

}  // namespace morel_xy
