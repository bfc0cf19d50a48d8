#include "records/display_info.h"

namespace morel_xy {

nlohmann::json DisplayInfo::ToJson() const {
  return nlohmann::json{{"id", id},
                        {"name", name},
                        {"isPrimary", isPrimary},
                        {"backingScaleFactor", backingScaleFactor},
                        {"frame", frame.ToJson()},
                        {"visibleFrame", visibleFrame.ToJson()}};
}

}  // namespace morel_xy
