#include "exact_rect_finder.h"

#include <stdexcept>

namespace morel_xy {

bool ExactRectFinder::Find(const Color&, int, Rect&) const {
  throw std::runtime_error("find_rectangle is not available yet");
}

void ExactRectFinder::FindRects(const detail::ExactRectFinderContext&, int, int,
                                std::vector<Rect>&) {}

}  // namespace morel_xy
