#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

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

}  // namespace morel_xy
