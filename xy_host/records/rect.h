#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>

namespace morel_xy {

// An integer rectangle. (px, py) lies inside when x <= px < x + width and y <= py < y + height.
struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;

  bool operator==(const Rect&) const = default;
  bool Contains(int32_t px, int32_t py) const {
    return x <= px && static_cast<int64_t>(px) < static_cast<int64_t>(x) + width && y <= py &&
           static_cast<int64_t>(py) < static_cast<int64_t>(y) + height;
  }
  // {"height":h,"width":w,"x":x,"y":y}
  nlohmann::json ToJson() const;
};

}  // namespace morel_xy
