#include "records/rect.h"

namespace morel_xy {

nlohmann::json Rect::ToJson() const {
  return nlohmann::json{{"x", x}, {"y", y}, {"width", width}, {"height", height}};
}

}  // namespace morel_xy
