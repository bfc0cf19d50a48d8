#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "records/rect.h"

namespace morel_xy {

// One display as reported to the extension; frames in points, bottom-left origin, y upward.
struct DisplayInfo {
  std::string id;
  std::string name;
  bool isPrimary = false;
  double backingScaleFactor = 0;
  Rect frame;
  Rect visibleFrame;

  nlohmann::json ToJson() const;
};

}  // namespace morel_xy
