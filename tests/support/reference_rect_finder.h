#pragma once

#include <vector>

#include "records/bitmap.h"
#include "records/rect.h"

namespace morel_test {

// A deliberately plain rectangle search, step by step as the host's documentation describes
// it: a mask of one bool per pixel, runs walked pixel by pixel, each marked pixel tested
// against every candidate found so far, duplicates found by looking through the list, and a
// stable sort by area. Slow on purpose; tests compare the host's finder against it.
struct ReferenceSearch {
  std::vector<morel_xy::Rect> candidates;  // in the order found
  bool found = false;
  morel_xy::Rect result;  // the first of the largest candidates, when found
};

ReferenceSearch ReferenceFindRect(const morel_xy::Bitmap& bitmap, const morel_xy::Color& color,
                                  int tolerance);

}  // namespace morel_test
